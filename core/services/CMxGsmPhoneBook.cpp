#include "services/CMxGsmPhoneBook.h"

#include <algorithm>
#include <string>

#include "fonexa/CMxGsmBasics.h"
#include "codec/PhoneBookResponses.h"
#include "session/ServiceDialogue.h"
#include "text/CommandText.h"
#include "text/DebugLog.h"

using fonexa::DialogueRow;
using fonexa::Discipline;
using fonexa::Dotted;
using fonexa::PhoneBookEntry;
using fonexa::PrefixRule;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
// A large phone book takes the phone long to gather: every entry line, the
// first included, may be this far apart.
constexpr uint32_t kEntryLineMs = 30000;
// A read of entries expects no more lines than locations asked for, and no
// phone we know has more than this many locations in one storage.
constexpr int kMaxLocations = 10000;
// Besides the gathering, each location asked for may take this long on the
// line (an entry line is about 60 ms at 9600 baud; slow SIMs take longer).
constexpr uint32_t kPerLocationMs = 500;

// The rows of the phone book: opened for the operation, traced as
// "Send:[...].", "Response 1", "Response 2", "Response 3".
DialogueRow Row(const char* scope, std::string command) {
  return {.scope = scope,
          .command = std::move(command),
          .discipline = Discipline::OpenedForOperation,
          .notOpened = kCantOpen};
}

}  // namespace

int CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo(int& used, int& total) {
  used = 0;
  total = 0;
  if (!m_session || !m_session->GetDevice()) return -1;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo\r\n");
  DialogueRow row = Row("CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo", "AT+CPBS?\r");
  row.notOpenedResult = row.failed = -1;
  row.prefix = "+CPBS:";
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    std::string name;
    if (const int missing = fonexa::ParseCpbsReadResponse(line, name, used, total)) {
      return fonexa::Refused(fonexa::TokenizingReason(missing));
    }
    const int storage = m_session->GetDevice()->GetPBStorageIdentifier(name);
    TraceLog().Write("CMxGsmPhoneBook::GetCurrentPhoneBookStorageInfo>>Finish Tokenizing:[%s].\r\n", name.c_str());
    fonexa::Verdict verdict;
    verdict.ok = "OK:[" + std::to_string(storage) + "].";
    verdict.okResult = storage;
    return verdict;
  });
}

int CMxGsmPhoneBook::SetCurrentPhoneBookStorage(int number) {
  if (!m_session || !m_session->GetDevice()) return 0;
  const std::string name = m_session->GetDevice()->GetPBStorageIdentifier(number);
  if (name.empty()) return 0;  // a storage this phone has no name for
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::SetCurrentPhoneBookStorage(%s)\r\n", name.c_str());
  DialogueRow row = Row("CMxGsmPhoneBook::SetCurrentPhoneBookStorage", "AT+CPBS=\"" + name + "\"\r");
  row.notOpenedResult = -1;
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response.";
  return ServiceDialogue(m_session).Command(row);
}

int CMxGsmPhoneBook::GetPhoneBookInfo(int& first, int& last, int& numberLength, int& textLength) {
  first = last = numberLength = textLength = 0;
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::GetPhoneBookInfo\r\n");
  DialogueRow row = Row("CMxGsmPhoneBook::GetPhoneBookInfo", "AT+CPBR=?\r");
  row.infoRead = fonexa::InfoRead::Final;  // the opening empty line is skipped
  row.prefix = "+CPBR:";
  row.refused = "ERROR:Wrong Response 1.";
  row.info = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response 2.";
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    fonexa::PhoneBookRange range;
    if (const int missing = fonexa::ParseCpbrTestResponse(line, range)) {
      return fonexa::Refused(fonexa::TokenizingReason(missing));
    }
    first = range.first;
    last = range.last;
    numberLength = range.numberLength;
    textLength = range.textLength;
    TraceLog().Write("CMxGsmPhoneBook::GetPhoneBookInfo>>Finish Tokenizing[%i, %i, %i, %i].\r\n", first, last,
                     numberLength, textLength);
    return fonexa::Understood();
  });
}

