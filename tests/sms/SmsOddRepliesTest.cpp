// The SMS service on exact bytes: both header forms and broken entries in a
// listing, reads of empty and refused locations, a prompt answered with an
// error, a network refusal, and the commands that are never sent.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "codec/CMxGsmCoding.h"
#include "services/CMxGsmSms.h"

using fonexa::CMxGsmCoding;
using fonexa::SmsEntry;
using fonexa::testing::LogCapture;
using fonexa::testing::RecordingHandler;
using fonexa::testing::ScriptedModem;
using fonexa::testing::ScriptedPhone;

namespace {

// "How are you?" from +31641600986, stamped 2002-08-26 19:37:41 (TPDU 30 octets).
const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314480CC8F71D14969741F977FD07";
// "hellohello" from +18005551212, stamped 2011-01-01 12:34:56 (TPDU 30 octets).
const std::string kHelloHello = "07912143658709F1040B918100551512F20000111010214365000AE8329BFD4697D9EC37";

int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&t));
}

// The "AT+CMGS=" / "AT+CMGW=" command and PDU a one-part text goes out with.
struct OnePart {
  std::string pdu;
  std::string lengthCommand;
};
OnePart OnePartFor(const char* command, const std::string& number, const std::string& text) {
  OnePart part;
  const int length =
      CMxGsmCoding::ConvertToPdu(part.pdu, number, text, CMxGsmCoding::SelectAlphabet(text), 1, 1, 0);
  part.lengthCommand = std::string(command) + std::to_string(length);
  return part;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

class SmsOddReplies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<ScriptedPhone>(); }
  static void TearDownTestSuite() { phone.reset(); }
  void SetUp() override { modem.ClearCommands(); }

  static std::unique_ptr<ScriptedPhone> phone;
  ScriptedModem& modem = phone->modem;
  CMxGsmSms sms{&phone->session};
};

std::unique_ptr<ScriptedPhone> SmsOddReplies::phone;

TEST_F(SmsOddReplies, ListingTakesBothHeaderFormsAndDropsWhatDoesNotDecode) {
  LogCapture logs;
  modem.On("AT+CMGL=4",
           "\r\n"
           "+CMGL: 1,0,,30\r\n" + kHowAreYou + "\r\n"
           "+CMGL: 2,1,\"Smith, ERROR dept\",30\r\n" + kHelloHello + "\r\n"
           "+CMGL: 3,1,,30\r\n"  // a damaged location: its PDU is missing
           "+CMGL: 4,1,\"\",30\r\nZZ12\r\n"
           "+CMGL: 5,1,,30\r\n" + kHowAreYou.substr(0, 40) + "\r\n"  // cut short
           "+CMGL: 6,3,30\r\n" + kHelloHello + "\r\n"
           "\r\nOK\r\n");
  std::vector<SmsEntry> list(3);  // emptied first
  EXPECT_EQ(sms.ReadSmsEntries(4, list), 1);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Index, 1);
  EXPECT_EQ(list[0].State, 0);
  EXPECT_EQ(list[0].PhoneNumber, "+31641600986");
  EXPECT_EQ(list[0].ProviderPhone, "+31624000000");
  EXPECT_EQ(list[0].MessageText, "How are you?");
  EXPECT_EQ(list[0].Time, LocalSeconds(2002, 8, 26, 19, 37, 41));
  EXPECT_EQ(list[0].Validity, -1);
  EXPECT_EQ(list[1].Index, 2);
  EXPECT_EQ(list[1].State, 1);
  EXPECT_EQ(list[1].MessageText, "hellohello");
  EXPECT_EQ(list[1].Time, LocalSeconds(2011, 1, 1, 12, 34, 56));
  EXPECT_EQ(list[2].Index, 6);
  EXPECT_EQ(list[2].State, 3);
  const std::string trace = logs.Trace();
  EXPECT_TRUE(Contains(trace, "CMxGsmSms::ReadSmsEntries>>Send:[AT+CMGL=4\r].\r\n"));
  EXPECT_TRUE(Contains(trace, "CMxGsmSms::ReadSmsEntries>>Error:Pdu:Can't Transform Pdu.\r\n"));
  EXPECT_TRUE(Contains(trace, "<--CMxGsmSms::ReadSmsEntries>>OK.\r\n"));
}

