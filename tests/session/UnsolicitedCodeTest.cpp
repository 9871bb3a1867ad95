#include <gtest/gtest.h>

#include <algorithm>

#include "SessionFixture.h"
#include "platform/Tick.h"
#include "session/LastEventRecord.h"

using fonexa::testing::LogCapture;
using fonexa::testing::RecordingHandler;
using fonexa::testing::SessionTest;

namespace {

constexpr uint32_t kAll[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80000000u};

class UnsolicitedCodes : public SessionTest {
 protected:
  void SetUp() override {
    Start();
    for (uint32_t id : kAll) session.RegisterEvent(id, &handler);
  }
  RecordingHandler handler;
};

struct CodeCase {
  const char* line;
  uint32_t result;
  uint32_t event;  // 0: none raised
  const char* text;
  uint32_t value;
};

}  // namespace

TEST_F(UnsolicitedCodes, EveryRowOfTheTable) {
  const CodeCase cases[] = {
      {"RING\r\n", 0x1, 0x1, "", 0},
      {"+CLIP: \"+420777123456\",145\r\n", 0x4, 0x4, "+420777123456", 145},
      {"+CLIP: 5551234,129,,,\"Jan\"\r\n", 0x4, 0x4, "5551234", 129},
      {"+CRING: VOICE\r\n", 0x2, 0x2, "VOICE", 0},
      {"+CDSI: \"SM\",3\r\n", 0x8, 0x8, "SM", 3},
      {"^SYSSTART\r\n", 0x10, 0x10, "", 0},
      {"^SYSSTART ALARM MODE", 0x10, 0x10, "", 0},  // from the event thread: exactly the start-up prefix long
      {"+CALA: Wake up, now\r\n", 0x40, 0x40, "Wake up, now", 0},
      {"NO CARRIER\r\n", 0x80000000u, 0x80000000u, "", 0},
      {"+CMTI: \"SM\",4\r\n", 0x80000000u, 0, nullptr, 0},
      {"+CREG: 5\r\n", 0x200, 0, nullptr, 0},
      {"+CLIP: (0,1)\r\n", 0, 0, nullptr, 0},
      {"+CREG: 1,5\r\n", 0, 0, nullptr, 0},
      {"+CMT:", 0, 0, nullptr, 0},  // not longer than its prefix
      {"OK\r\n", 0, 0, nullptr, 0},
      {"", 0, 0, nullptr, 0},
  };
  for (const auto& c : cases) {
    handler.events.clear();
    EXPECT_EQ(session._TestForRingCode(c.line), c.result) << c.line;
    if (c.event == 0) {
      EXPECT_TRUE(handler.events.empty()) << c.line;
      continue;
    }
    ASSERT_EQ(handler.events.size(), 1u) << c.line;
    EXPECT_EQ(handler.events[0].id, c.event) << c.line;
    EXPECT_EQ(handler.events[0].text, c.text) << c.line;
    EXPECT_EQ(handler.events[0].value, c.value) << c.line;
  }
}

TEST_F(UnsolicitedCodes, AlarmStartUpTakesTheAlarmLineThatFollows) {
  modem.Send("+CALA: Meeting\r\n");
  EXPECT_EQ(session._TestForRingCode("^SYSSTART ALARM MODE\r\n"), 0x20u);
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].id, 0x20u);
  EXPECT_EQ(handler.events[0].text, "Meeting");
  handler.events.clear();
  modem.Send("+CSQ: 5,99\r\n");
  EXPECT_EQ(session._TestForRingCode("^SYSSTART ALARM MODE\r\n"), 0u);  // the line read is lost
  EXPECT_TRUE(handler.events.empty());
}