int CMxGsmPhoneBook::ReadPhoneBookEntries(int first, int last, std::vector<PhoneBookEntry>& list) {
  if (!m_session) return 0;
  list.clear();
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::ReadPhoneBookEntries(%i, %i)\r\n", first, last);
  fonexa::ListingRow listing{.row = Row("CMxGsmPhoneBook::ReadPhoneBookEntries", ""),
                             .lineMs = kEntryLineMs,
                             .opening = "Parse Response:",
                             .silence = "ERROR:Time-out."};
  listing.row.firstMs = kEntryLineMs;
  listing.row.prefix = "+CPBR:";
  ServiceDialogue dialogue(m_session);
  if (!dialogue.Enter(listing.row)) return 0;
  if (first == -1 || last == -1) {
    // "Everything": the range the phone reports for its current storage.
    int numberLength = 0;
    int textLength = 0;
    if (!GetPhoneBookInfo(first, last, numberLength, textLength)) {
      return dialogue.Leave("ERROR:Can't get phone book info.", 0);
    }
  }
  if (first > last) {
    return dialogue.Leave("ERROR VAL:[" + std::to_string(first) + "," + std::to_string(last) + "]", 0);
  }
  listing.row.command = "AT+CPBR=" + std::to_string(first) + "," + std::to_string(last) + "\r";
  // No more entries than locations asked for, and time for each of them.
  listing.maxEntries = static_cast<size_t>(std::min<int64_t>(int64_t{last} - first + 1, kMaxLocations));
  listing.deadlineMs = kEntryLineMs + static_cast<uint32_t>(listing.maxEntries) * kPerLocationMs;
  return dialogue.Listing(listing, [&](const std::string& line) {
    TraceLog().Write("CMxGsmPhoneBook::ReadPhoneBookEntries>>Start Tokenizing.\r\n");
    PhoneBookEntry entry;
    std::string timeText;
    if (const int missing = fonexa::ParseCpbrEntryResponse(line, entry, timeText)) {
      return fonexa::TokenizingReason(missing);
    }
    list.push_back(entry);
    TraceLog().Write("CMxGsmPhoneBook::ReadPhoneBookEntries>>Finish Tokenizing[%i, %s, %i, %s, %s].\r\n",
                     entry.Position, entry.PhoneNumber.c_str(), entry.Type, entry.Name.c_str(), timeText.c_str());
    return std::string();
  });
}

int CMxGsmPhoneBook::WritePhoneBookEntry(int position, const std::string& number, const std::string& name) {
  if (!m_session) return 0;
  // GSM 07.07 deletes a location when both number and text are left out. A
  // number without a name is an entry of its own and is written as one.
  const bool deletion = number.empty() && name.empty();
  if (deletion && position < 0) return 0;
  TraceLog().Write("\r\n-->CMxGsmPhoneBook::WritePhoneBookEntry(%i,%s,%s)\r\n", position, number.c_str(),
                   name.c_str());
  DialogueRow row = Row("CMxGsmPhoneBook::WritePhoneBookEntry", "");
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response.";
  ServiceDialogue dialogue(m_session, row.scope);
  if (!fonexa::FitsCommandLine(number, fonexa::TextPlace::Quoted) ||
      !fonexa::FitsCommandLine(name, fonexa::TextPlace::Quoted)) {
    return dialogue.Leave("ERROR:Text not fit for a command line.", 0);
  }
  const int type = !number.empty() && number[0] == '+' ? 145 : 129;
  if (deletion) {
    row.command = "AT+CPBW=" + std::to_string(position) + "\r";
  } else {
    // Below 0 the location is left out: the phone takes its first free one.
    const std::string location = position < 0 ? std::string() : std::to_string(position);
    row.command = "AT+CPBW=" + location + ",\"" + number + "\"," + std::to_string(type) + ",\"" + name + "\"\r";
  }
  return dialogue.Command(row);
}

int CMxGsmPhoneBook::DeletePhoneBookEntry(int position) { return WritePhoneBookEntry(position, "", ""); }
