// Voice calls through the AT interface: dial outcomes, call states over
// time, incoming calls with caller identification, hold and multiparty,
// the call lists and call forwarding.
#include "ModemFixture.h"

namespace fonexa::sim::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class Calls : public ModemTest {
 protected:
  void rule(const std::string& pattern, DialOutcome outcome, milliseconds alerting, milliseconds answer) {
    modem().update([=](ModemContext& ctx) {
      DialRule r;
      r.pattern = pattern;
      r.outcome = outcome;
      r.alertingAfter = alerting;
      r.answerAfter = answer;
      ctx.calls.rules.add(r);
    });
  }
};

TEST_F(Calls, ADialledCallEndsWithTheResultItsRuleGives) {
  start();
  rule("*", DialOutcome::Connect, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("ATD+4930123456;"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"+4930123456\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPAS"), "\r\n+CPAS: 4\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATH"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC;+CPAS"), "\r\n+CPAS: 0\r\n\r\nOK\r\n");

  rule("0800*", DialOutcome::Busy, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("ATD08001234;"), "\r\nBUSY\r\n");
  rule("0900*", DialOutcome::NoCarrier, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("ATD09001234;"), "\r\nNO CARRIER\r\n");
  rule("0700*", DialOutcome::NoAnswer, milliseconds(0), milliseconds(0));
  modem().update([](ModemContext& ctx) { ctx.calls.rules.noAnswerTimeout = milliseconds(0); });
  EXPECT_EQ(at("ATD07001234;"), "\r\nNO ANSWER\r\n");
  modem().setDialOutcome(DialOutcome::NoDialtone);
  EXPECT_EQ(at("ATD0301234;"), "\r\nNO DIALTONE\r\n");
  EXPECT_EQ(at("ATD0301234"), "\r\nNO CARRIER\r\n") << "data calls find no carrier";
  EXPECT_EQ(at("ATD03x01;"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\nOK\r\n");
}

TEST_F(Calls, ACharacterFromTheTerminalAbortsTheDialButNotTheLineFeedOfItsLineEnd) {
  start();
  rule("*", DialOutcome::Connect, seconds(60), seconds(60));
  sendAndSettle("ATD0301234;");
  client().write("A\r");
  EXPECT_EQ(client().readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\nOK\r\n");
  rule("*", DialOutcome::Connect, milliseconds(0), milliseconds(0));
  client().write("ATD0301234;\r\n");
  EXPECT_EQ(client().readUntil("OK\r\n"), "\r\nOK\r\n");
}

TEST_F(Calls, DialsNumbersFromThePhoneBook) {
  start();
  rule("*", DialOutcome::Connect, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("AT+CMEE=1;+CPBW=4,\"+4930444\",145,\"Dora\""), "\r\nOK\r\n");
  EXPECT_EQ(at("ATD>SM4;"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC;H"), "\r\n+CLCC: 1,0,0,0,0,\"+4930444\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATD>\"Dora\";"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATH;D>4;"), "\r\nOK\r\n") << "a location in the current book";
  EXPECT_EQ(at("ATH;D>5;"), "\r\n+CME ERROR: 22\r\n");
  EXPECT_EQ(at("ATD>\"Nobody\";"), "\r\n+CME ERROR: 22\r\n");
}

TEST_F(Calls, CallStatesMoveFromDiallingToAlertingToActive) {
  start(quickOptions("nokia"));  // ends ATD with OK at once
  rule("*", DialOutcome::Connect, seconds(60), seconds(60));
  EXPECT_EQ(at("ATD0301234;"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,2,0,0,\"0301234\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHUP"), "\r\nOK\r\n");
  rule("*", DialOutcome::Connect, milliseconds(0), seconds(60));
  EXPECT_EQ(at("ATD0301234;"), "\r\nOK\r\n");
  settle();
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,3,0,0,\"0301234\",129\r\n\r\nOK\r\n");
  EXPECT_TRUE(modem().remoteAnswer());
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"0301234\",129\r\n\r\nOK\r\n");
  EXPECT_TRUE(modem().remoteHangUp());
  EXPECT_EQ(client().readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
  rule("*", DialOutcome::Busy, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("ATD0301234;"), "\r\nOK\r\n");
  EXPECT_EQ(client().readUntil("BUSY\r\n"), "\r\nBUSY\r\n") << "a failed set-up comes afterwards";
}

TEST_F(Calls, AnIncomingCallRingsWithItsNumberAndIsAnswered) {
  start();
  EXPECT_EQ(at("AT+CLIP=1;+CPBW=1,\"+4917011111\",145,\"Alice\""), "\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("+4917011111"));
  EXPECT_EQ(client().readUntil(",,,\"Alice\"\r\n"), "\r\nRING\r\n\r\n+CLIP: \"+4917011111\",145,,,\"Alice\"\r\n");
  EXPECT_EQ(at("AT+CPAS"), "\r\n+CPAS: 3\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,1,4,0,0,\"+4917011111\",145,\"Alice\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATA"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,1,0,0,0,\"+4917011111\",145,\"Alice\"\r\n\r\nOK\r\n");
  EXPECT_TRUE(modem().remoteHangUp(1));
  EXPECT_EQ(client().readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(at("ATA"), "\r\nNO CARRIER\r\n") << "nothing rings any more";

  EXPECT_EQ(at("AT+CRC=1;+CLIP=0"), "\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("0301234"));
  EXPECT_EQ(client().readUntil("VOICE\r\n"), "\r\n+CRING: VOICE\r\n");
  EXPECT_EQ(at("ATH"), "\r\nOK\r\n");
}

TEST_F(Calls, TheRingRepeatsUntilTheCallerGivesUpOrTheS0CountAnswers) {
  start();
  modem().update([](ModemContext& ctx) { ctx.calls.ringInterval = milliseconds(1); });
  EXPECT_EQ(at("ATS0=3"), "\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("0301234"));
  EXPECT_EQ(client().readUntil("RING\r\n\r\nRING\r\n\r\nRING\r\n"), "\r\nRING\r\n\r\nRING\r\n\r\nRING\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,1,0,0,0,\"0301234\",129\r\n\r\nOK\r\n") << "answered after three rings";
}

TEST_F(Calls, HoldSwapJoinAndReleaseFollowChld) {
  start();
  rule("*", DialOutcome::Connect, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("AT+CCWA=1;+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATD111;"), "\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("222"));
  EXPECT_EQ(client().readUntil("+CCWA: \"222\",129,1\r\n"), "\r\n+CCWA: \"222\",129,1\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"111\",129\r\n+CLCC: 2,1,5,0,0,\"222\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHLD=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,1,0,0,\"111\",129\r\n+CLCC: 2,1,0,0,0,\"222\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHLD=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"111\",129\r\n+CLCC: 2,1,1,0,0,\"222\",129\r\n\r\nOK\r\n")
      << "a second 2 swaps back";
  EXPECT_EQ(at("AT+CHLD=3"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,1,\"111\",129\r\n+CLCC: 2,1,0,0,1,\"222\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHLD=22"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,1,0,0,\"111\",129\r\n+CLCC: 2,1,0,0,0,\"222\",129\r\n\r\nOK\r\n")
      << "private consultation with 2";
  EXPECT_EQ(at("AT+CHLD=12"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,1,0,0,\"111\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHLD=3"), "\r\n+CME ERROR: 3\r\n") << "nothing to join";
  EXPECT_EQ(at("AT+CHLD=17"), "\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(at("AT+CHLD=1"), "\r\nOK\r\n") << "no active call; the held one comes back";
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"111\",129\r\n\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("333"));
  EXPECT_EQ(client().readUntil("+CCWA: \"333\",129,1\r\n").empty(), false);
  EXPECT_EQ(at("AT+CHLD=0"), "\r\nOK\r\n") << "busy for the waiting call";
  EXPECT_EQ(at("AT+CLCC"), "\r\n+CLCC: 1,0,0,0,0,\"111\",129\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CHLD=0"), "\r\n+CME ERROR: 3\r\n");
}

TEST_F(Calls, CallListsKeepDialledMissedAndReceivedCallsWithTheirTime) {
  start(quickOptions("ericsson"));
  rule("*", DialOutcome::Connect, milliseconds(0), milliseconds(0));
  EXPECT_EQ(at("AT+CCLK=\"24/05/17,13:45:00\""), "\r\nOK\r\n");
  EXPECT_EQ(at("ATD0301234;"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATH"), "\r\nOK\r\n");
  ASSERT_TRUE(modem().ring("+4917099"));
  EXPECT_FALSE(client().readUntil("RING\r\n").empty());
  EXPECT_TRUE(modem().remoteHangUp());
  ASSERT_TRUE(modem().ring("+4917088"));
  EXPECT_FALSE(client().readUntil("RING\r\n").empty());
  EXPECT_EQ(at("ATA;H"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"DC\";+CPBR=1"), "\r\n+CPBR: 1,\"0301234\",129,\"\",\"24/05/17,13:45\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"MC\";+CPBR=1,10"), "\r\n+CPBR: 1,\"+4917099\",145,\"\",\"24/05/17,13:45\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"RC\";+CPBR=1,10"), "\r\n+CPBR: 1,\"+4917088\",145,\"\",\"24/05/17,13:45\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=2,\"1\",129,\"x\""), "\r\nERROR\r\n") << "the phone keeps its call lists itself";
  EXPECT_EQ(at("AT+CPBW=1;+CPBR=1,10"), "\r\nOK\r\n") << "entries can be deleted";
}

TEST_F(Calls, ForwardingIsKeptPerReasonAndClass) {
  start();
  ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=0,2"), "\r\n+CCFC: 0,7\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=0,3,\"+4930111\",145,1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=0,2"), "\r\n+CCFC: 1,1,\"+4930111\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=0,2,,,2"), "\r\n+CCFC: 0,2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=2,3,+123,,1,20"), "\r\nOK\r\n") << "the SDK's registration form, number bare";
  EXPECT_EQ(at("AT+CCFC=2,2,,,1"), "\r\n+CCFC: 1,1,\"+123\",145,,,20\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=2,3,\"0301\",129,1,,,15;+CCFC=2,2,,,1"), "\r\n+CCFC: 1,1,\"0301\",129,,,15\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=2,0,,,1;+CCFC=2,2,,,1"), "\r\n+CCFC: 0,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=2,1,,,1;+CCFC=2,2,,,1"), "\r\n+CCFC: 1,1,\"0301\",129,,,15\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=4,4"), "\r\nOK\r\n") << "erasing all forwarding";
  EXPECT_EQ(at("AT+CCFC=0,2;+CCFC=2,2"), "\r\n+CCFC: 0,7\r\n\r\n+CCFC: 0,7\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCFC=1,1"), "\r\n+CME ERROR: 3\r\n") << "nothing registered to enable";
  EXPECT_EQ(at("AT+CCFC=6,2"), "\r\nERROR\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