TEST_F(UnsolicitedCodes, RingThenCallerIdInTheMiddleOfAnAnswer) {
  modem.On("AT+CGMI", "\r\nRING\r\n\r\n+CLIP: \"+420777\",145\r\n\r\nMaker\r\n\r\nOK\r\n");
  std::string maker;
  EXPECT_EQ(session.GetManufacturer(maker), 1);
  EXPECT_EQ(maker, "Maker\r\n");
  ASSERT_EQ(handler.events.size(), 2u);
  EXPECT_EQ(handler.events[0].id, 0x4u);  // the follow-up read of RING met the caller id first
  EXPECT_EQ(handler.events[0].text, "+420777");
  EXPECT_EQ(handler.events[1].id, 0x1u);
  EXPECT_EQ(session.RingEventProcessed(), 1u);  // RING counted, caller id not
  EXPECT_EQ(session.RingEventProcessed(), 0u);
}

TEST_F(UnsolicitedCodes, CodeFramedLikeAnAnswerBeforeTheAnswerLeavesItIntact) {
  // Phones frame codes in line ends; one that arrives just before an answer
  // shows up as blank, code, blank, answer.
  modem.On("AT+CGMI", "\r\n+CMTI: \"SM\",2\r\n\r\nMaker\r\n\r\nOK\r\n");
  std::string maker;
  EXPECT_EQ(session.GetManufacturer(maker), 1);
  EXPECT_EQ(maker, "Maker\r\n");
  modem.On("AT", "\r\n+CREG: 5\r\n\r\nOK\r\n");
  EXPECT_EQ(session.SendTestCommand(), 1);
  modem.On("AT", "\r\n+CDSI: \"SM\",4\r\n\r\n+CALA: Alarm\r\n\r\nOK\r\n");
  EXPECT_EQ(session.SendTestCommand(), 1);  // two codes in a row
  ASSERT_EQ(handler.events.size(), 2u);
  EXPECT_EQ(handler.events[0].id, 0x8u);
  EXPECT_EQ(handler.events[1].id, 0x40u);
  modem.On("AT", "\r\nOK\r\n");
  EXPECT_EQ(session.SendTestCommand(), 1);  // and the line is in step afterwards
  EXPECT_EQ(session.SendTestCommand(), 1);
}

TEST_F(UnsolicitedCodes, CodesBeforeTheSmsPromptAreSkipped) {
  modem.On("AT+CMGS=20", "\r\n+CMTI: \"SM\",2\r\n> ");
  EXPECT_EQ(session.WriteCommandStringAndWaitForResponse("AT+CMGS=20\r", "> ", 3000), 1);
  EXPECT_EQ(session.RingEventProcessed(), 1u);
  session.WriteCommandString("\x1b", 3000);  // cancel the message
  modem.On("AT+CMGS=21", "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(session.WriteCommandStringAndWaitForResponse("AT+CMGS=21\r", "> ", 3000), 0);
}

TEST_F(UnsolicitedCodes, DeliveredMessageIsRaisedRawAndAcknowledgedOnDetach) {
  const std::string pdu = "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";
  modem.Send("\r\n+CMT: ,38\r\n" + pdu + "\r\n");
  EXPECT_EQ(session.ReadAnswerLineString(1000), "\r\n");
  EXPECT_EQ(session.ReadAnswerLineString(500), "");  // the code and its PDU were consumed
  ASSERT_FALSE(handler.events.empty());
  EXPECT_EQ(handler.events.back().id, 0x80000000u);
  EXPECT_EQ(handler.events.back().text, pdu + "\r\n");
  EXPECT_EQ(handler.events.back().value, 38u);
  EXPECT_EQ(session.IsAcknowledgePending(), 1);
  ASSERT_EQ(session.Attach("test", 1000), 1);
  EXPECT_EQ(session.Detach(), 1);
  EXPECT_EQ(session.IsAcknowledgePending(), 0);
  EXPECT_EQ(modem.Commands(), std::vector<std::string>{"AT+CNMA=0"});
}

TEST_F(UnsolicitedCodes, AlphaFieldBeforeTheLengthGivesValueZero) {
  modem.Send("0791000000000000\r\n");
  EXPECT_EQ(session._TestForRingCode("+CMT: \"Bob\",22\r\n"), 0x80000000u);
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].value, 0u);
}

