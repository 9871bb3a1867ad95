// Caller texts that would add to or rewrite an AT command line, handed to every
// exported function that takes a text, on an instance over the virtual modem.
// Each is refused with the function's failure value and not one byte reaches
// the phone; the same functions take a good text, so that refusing everything
// cannot pass. A reading of the public header keeps the table complete: a text
// parameter that is neither in it nor exempt (with a reason) fails the build's
// tests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EventLog.h"
#include "InstanceFixture.h"
#include "fonexa/FonexaCore.h"
#include "text/CommandText.h"

using fonexa::TextPlace;
using fonexa::sim::Direction;
using fonexa::testing::EventLog;
using fonexa::testing::InstanceTest;
using namespace std::chrono_literals;

namespace {

constexpr const char* kNumber = "+4917012345";

// One text parameter of an exported function: where its text ends up in the
// command line, a text the function takes, the failure value it documents, a
// call with the text in that parameter and good values in the others, and
// what counts as success.
struct TextParameter {
  std::string function;
  std::string parameter;
  TextPlace place;
  std::string good;
  int failure;
  std::function<int(MxGsmHandle, const char*)> call;
  std::function<bool(int)> accepted = [](int result) { return result == 1; };
};

// Texts built to escape their place: every byte below 0x20 and 0x7F set into
// an otherwise good text, the quotation mark, the ";" where the text stands
// bare, and whole further commands after a line end, a closing quote, V.250
// backspaces or the PDU prompt's Ctrl-Z.
struct BadText {
  std::string label;
  std::string text;
};

std::string ByteLabel(unsigned char byte) {
  char label[16];
  std::snprintf(label, sizeof label, "byte 0x%02X", byte);
  return label;
}

std::vector<BadText> BadTexts(const std::string& good, TextPlace place) {
  std::vector<BadText> texts;
  const size_t middle = good.size() / 2;
  auto inserted = [&](unsigned char byte) {
    return good.substr(0, middle) + static_cast<char>(byte) + good.substr(middle);
  };
  for (unsigned char byte = 0x01; byte < 0x20; ++byte) texts.push_back({ByteLabel(byte), inserted(byte)});
  texts.push_back({ByteLabel(0x7F), inserted(0x7F)});
  texts.push_back({"quotation mark", inserted('"')});
  texts.push_back({"line end and a phone-book write", good + "\r\nAT+CPBW=1,\"666\""});
  texts.push_back({"closing quote and a phone-book write", good + "\";+CPBW=1,\"666"});
  texts.push_back({"backspaces and a delete-all", "\b\b\b\b;+CMGD=1,4" + good});
  texts.push_back({"Ctrl-Z", good + "\x1A"});
  texts.push_back({"carriage return at the end", good + "\r"});
  if (place == TextPlace::Bare) {
    texts.push_back({"semicolon", inserted(';')});
    texts.push_back({"semicolon and a phone-book write", good + ";+CPBW=1,\"666\""});
  }
  return texts;
}

// The functions' text parameters that go into a command line on a phone
// that is up and has its SIM ready.
std::vector<TextParameter> ReadyPhoneParameters() {
  const auto positive = [](int result) { return result > 0; };
  const auto stored = [](int result) { return result >= 0; };
  return {
      {"SetTime", "time", TextPlace::Quoted, "26/12/08,21:00:00+04", 0,
       [](MxGsmHandle h, const char* t) { return SetTime(h, t); }},
      {"SetServiceCenter", "number", TextPlace::Bare, "+420603052000", 0,
       [](MxGsmHandle h, const char* t) { return SetServiceCenter(h, t); }},
      {"SendSms", "phone", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SendSms(h, t, "Hi"); }},
      {"SendFlashSms", "phone", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SendFlashSms(h, t, "Hi"); }},
      {"WriteSmsEntry", "phone", TextPlace::Bare, kNumber, -1,
       [](MxGsmHandle h, const char* t) { return WriteSmsEntry(h, t, "Hi"); }, stored},
      {"SendSmsUtf8", "phone", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SendSmsUtf8(h, t, "Hi"); }},
      {"SendFlashSmsUtf8", "phone", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SendFlashSmsUtf8(h, t, "Hi"); }},
      {"SendSmsUtf8Ex", "phone", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SendSmsUtf8Ex(h, t, "Hi", 0, nullptr, nullptr, 0); }, positive},
      {"WritePhoneBookEntry", "number", TextPlace::Quoted, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return WritePhoneBookEntry(h, 5, t, "Alice"); }},
      // Inside its quotes a ";" is part of the name.
      {"WritePhoneBookEntry", "name", TextPlace::Quoted, "Alice; Bob", 0,
       [](MxGsmHandle h, const char* t) { return WritePhoneBookEntry(h, 6, kNumber, t); }},
      {"SetCallForwarding", "number", TextPlace::Bare, kNumber, 0,
       [](MxGsmHandle h, const char* t) { return SetCallForwarding(h, 0, 1, 1, t, 0); }},
      {"GetCallBarring", "password", TextPlace::Bare, "0000", 0,
       [](MxGsmHandle h, const char* t) {
         int s = 0;
         return GetCallBarring(h, 0, 1, t, &s);
       }},
      {"SetCallBarring", "password", TextPlace::Bare, "0000", 0,
       [](MxGsmHandle h, const char* t) { return SetCallBarring(h, 0, 1, t, 0); }},
      {"GetLock", "password", TextPlace::Bare, "1234", 0,
       [](MxGsmHandle h, const char* t) {
         int s = 0;
         return GetLock(h, 1, t, &s);
       }},
      {"SetLock", "password", TextPlace::Bare, "1234", 0,
       [](MxGsmHandle h, const char* t) { return SetLock(h, 1, t, 1); }},  // keeps the PIN in use for ChangePin
      {"ChangePin", "oldCode", TextPlace::Bare, "1234", 0,
       [](MxGsmHandle h, const char* t) { return ChangePin(h, 2, t, "1234"); }},
      {"ChangePin", "newCode", TextPlace::Bare, "1234", 0,
       [](MxGsmHandle h, const char* t) { return ChangePin(h, 2, "1234", t); }},
      // Dial starts its own thread: its good text is tried last, on its own.
      {"Dial", "number", TextPlace::Bare, kNumber, 0, [](MxGsmHandle h, const char* t) { return Dial(h, t); }},
  };
}