TEST_F(SmsOddReplies, ListingEndsOnErrorsAndBrokenHeaders) {
  LogCapture logs;
  std::vector<SmsEntry> list;
  modem.On("AT+CMGL=0", "\r\n+CMS ERROR: 302\r\n");
  EXPECT_EQ(sms.ReadSmsEntries(0, list), 0);
  modem.On("AT+CMGL=0", "\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.ReadSmsEntries(0, list), 1);
  EXPECT_TRUE(list.empty());
  modem.On("AT+CMGL=1", "\r\n+CMGL: 1,1,,30\r\n" + kHowAreYou + "\r\n+CMGL: ,1,,30\r\n" + kHelloHello + "\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.ReadSmsEntries(1, list), 0);
  EXPECT_EQ(list.size(), 1u);  // what was read before stays
  phone->session.FlushComBuffers();
  modem.On("AT+CMGL=2", "+CMGL: 1,2,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.ReadSmsEntries(2, list), 0);
  const std::string trace = logs.Trace();
  for (const char* reason : {"ERROR.", "ERROR:Wrong Tokenizing:1.", "ERROR:Wrong Response 1."}) {
    EXPECT_TRUE(Contains(trace, std::string("<--CMxGsmSms::ReadSmsEntries>>") + reason + "\r\n")) << reason;
  }
  // An answer left part-way stays on the line; the next test starts clean.
  phone->session.FlushComBuffers();
}

TEST_F(SmsOddReplies, SingleReadFillsTheEntryOnlyWhenAMessageWasRead) {
  SmsEntry entry;
  modem.On("AT+CMGR=2", "\r\n+CMGR: 1,\"Bob\",30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.ReadSmsEntry(2, entry), 1);
  EXPECT_EQ(entry.Index, 2);
  EXPECT_EQ(entry.State, 1);
  EXPECT_EQ(entry.MessageText, "How are you?");
  EXPECT_EQ(entry.PhoneNumber, "+31641600986");

  SmsEntry untouched;
  untouched.MessageText = "kept";
  struct Failure {
    const char* name;
    std::string answer;
    bool leavesLines;  // the read gives up before the answer's end
  };
  const Failure failures[] = {
      {"empty location", "\r\nOK\r\n", false},
      {"index outside the storage", "\r\n+CMS ERROR: 321\r\n", false},
      {"undecodable PDU", "\r\n+CMGR: 0,,30\r\nNOT A PDU\r\n\r\nOK\r\n", false},
      {"header without PDU", "\r\n+CMGR: 0,,30\r\n\r\nOK\r\n", false},
      {"broken header", "\r\n+CMGR: 0,,\r\n" + kHowAreYou + "\r\n\r\nOK\r\n", true},
      {"no blank line first", "+CMGR: 0,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n", true},
  };
  for (const auto& failure : failures) {
    modem.On("AT+CMGR=3", failure.answer);
    EXPECT_EQ(sms.ReadSmsEntry(3, untouched), 0) << failure.name;
    EXPECT_EQ(untouched.MessageText, "kept") << failure.name;
    EXPECT_EQ(untouched.Index, -1) << failure.name;
    if (failure.leavesLines) phone->session.FlushComBuffers();
  }
  // A message decoded before the final line went wrong has still been read.
  modem.On("AT+CMGR=4", "\r\n+CMGR: 0,,30\r\n" + kHelloHello + "\r\n\r\nERROR\r\n");
  EXPECT_EQ(sms.ReadSmsEntry(4, untouched), 1);
  EXPECT_EQ(untouched.MessageText, "hellohello");
}

TEST_F(SmsOddReplies, SendingOnePartAsTraced) {
  LogCapture logs;
  const OnePart part = OnePartFor("AT+CMGS=", "12345", "abc");
  modem.On(part.lengthCommand, "\r\n> ");
  modem.On(part.pdu, "\r\n+CMGS: 7\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.SendTextMessage("12345", "abc"), 1);
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"AT+CMGF=0", part.lengthCommand, part.pdu}));
  const std::string trace = logs.Trace();
  const std::string scope = "CMxGsmSms::_SendPartialMessage>>";
  for (const std::string& line : std::vector<std::string>{
           "\r\n-->CMxGsmSms::_SendPartialMessage(12345,abc)\r\n",
           scope + "Send:[" + part.lengthCommand + "\r].\r\n",
           scope + "Send(Pdu):[" + part.pdu + "].\r\n",
           scope + "Send(End):[\x1A].\r\n",
           scope + "Provider Response:[+CMGS: 7\r\n].\r\n",
           scope + "Response:[OK\r\n].\r\n",
           "<--" + scope + "OK.\r\n",
       }) {
    EXPECT_TRUE(Contains(trace, line)) << line;
  }
}

TEST_F(SmsOddReplies, APromptAnsweredWithAnErrorSendsNoPdu) {
  LogCapture logs;
  const OnePart part = OnePartFor("AT+CMGS=", "+4917012345", "Are you there?");
  modem.On(part.lengthCommand, "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(sms.SendTextMessage("+4917012345", "Are you there?"), 0);
  // Nothing after the refused command but the ESC that would cancel a
  // message entry, which has no line end of its own.
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"AT+CMGF=0", part.lengthCommand}));
  EXPECT_TRUE(Contains(logs.Trace(), "<--CMxGsmSms::_SendPartialMessage>>ERROR:Wrong Response 1.\r\n"));
  EXPECT_FALSE(Contains(logs.Trace(), "Send(Pdu)"));
  modem.On("\x1B" "AT+CMGD=1", "\r\nOK\r\n");
  EXPECT_EQ(sms.DeleteMessage(1), 1);
}