TEST_F(SessionTest, RegistrationsMatchTheIdentifierExactly) {
  Start();
  RecordingHandler first, second, masked;
  const uint32_t key1 = session.RegisterEvent(0x40, &first);
  session.RegisterEvent(0x40, &second);
  session.RegisterEvent(0x5, &masked);
  EXPECT_EQ(session.RegisterEvent(0, &first), 0u);
  EXPECT_EQ(session.IsHandledEvent(0x40), 1);
  EXPECT_EQ(session.IsHandledEvent(0x1), 0);
  session._TranslateEvent(0x40, "alarm", 7);
  session._TranslateEvent(0x1, "", 0);
  session._TranslateEvent(0x4, "123", 129);
  EXPECT_EQ(first.events.size(), 1u);
  EXPECT_EQ(second.events.size(), 1u);
  EXPECT_TRUE(masked.events.empty());  // no bit-mask matching
  EXPECT_EQ(session._TranslateEvent(0, "x", 1), 0);
  EXPECT_EQ(session.UnregisterEvent(key1), 1);
  EXPECT_EQ(session.UnregisterEvent(0xFFFFFFFF), 0);
}

TEST_F(SessionTest, EventsStoreTheLastEventRecord) {
  Start();
  session._TranslateEvent(0x100, "+420777123456#Hi there", 1700000000u);
  char text[fonexa::LastEventRecord::kTextSize];
  uint32_t value = 0;
  EXPECT_EQ(fonexa::LastEventRecord::CopyOut(text, &value), 23);
  EXPECT_STREQ(text, "+420777123456#Hi there");
  EXPECT_EQ(value, 1700000000u);
}

namespace {

struct WindowMail {
  uint32_t message = 0;
  uintptr_t id = 0;
  std::string text;
  int calls = 0;
};

intptr_t CollectMail(MxWindow, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context) {
  auto* mail = static_cast<WindowMail*>(context);
  mail->message = message;
  mail->id = wParam;
  mail->text = reinterpret_cast<const char*>(lParam);
  ++mail->calls;
  return 1;
}

}  // namespace

TEST_F(SessionTest, WindowsReceiveTheEventMessageWithTheLastEventText) {
  Start();
  WindowMail mail;
  MxWindow window = MxCreateWindow(&CollectMail, &mail);
  ASSERT_NE(window, nullptr);
  session.RegisterEvent(0x4, window);
  modem.Send("\r\n+CLIP: \"5551234\",129\r\n");
  EXPECT_EQ(session.ReadAnswerLineString(1000), "\r\n");
  EXPECT_EQ(session.ReadAnswerLineString(300), "");
  EXPECT_EQ(mail.calls, 1);
  EXPECT_EQ(mail.message, 1297u);
  EXPECT_EQ(mail.id, 0x4u);
  EXPECT_EQ(mail.text, "5551234");
  MxDestroyWindow(window);
  session._TranslateEvent(0x4, "again", 0);  // a destroyed window receives nothing
  EXPECT_EQ(mail.calls, 1);
  EXPECT_EQ(MxCreateWindow(nullptr, nullptr), nullptr);
}

TEST_F(SessionTest, TraceOfADispatchedEvent) {
  LogCapture logs;
  const size_t before = StartLogged(logs);
  RecordingHandler handler;
  session.RegisterEvent(0x10, &handler);
  EXPECT_EQ(session._TestForRingCode("^SYSSTART\r\n"), 0x10u);
  const std::string trace = logs.Trace().substr(before);
  EXPECT_EQ(trace.substr(0, trace.find("CMxGsmBasics::_TranslateEvent>>[0,")),
            "\nCMxGsmBasics::_TestForRingCode>>^SYSSTART\r\n\n-->CMxGsmBasics::_TranslateEvent>>[10, , 0]\n");
  EXPECT_NE(trace.find("<--CMxGsmBasics::_TranslateEvent>>[10, , 0]\nCMxGsmBasics::_TestForRingCode>>Found ring "
                       "event:[^SYSSTART\r\n]\n"),
            std::string::npos);
}