// Verify's codes, on a phone whose SIM waits for its PIN.
std::vector<TextParameter> PinParameters() {
  return {
      {"Verify", "code", TextPlace::Bare, "1234", 0,
       [](MxGsmHandle h, const char* t) { return Verify(h, t, ""); }},
      {"Verify", "secondCode", TextPlace::Bare, "4321", 0,
       [](MxGsmHandle h, const char* t) { return Verify(h, "1234", t); }},
  };
}

// Message texts never enter a command line: they go as the PDU's hex digits
// after the "> " prompt. The table names them so that the header check counts
// them; the test below shows that hostile bytes in them reach the phone as hex.
struct PduText {
  std::string function;
  std::function<int(MxGsmHandle, const char*)> call;
  std::function<bool(int)> accepted;
};

std::vector<PduText> PduTexts() {
  const auto one = [](int result) { return result == 1; };
  return {
      {"SendSms", [](MxGsmHandle h, const char* t) { return SendSms(h, kNumber, t); }, one},
      {"SendFlashSms", [](MxGsmHandle h, const char* t) { return SendFlashSms(h, kNumber, t); }, one},
      {"WriteSmsEntry", [](MxGsmHandle h, const char* t) { return WriteSmsEntry(h, kNumber, t); },
       [](int result) { return result >= 0; }},
      {"SendSmsUtf8", [](MxGsmHandle h, const char* t) { return SendSmsUtf8(h, kNumber, t); }, one},
      {"SendFlashSmsUtf8", [](MxGsmHandle h, const char* t) { return SendFlashSmsUtf8(h, kNumber, t); }, one},
      {"SendSmsUtf8Ex",
       [](MxGsmHandle h, const char* t) { return SendSmsUtf8Ex(h, kNumber, t, 0, nullptr, nullptr, 0); },
       [](int result) { return result > 0; }},
  };
}

