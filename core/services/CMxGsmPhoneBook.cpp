#include "services/CMxGsmPhoneBook.h"

#include <cstdio>
#include <string>

#include "fonexa/CMxGsmBasics.h"
#include "text/InformationLine.h"
#include "codec/PhoneBookResponses.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::PhoneBookEntry;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
// A large phone book takes the phone long to gather: every entry line, the
// first included, may be this far apart.
constexpr uint32_t kEntryLineMs = 30000;

std::string TokenizingReason(int missingField) {
  return "ERROR:Wrong Tokenizing:" + std::to_string(missingField) + ".";
}

// Number and name travel inside quotation marks. A quotation mark in them
// would end the quoted text early and a line end would end the command: the
// phone would take the rest for further parameters or another command.
bool FitsInQuotes(const std::string& text) { return text.find_first_of("\"\r\n") == std::string::npos; }

}  // namespace

int CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo(int& used, int& total) {
  used = 0;
  total = 0;
  if (!m_session || !m_session->GetDevice()) return -1;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo");
  if (!dialogue.Open(kCantOpen)) return -1;
  dialogue.SendTraced("AT+CPBS?\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", -1);
  const std::string line = dialogue.TracedLine("Response 2");
  if (!fonexa::CarriesMoreThan(line, "+CPBS:")) return dialogue.Exit("ERROR:Wrong Response 2.", -1);
  std::string name;
  if (const int missing = fonexa::ParseCpbsReadResponse(line, name, used, total)) {
    return dialogue.Exit(TokenizingReason(missing).c_str(), -1);
  }
  const int storage = m_session->GetDevice()->GetPBStorageIdentifier(name);
  TraceLog().Write("CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo>>Finish Tokenizing:[%s].\r\n", name.c_str());
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 3.", -1);
  return dialogue.Exit(("OK:[" + std::to_string(storage) + "].").c_str(), storage);
}

int CMxGsmPhoneBook::SetCurrentPhoneBookStorage(int number) {
  if (!m_session || !m_session->GetDevice()) return 0;
  const std::string name = m_session->GetDevice()->GetPBStorageIdentifier(number);
  if (name.empty()) return 0;  // a storage this phone has no name for
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::SetCurrentPhoneBookStorage(%s)\r\n", name.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmPhoneBook::SetCurrentPhoneBookStorage");
  if (!dialogue.Open(kCantOpen)) return -1;
  dialogue.SendTraced("AT+CPBS=\"" + name + "\"\r");
  const std::string answer = dialogue.TracedFinal("Response");
  if (!dialogue.IsOk(answer)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmPhoneBook::GetPhoneBookInfo(int& first, int& last, int& numberLength, int& textLength) {
  first = last = numberLength = textLength = 0;
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::GetPhoneBookInfo\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmPhoneBook::GetPhoneBookInfo");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CPBR=?\r");
  const std::string line = dialogue.TracedFinal("Response");  // the opening empty line is skipped
  if (dialogue.IsError(line) || line.size() <= 6) return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  if (!fonexa::BeginsWith(line, "+CPBR:")) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  fonexa::PhoneBookRange range;
  if (const int missing = fonexa::ParseCpbrTestResponse(line, range)) {
    return dialogue.Exit(TokenizingReason(missing).c_str(), 0);
  }
  first = range.first;
  last = range.last;
  numberLength = range.numberLength;
  textLength = range.textLength;
  TraceLog().Write("CMxGsmPhoneBook::GetPhoneBookInfo>>Finish Tokenizing[%i, %i, %i, %i].\r\n", first, last,
                   numberLength, textLength);
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmPhoneBook::ReadPhoneBookEntries(int first, int last, std::vector<PhoneBookEntry>& list) {
  if (!m_session) return 0;
  list.clear();
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::ReadPhoneBookEntries(%i, %i)\r\n", first, last);
  ServiceDialogue dialogue(m_session, "CMxGsmPhoneBook::ReadPhoneBookEntries");
  if (!dialogue.Open(kCantOpen)) return 0;
  if (first == -1 || last == -1) {
    // "Everything": the range the phone reports for its current storage.
    int numberLength = 0;
    int textLength = 0;
    if (!GetPhoneBookInfo(first, last, numberLength, textLength)) {
      return dialogue.Exit("ERROR:Can't get phone book info.", 0);
    }
  }
  if (first > last) {
    return dialogue.Exit(("ERROR VAL:[" + std::to_string(first) + "," + std::to_string(last) + "]").c_str(), 0);
  }
  dialogue.SendTraced("AT+CPBR=" + std::to_string(first) + "," + std::to_string(last) + "\r");
  const std::string opening = dialogue.TracedLine("Response 1", kEntryLineMs);
  if (opening != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  TraceLog().Write("CMxGsmPhoneBook::ReadPhoneBookEntries>>Parse Response:\r\n");
  for (;;) {
    const std::string line = dialogue.Line(kEntryLineMs);
    TraceLog().Write("%s", line.c_str());
    if (line == "\r\n") continue;
    if (line.empty()) return dialogue.Exit("ERROR:Time-out.", 0);  // what was read stays
    // An entry line is never a final result, whatever its name holds (a
    // contact called "TERROR" would otherwise end the listing as a failure).
    if (fonexa::CarriesMoreThan(line, "+CPBR:")) {
      TraceLog().Write("CMxGsmPhoneBook::ReadPhoneBookEntries>>Start Tokenizing.\r\n");
      PhoneBookEntry entry;
      std::string timeText;
      if (const int missing = fonexa::ParseCpbrEntryResponse(line, entry, timeText)) {
        return dialogue.Exit(TokenizingReason(missing).c_str(), 0);
      }
      list.push_back(entry);
      TraceLog().Write("CMxGsmPhoneBook::ReadPhoneBookEntries>>Finish Tokenizing[%i, %s, %i, %s, %s].\r\n",
                       entry.Position, entry.PhoneNumber.c_str(), entry.Type, entry.Name.c_str(), timeText.c_str());
      continue;
    }
    if (dialogue.IsOk(line)) return dialogue.Exit("OK.", 1);
    if (dialogue.IsError(line)) return dialogue.Exit("ERROR.", 0);
  }
}

int CMxGsmPhoneBook::WritePhoneBookEntry(int position, const std::string& number, const std::string& name) {
  if (!m_session) return 0;
  // GSM 07.07 deletes a location when both number and text are left out. A
  // number without a name is an entry of its own and is written as one.
  const bool deletion = number.empty() && name.empty();
  if (deletion && position < 0) return 0;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::WritePhoneBookEntry(%i,%s,%s)\r\n", position, number.c_str(),
                   name.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmPhoneBook::WritePhoneBookEntry");
  if (!FitsInQuotes(number) || !FitsInQuotes(name)) {
    return dialogue.Exit("ERROR:Quotation mark or line end in the text.", 0);
  }
  if (!dialogue.Open(kCantOpen)) return 0;
  const int type = !number.empty() && number[0] == '+' ? 145 : 129;
  std::string command;
  if (deletion) {
    command = "AT+CPBW=" + std::to_string(position) + "\r";
  } else {
    // Below 0 the location is left out: the phone takes its first free one.
    const std::string location = position < 0 ? std::string() : std::to_string(position);
    command = "AT+CPBW=" + location + ",\"" + number + "\"," + std::to_string(type) + ",\"" + name + "\"\r";
  }
  dialogue.SendTraced(command);
  const std::string answer = dialogue.TracedFinal("Response");
  if (!dialogue.IsOk(answer)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmPhoneBook::DeletePhoneBookEntry(int position) { return WritePhoneBookEntry(position, "", ""); }