TEST_F(SmsOddReplies, ANetworkRefusalEndsThePartAtOnce) {
  LogCapture logs;
  const OnePart part = OnePartFor("AT+CMGS=", "+4917012345", "Are you there?");
  modem.On(part.lengthCommand, "\r\n> ");
  modem.On(part.pdu, "\r\n+CMS ERROR: 38\r\n");
  EXPECT_EQ(sms.SendTextMessage("+4917012345", "Are you there?"), 0);
  const std::string trace = logs.Trace();
  EXPECT_TRUE(Contains(trace, "CMxGsmSms::_SendPartialMessage>>Provider Response:[+CMS ERROR: 38\r\n].\r\n"));
  EXPECT_TRUE(Contains(trace, "<--CMxGsmSms::_SendPartialMessage>>ERROR:Wrong Response 2.\r\n"));
  // The error was the answer's last line: no further line was waited for.
  EXPECT_FALSE(Contains(trace, "CMxGsmSms::_SendPartialMessage>>Response:["));
}

TEST_F(SmsOddReplies, StoringGivesTheNewIndexOrMinusOne) {
  const OnePart part = OnePartFor("AT+CMGW=", "+4917012345", "Draft");
  modem.On(part.lengthCommand, "\r\n> ");
  modem.On(part.pdu, "\r\n+CMGW: 17\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.WriteSmsEntry("+4917012345", "Draft"), 17);
  modem.On(part.pdu, "\r\n+CMGW: 17\r\n\r\nERROR\r\n");
  EXPECT_EQ(sms.WriteSmsEntry("+4917012345", "Draft"), -1);
  modem.On(part.pdu, "\r\n+CMS ERROR: 322\r\n");
  EXPECT_EQ(sms.WriteSmsEntry("+4917012345", "Draft"), -1);
}

TEST_F(SmsOddReplies, ServiceCentreAndStorageAnswers) {
  LogCapture logs;
  std::string number;
  int type = 0;
  modem.On("AT+CSCA?", "\r\n+CSCA: \"+123\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.GetServiceCenter(number, type), 1);
  EXPECT_EQ(number, "\"+123\"");
  EXPECT_EQ(type, 145);
  modem.On("AT+CSCA?", "\r\n+CSCA: \"+123\"\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.GetServiceCenter(number, type), 0);
  phone->session.FlushComBuffers();  // the final "OK" left unread
  modem.On("AT+CSCA?", "\r\n+CSCA: \"+44\",145\r\n\r\nERROR\r\n");
  EXPECT_EQ(sms.GetServiceCenter(number, type), 0);
  EXPECT_EQ(number, "\"+44\"");  // set before the final check

  int storage = -1;
  int used = -1;
  int total = -1;
  modem.On("AT+CPMS?", "\r\n+CPMS: \"ME\",4,150,\"ME\",4,150,\"SM\",0,30\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.GetSmsStorage(storage, used, total), 1);
  EXPECT_EQ(std::vector<int>({storage, used, total}), std::vector<int>({1, 4, 150}));
  modem.On("AT+CPMS?", "\r\n+CPMS: \"BM\",0,0,\"SM\",0,30,\"SM\",0,30\r\n\r\nOK\r\n");
  EXPECT_EQ(sms.GetSmsStorage(storage, used, total), 0);
  phone->session.FlushComBuffers();
  modem.On("AT+CPMS=\"MT\",\"MT\"", "\r\n+CMS ERROR: 302\r\n");
  EXPECT_EQ(sms.SetSmsStorage(2), 0);

  const std::string trace = logs.Trace();
  for (const char* line : {"<--CMxGsmSms::GetServiceCenter>>ERROR:Wrong Tokenizing:2.\r\n",
                           "<--CMxGsmSms::GetServiceCenter>>ERROR:Wrong Response 3.\r\n",
                           "<--CMxGsmSms::GetSmsStorage>>Parse finished [1,4,150].\r\n",
                           "<--CMxGsmSms::GetSmsStorage>>Parse error[BM].\r\n",
                           "\r\n-->CMxGsmSms::SetSmsStorage(2)\r\n",
                           "<--CMxGsmSms::SetSMSStorage>>ERROR:Wrong Response.\r\n"}) {
    EXPECT_TRUE(Contains(trace, line)) << line;
  }
}

TEST_F(SmsOddReplies, CommandsNeverSent) {
  LogCapture logs;
  SmsEntry entry;
  EXPECT_EQ(sms.DeleteMessage(-1), 0);
  EXPECT_EQ(sms.ReadSmsEntry(-1, entry), 0);
  EXPECT_EQ(sms.SetServiceCenter(""), 0);
  EXPECT_EQ(logs.Trace(), "");  // refused before the entry line
  // An unknown storage number, and numbers that would end or split the
  // command line or the PDU.
  EXPECT_EQ(sms.SetSmsStorage(5), 0);
  EXPECT_EQ(sms.SetServiceCenter("+123;+CMGD=1,4"), 0);
  EXPECT_EQ(sms.SetServiceCenter("+123\rATD112;"), 0);
  EXPECT_EQ(sms.SendTextMessage("+49170\x1A" "123", "hi"), 0);
  EXPECT_EQ(sms.SendFlashMessage("+49170\r", "hi"), 0);
  EXPECT_EQ(sms.WriteSmsEntry("+49170\x1B", "hi"), -1);
  // Texts beyond what the phone takes.
  EXPECT_EQ(sms.SendFlashMessage("5551234", std::string(161, 'a')), 0);
  EXPECT_EQ(sms.SendFlashMessage("5551234", std::string(71, '\xE1')), 0);
  EXPECT_EQ(sms.WriteSmsEntry("5551234", std::string(161, 'a')), -1);
  EXPECT_EQ(sms.SendTextMessage("5551234", std::string(152 * 255 + 1, 'a')), 0);  // 256 parts
  EXPECT_TRUE(modem.Commands().empty());
  const std::string trace = logs.Trace();
  EXPECT_TRUE(Contains(trace, "<--CMxGsmSms::SetSMSStorage>>ERROR:Wrong Storage.\r\n"));
  EXPECT_TRUE(Contains(trace, "<--CMxGsmSms::WriteSmsEntry>>ERROR:Message too long.\r\n"));

  modem.On("AT+CSCA=+123,145", "\r\nOK\r\n");
  modem.On("AT+CSCA=0170111,129", "\r\nOK\r\n");
  EXPECT_EQ(sms.SetServiceCenter("+123"), 1);
  EXPECT_EQ(sms.SetServiceCenter("0170111"), 1);
  EXPECT_EQ(sms.SetSmsStorage(0), 0);  // the default answer "OK" lacks the +CPMS line
  EXPECT_EQ(modem.Commands(),
            (std::vector<std::string>{"AT+CSCA=+123,145", "AT+CSCA=0170111,129", "AT+CPMS=\"SM\",\"SM\""}));
}

TEST_F(SmsOddReplies, NoOperationWithoutAnOpenPort) {
  LogCapture logs;
  CMxGsmBasics idle;
  CMxGsmSms closed(&idle);
  std::vector<SmsEntry> list;
  SmsEntry entry;
  std::string number;
  int a = 0;
  int b = 0;
  int c = 0;
  EXPECT_EQ(closed.ReadSmsEntries(0, list), 0);
  EXPECT_EQ(closed.ReadSmsEntry(1, entry), 0);
  EXPECT_EQ(closed.DeleteMessage(1), 0);
  EXPECT_EQ(closed.GetServiceCenter(number, a), 0);
  EXPECT_EQ(closed.SetServiceCenter("+123"), 0);
  EXPECT_EQ(closed.SetSmsStorage(0), 0);
  EXPECT_EQ(closed.GetSmsStorage(a, b, c), 0);
  EXPECT_EQ(closed.SendTextMessage("123", "hi"), 0);
  EXPECT_EQ(closed._SendPartialMessage("123", "hi", 1, 1, 0, 0), 0);
  EXPECT_EQ(closed.WriteSmsEntry("123", "hi"), -1);
  EXPECT_EQ(closed.SetMessageAknowledge(0), 0);
  EXPECT_EQ(CMxGsmSms(nullptr).ReadSmsEntries(0, list), 0);
  const std::string trace = logs.Trace();
  for (const char* line : {"<--CMxGsmSms::ReadSmsEntries>>ERROR:Can't open the port.\r\n",
                           "<--CMxGsmSms::SetSMSStorage>>ERROR:Can't open the port.\r\n",
                           "<--CMxGsmSms::_SelectPduFormat>>ERROR:Can't open the port.\r\n",
                           "<--CMxGsmSms::_SendPartialMessage>>ERROR:Port not opened.\r\n",
                           "<--CMxGsmSms::GetSmsStorage>>ERROR:Port not opened.\r\n",
                           "<--CMxGsmSms::WriteSmsEntry>>ERROR:Port not opened.\r\n"}) {
    EXPECT_TRUE(Contains(trace, line)) << line;
  }
  EXPECT_TRUE(modem.Commands().empty());
}

TEST_F(SmsOddReplies, DirectlyDeliveredMessageIsDecodedBeforeTheRawEvent) {
  RecordingHandler handler;
  CMxGsmBasics& session = phone->session;
  const uint32_t decodedKey = session.RegisterEvent(0x100, &handler);
  const uint32_t rawKey = session.RegisterEvent(0x80000000u, &handler);
  // A sender the phone book knows: the alpha field comes before the length.
  modem.Send(kHowAreYou + "\r\n");
  EXPECT_EQ(session._TestForRingCode("+CMT: \"Smith, J\",30\r\n"), 0x80000000u);
  ASSERT_EQ(handler.events.size(), 2u);
  EXPECT_EQ(handler.events[0].id, 0x100u);
  EXPECT_EQ(handler.events[0].text, "+31641600986#How are you?");
  EXPECT_EQ(handler.events[0].value, static_cast<uint32_t>(LocalSeconds(2002, 8, 26, 19, 37, 41)));
  EXPECT_EQ(handler.events[1].id, 0x80000000u);
  EXPECT_EQ(handler.events[1].text, kHowAreYou + "\r\n");

  // What is no PDU is only raised raw.
  handler.events.clear();
  modem.Send("+CMGS: 1\r\n");
  EXPECT_EQ(session._TestForRingCode("+CMT: ,30\r\n"), 0x80000000u);
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].id, 0x80000000u);
  EXPECT_EQ(handler.events[0].value, 30u);

  session.UnregisterEvent(decodedKey);
  session.UnregisterEvent(rawKey);
}