// Text parameters that never reach the phone's command line, each with why.
const std::map<std::string, std::string>& Exempt() {
  static const std::map<std::string, std::string> exempt = {
      {"Initialize/text", "the plug-in's name and the device's path: picks a library and opens a file"},
      {"Attach/owner", "the lock owner's name, kept for the trace"},
      {"OpenDebugLog/path", "a file on this machine"},
      {"RunDiagnostics/path", "the file the answers are written to"},
      {"SendCustomAtCommand/command", "the raw channel: the caller writes the command line itself"},
      {"SendCustomAtCommandEx/command", "the raw channel: the caller writes the command line itself"},
      {"CleanFormat/number", "works on the text alone, no phone involved"},
      {"CompareNumbers/a", "works on the text alone, no phone involved"},
      {"CompareNumbers/b", "works on the text alone, no phone involved"},
      {"CountSmsPartsUtf8/text", "works on the text alone, no phone involved"},
      {"GprsOpenConnection/entry", "a pppd peer name; checked as one pppd option word (gprs tests)"},
      {"GprsOpenConnection/user", "a pppd option; checked as one pppd option word (gprs tests)"},
      {"GprsOpenConnection/password", "a pppd option in a private file (gprs tests)"},
      {"GprsOpenConnection/domain", "joined to the user for pppd (gprs tests)"},
      {"GprsOpenConnectionHwnd/entry", "a pppd peer name; checked as one pppd option word (gprs tests)"},
      {"GprsOpenConnectionHwnd/user", "a pppd option; checked as one pppd option word (gprs tests)"},
      {"GprsOpenConnectionHwnd/password", "a pppd option in a private file (gprs tests)"},
      {"GprsOpenConnectionHwnd/domain", "joined to the user for pppd (gprs tests)"},
      {"GprsSetConnectionTones/connectFile", "a sound file played on this machine"},
      {"GprsSetConnectionTones/disconnectFile", "a sound file played on this machine"},
  };
  return exempt;
}

// "function/parameter" for every text parameter of the exported functions in
// the header: const char* ones are texts in; plain char* ones are buffers the
// function writes, reported apart.
struct HeaderTexts {
  std::set<std::string> inputs;
  std::set<std::string> outputs;
};

std::string WithoutComments(const std::string& text) {
  static const std::regex comments(R"(/\*[\s\S]*?\*/|//[^\n]*)");
  return std::regex_replace(text, comments, " ");
}

HeaderTexts ReadHeader(const std::string& path) {
  std::ifstream file(path);
  const std::string text = WithoutComments(std::string(std::istreambuf_iterator<char>(file), {}));
  static const std::regex declaration(R"(FONEXA_API\s+[\w\s\*]*?\b(\w+)\s*\(([^)]*)\)\s*;)");
  static const std::regex parameter(R"(^\s*(const\s+)?char\s*\*\s*(\w+)\s*$)");
  HeaderTexts found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), declaration); it != std::sregex_iterator(); ++it) {
    const std::string function = (*it)[1];
    std::stringstream parameters((*it)[2].str());
    std::string one;
    while (std::getline(parameters, one, ',')) {
      std::smatch match;
      if (!std::regex_match(one, match, parameter)) continue;
      (match[1].matched ? found.inputs : found.outputs).insert(function + "/" + match[2].str());
    }
  }
  return found;
}