namespace {

// The exchange of a query: the command, then the information line and the
// final result, each read as "ReadAnswerString" reads them.
struct QueryResult {
  std::string information;
  std::string final;
  uint32_t ms;
};

QueryResult Query(CMxGsmBasics& session, const std::string& command) {
  const uint32_t start = fonexa::platform::TickCount();
  session.WriteCommandString(command + "\r", 3000);
  QueryResult result;
  result.information = session.ReadAnswerString(3000, 0);
  result.final = session.ReadAnswerString(3000, 0);
  result.ms = fonexa::platform::TickCount() - start;
  return result;
}

std::string Rings(size_t count) {
  std::string burst;
  for (size_t i = 0; i < count; ++i) burst += "\r\nRING\r\n";
  return burst;
}

}  // namespace

TEST_F(UnsolicitedCodes, FiftyRingsBeforeTheAnswerLeaveItIntact) {
  modem.On("AT+CSQ", Rings(50) + "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  const QueryResult result = Query(session, "AT+CSQ");
  EXPECT_EQ(result.information, "+CSQ: 17,99\r\n");
  EXPECT_EQ(result.final, "OK\r\n");
  EXPECT_LT(result.ms, 2000u);
  EXPECT_EQ(handler.events.size(), 50u);
  for (const auto& event : handler.events) EXPECT_EQ(event.id, 0x1u);
  // And a single one, odd in number, whose follow-up read meets the answer.
  handler.events.clear();
  modem.On("AT+CSQ", Rings(1) + "\r\n+CSQ: 5,0\r\n\r\nOK\r\n");
  EXPECT_EQ(Query(session, "AT+CSQ").information, "+CSQ: 5,0\r\n");
  EXPECT_EQ(handler.events.size(), 1u);
}

TEST_F(UnsolicitedCodes, FiftyThousandRingsCostTheReadsTheirDeadlinesAndNoMore) {
  // About 400 KB of codes: the reader handles them in a loop (no stack
  // grows), and a read that meets nothing but codes ends at its deadline.
  modem.On("AT+CSQ", Rings(50000) + "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  const QueryResult result = Query(session, "AT+CSQ");
  EXPECT_LT(result.ms, 3 * 3000u + 1000u);
  EXPECT_FALSE(handler.events.empty());
  // Whatever the reads left is drained; the line is in step afterwards.
  for (int i = 0; i < 20 && !session.ReadAnswerLineString(3000).empty(); ++i) {
  }
  modem.On("AT", "\r\nOK\r\n");
  EXPECT_EQ(session.SendTestCommand(), 1);
}

// Registrations made in the same millisecond get keys of their own: removing
// one never removes another.
TEST(EventRegistrations, KeysAreUniqueWithinAMillisecond) {
  CMxGsmBasics session;
  fonexa::testing::RecordingHandler first;
  fonexa::testing::RecordingHandler second;
  std::vector<uint32_t> keys;
  for (int i = 0; i < 50; ++i) keys.push_back(session.RegisterEvent(0x400, &first));
  const uint32_t other = session.RegisterEvent(0x800, &second);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  for (const uint32_t key : keys) {
    EXPECT_NE(key, other);
    EXPECT_EQ(session.UnregisterEvent(key), 1);
  }
  EXPECT_EQ(session.IsHandledEvent(0x400), 0);
  EXPECT_EQ(session.IsHandledEvent(0x800), 1);
  session._TranslateEvent(0x800, "x", 1);
  EXPECT_EQ(second.events.size(), 1u);
  EXPECT_TRUE(first.events.empty());
}