TEST(InjectionCoverage, EveryTextParameterOfTheHeaderIsTriedOrExempt) {
  const HeaderTexts header = ReadHeader(FONEXA_CORE_HEADER);
  // The reader must see the header's shape: a sample of each kind.
  ASSERT_TRUE(header.inputs.count("SetTime/time"));
  ASSERT_TRUE(header.inputs.count("SendSmsUtf8Ex/phone"));  // a declaration over two lines
  ASSERT_TRUE(header.inputs.count("GprsOpenConnectionHwnd/domain"));
  ASSERT_TRUE(header.outputs.count("GetSimId/out"));

  std::set<std::string> covered;
  for (const auto& p : ReadyPhoneParameters()) covered.insert(p.function + "/" + p.parameter);
  for (const auto& p : PinParameters()) covered.insert(p.function + "/" + p.parameter);
  for (const auto& p : PduTexts()) covered.insert(p.function + "/text");
  for (const auto& [name, reason] : Exempt()) {
    EXPECT_FALSE(reason.empty()) << name;
    EXPECT_FALSE(covered.count(name)) << name << " is both tried and exempt";
  }
  for (const auto& name : header.inputs) {
    EXPECT_TRUE(covered.count(name) || Exempt().count(name))
        << name << " takes a text: add it to the injection table or to the exempt list with a reason";
  }
  // A row for a parameter the header no longer has would prove nothing.
  for (const auto& name : covered) EXPECT_TRUE(header.inputs.count(name)) << name << " is not in the header";
  for (const auto& [name, reason] : Exempt()) EXPECT_TRUE(header.inputs.count(name)) << name << " is not in the header";
  std::cout << "[ header ] " << header.inputs.size() << " text parameters, " << covered.size() << " tried, "
            << Exempt().size() << " exempt; " << header.outputs.size() << " output buffers\n";
}

class Injection : public InstanceTest {
 protected:
  void Bring(fonexa::sim::ModemOptions options = {}) {
    options.registrationDelay = 0ms;
    StartModem(std::move(options));
    h = CreateGsmInstance();
    ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
    Settle();
  }

  // Waits until the start-up's own commands have ended: the line stays
  // quiet for a while.
  void Settle() {
    size_t seen = Received();
    const auto end = std::chrono::steady_clock::now() + 10s;
    auto quietSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(50ms);
      if (Received() != seen) {
        seen = Received();
        quietSince = std::chrono::steady_clock::now();
      } else if (std::chrono::steady_clock::now() - quietSince > 600ms) {
        return;
      }
    }
    FAIL() << "the line never went quiet";
  }

  std::string Since(size_t mark) const { return modem->transcript().text(Direction::In).substr(mark); }

  // Every bad text in the parameter is refused with the failure value, and the
  // phone receives nothing. Returns the number of texts tried.
  size_t ExpectRefused(const TextParameter& p) {
    size_t tried = 0;
    for (const BadText& bad : BadTexts(p.good, p.place)) {
      const size_t mark = Received();
      EXPECT_EQ(p.call(h, bad.text.c_str()), p.failure) << p.function << "(" << p.parameter << "): " << bad.label;
      EXPECT_EQ(fonexa::sim::escapeBytes(Since(mark)), "")
          << p.function << "(" << p.parameter << "): " << bad.label << " was sent";
      ++tried;
    }
    return tried;
  }

  void ExpectAccepted(const TextParameter& p) {
    const size_t mark = Received();
    const int result = p.call(h, p.good.c_str());
    EXPECT_TRUE(p.accepted(result)) << p.function << "(" << p.parameter << ") refused \"" << p.good << "\": " << result;
    EXPECT_NE(Since(mark), "") << p.function << "(" << p.parameter << ") sent nothing for a good text";
  }
};

TEST_F(Injection, EveryBadByteInEveryTextIsRefusedAndNothingIsSent) {
  Bring();
  size_t texts = 0;
  const std::vector<TextParameter> parameters = ReadyPhoneParameters();
  for (const TextParameter& p : parameters) texts += ExpectRefused(p);
  std::cout << "[ rows ] " << parameters.size() << " parameters, " << texts << " refused texts\n";
}

TEST_F(Injection, EachFunctionTakesAGoodText) {
  Bring();
  for (const TextParameter& p : ReadyPhoneParameters()) {
    if (p.function == "Dial") continue;
    ExpectAccepted(p);
  }
  // The name with its ";" was stored as given, inside its quotes.
  EXPECT_NE(Since(0).find("AT+CPBW=6,\"+4917012345\",145,\"Alice; Bob\"\r"), std::string::npos);

  EventLog events;
  RegisterEventHandler(h, FONEXA_EVENT_DIAL_END, &events);
  const size_t mark = Received();
  ASSERT_EQ(Dial(h, kNumber), 1);
  ASSERT_TRUE(events.WaitFor(FONEXA_EVENT_DIAL_END, 1, 10s));
  EXPECT_NE(Since(mark).find("ATD+4917012345;\r"), std::string::npos);
  EXPECT_EQ(Hangup(h), 1);
}

TEST_F(Injection, PinCodesWithBadBytesAreRefusedAndNothingIsSent) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  Bring(std::move(options));
  for (const TextParameter& p : PinParameters()) ExpectRefused(p);
  // Refused, the codes used none of the SIM's attempts: the right one opens it.
  ExpectAccepted(PinParameters().front());
}

TEST_F(Injection, ARefusedCodeLeavesAReadyInstanceReady) {
  Bring();
  ASSERT_EQ(GetState(h, 4), 1);
  for (const TextParameter& p : PinParameters()) {
    for (const BadText& bad : BadTexts(p.good, p.place)) {
      EXPECT_EQ(p.call(h, bad.text.c_str()), 0) << p.parameter << ": " << bad.label;
      EXPECT_EQ(GetState(h, 4), 1) << p.parameter << ": " << bad.label << " took the instance out of ready";
    }
  }
}

// The codes AutoVerify asks for come from the application's function; the
// test's function hands out one code and then cancels.
std::string g_offeredCode;
int g_codeRequests = 0;

const char* OfferCodeOnce(const char*, const char*) {
  return g_codeRequests++ == 0 ? g_offeredCode.c_str() : nullptr;
}

TEST_F(Injection, AutoVerifyRefusesABadCodeFromTheRetrievalFunction) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  Bring(std::move(options));
  ASSERT_EQ(SetCodeRetrievalFunc(h, &OfferCodeOnce), 1);
  for (const BadText& bad : BadTexts("1234", TextPlace::Bare)) {
    g_offeredCode = bad.text;
    g_codeRequests = 0;
    const size_t mark = Received();
    EXPECT_EQ(AutoVerify(h), 0) << bad.label;
    EXPECT_EQ(g_codeRequests, 2) << bad.label << ": the code was not asked for again after the refusal";
    // Only the flow's queries reach the phone, never a command with the code.
    const std::string sent = Since(mark);
    EXPECT_EQ(sent.find("AT+CPIN="), std::string::npos) << bad.label;
    std::stringstream commands(sent);
    std::string command;
    while (std::getline(commands, command, '\r')) {
      EXPECT_TRUE(command.rfind("AT", 0) == 0 && command.find_first_of("\n\x1A\b\"") == std::string::npos)
          << bad.label << ": sent " << fonexa::sim::escapeBytes(command);
    }
  }
  g_offeredCode = "1234";
  g_codeRequests = 0;
  EXPECT_EQ(AutoVerify(h), 1);
  EXPECT_EQ(GetState(h, 4), 1);
}

TEST_F(Injection, MessageTextsReachThePhoneOnlyAsPduDigits) {
  Bring();
  const std::string hostile = "Hi\r\nAT+CPBW=1,\"666\"\x1A;+CMGD=1,4\b\b\x7F";
  for (const PduText& p : PduTexts()) {
    const size_t mark = Received();
    const int result = p.call(h, hostile.c_str());
    EXPECT_TRUE(p.accepted(result)) << p.function << ": " << result;
    // Commands of the send itself, and the PDU in hex ended by Ctrl-Z.
    std::stringstream lines(Since(mark));
    std::string line;
    while (std::getline(lines, line, '\r')) {
      const bool command = line.rfind("AT+CMG", 0) == 0 && line.find_first_of(";\"\x1A") == std::string::npos;
      const bool pdu = !line.empty() && line.back() == '\x1A' &&
                       line.find_first_not_of("0123456789ABCDEF") == line.size() - 1;
      EXPECT_TRUE(command || pdu) << p.function << " sent " << fonexa::sim::escapeBytes(line);
    }
  }
  EXPECT_EQ(Since(0).find("CPBW=1"), std::string::npos);
}

}  // namespace
