// The call, supplementary-service and SIM-security dialogues byte by byte,
// against a scripted phone: what is sent, how answers are read, and which
// caller texts are refused before anything reaches the line.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BackgroundCalls.h"
#include "ScriptedPhone.h"
#include "codec/CallEntry.h"
#include "services/CMxGsmCall.h"
#include "services/CMxGsmProtection.h"

using fonexa::CallEntry;
using fonexa::testing::ScriptedPhone;

namespace {

class CallDialogues : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone_ = std::make_unique<ScriptedPhone>(); }
  static void TearDownTestSuite() {
    fonexa::testing::EndBackgroundCalls();
    phone_.reset();
  }
  void SetUp() override { Modem().ClearCommands(); }

  static fonexa::testing::ScriptedModem& Modem() { return phone_->modem; }
  static CMxGsmBasics* Session() { return &phone_->session; }
  // The commands the phone has answered so far; the phone records a command
  // once its answer is out, so a test that expects n waits for them.
  static std::vector<std::string> Sent(size_t expected = 0) {
    if (expected) Modem().WaitForCommands(expected, 2000);
    return Modem().Commands();
  }

  static std::unique_ptr<ScriptedPhone> phone_;
};
std::unique_ptr<ScriptedPhone> CallDialogues::phone_;

TEST_F(CallDialogues, CurrentCallsWithEmptyFieldsAndNames) {
  Modem().On("AT+CLCC",
             "\r\n+CLCC: 1,0,2,0,0,,129\r\n+CLCC: 2,1,5,0,0,\"+420777123456\",145,\"Mum\"\r\n\r\nOK\r\n");
  std::vector<CallEntry> calls;
  ASSERT_EQ(CMxGsmCall(Session()).GetCurrentCalls(calls), 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].PhoneNumber, "");
  EXPECT_EQ(calls[0].Type, 129);
  EXPECT_EQ(calls[0].State, 2);
  EXPECT_EQ(calls[1].Index, 2);
  EXPECT_EQ(calls[1].State, 5);
  EXPECT_EQ(calls[1].PhoneNumber, "+420777123456");
  EXPECT_EQ(calls[1].Name, "Mum");
}

TEST_F(CallDialogues, ALineWithoutTypeFailsTheListingButKeepsWhatCameBefore) {
  Modem().On("AT+CLCC", "\r\n+CLCC: 1,0,0,0,0,\"123\",129\r\n+CLCC: 2,0,0,0,0\r\n\r\nOK\r\n");
  std::vector<CallEntry> calls;
  EXPECT_EQ(CMxGsmCall(Session()).GetCurrentCalls(calls), 0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].PhoneNumber, "123");
  // The failure left the rest of the answer on the line; the next dialogue
  // must still find its own.
  Session()->FlushComBuffers();
}

TEST_F(CallDialogues, NoCallIsAnEmptyList) {
  Modem().On("AT+CLCC", "\r\nOK\r\n");
  std::vector<CallEntry> calls(3);
  EXPECT_EQ(CMxGsmCall(Session()).GetCurrentCalls(calls), 1);
  EXPECT_TRUE(calls.empty());
}

TEST_F(CallDialogues, ActivityStatus) {
  Modem().On("AT+CPAS", "\r\n+CPAS: 3\r\n\r\nOK\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).GetActivityStatus(), 3);
  // An answer without the +CPAS line but with OK still ends well, valueless.
  Modem().On("AT+CPAS", "\r\n+XYZ: 3\r\n\r\nOK\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).GetActivityStatus(), -1);
  Modem().On("AT+CPAS", "\r\nERROR\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).GetActivityStatus(), -1);
}

// Rings and caller identities of another call may come before the dial's
// result; the dial reads on. "NO CARRIER" ends it at once.
TEST_F(CallDialogues, ADialReadsPastUnsolicitedCodesToItsResult) {
  Modem().On("ATD+4917012345;", "\r\nRING\r\n\r\n+CLIP: \"+4917099999\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).Dial("+4917012345"), CMxGsmCall::kDialOk);
  Modem().On("ATD+4917012345;", "\r\n+CRING: VOICE\r\n\r\n+CLIP: \"+4917099999\",145\r\n\r\nBUSY\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).Dial("+4917012345"), CMxGsmCall::kDialBusy);
  Modem().On("ATD+4917012345;", "\r\nNO CARRIER\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).Dial("+4917012345"), CMxGsmCall::kDialNoCarrier);
  Modem().On("ATD>SM5;", "\r\nOK\r\n");
  EXPECT_EQ(CMxGsmCall(Session()).Dial(">SM5"), CMxGsmCall::kDialOk);
  EXPECT_EQ(Sent(4), (std::vector<std::string>{"ATD+4917012345;", "ATD+4917012345;", "ATD+4917012345;", "ATD>SM5;"}));
}

TEST_F(CallDialogues, MultipartyCommandsAndRefusals) {
  CMxGsmCall call(Session());
  EXPECT_EQ(call.ManageMultipartyCall(0, -1), 1);
  EXPECT_EQ(call.ManageMultipartyCall(1, 5), 1);
  EXPECT_EQ(call.ManageMultipartyCall(2, 0), 1);
  EXPECT_EQ(call.ManageMultipartyCall(3, -1), 1);
  EXPECT_EQ(call.ManageMultipartyCall(4, 7), 1);
  EXPECT_EQ(call.ManageMultipartyCall(5, -1), 1);
  EXPECT_EQ(Sent(6), (std::vector<std::string>{"AT+CHLD=0", "AT+CHLD=1", "AT+CHLD=10", "AT+CHLD=2", "AT+CHLD=27",
                                              "AT+CHLD=3"}));
  Modem().ClearCommands();
  EXPECT_EQ(call.ManageMultipartyCall(2, 8), 0);
  EXPECT_EQ(call.ManageMultipartyCall(4, -1), 0);
  EXPECT_EQ(call.ManageMultipartyCall(6, 1), 0);
  EXPECT_TRUE(Sent().empty());
  Modem().On("AT+CHLD=2", "\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(call.ManageMultipartyCall(3, -1), 0);
}

TEST_F(CallDialogues, CallerIdentificationSettings) {
  CMxGsmCall call(Session());
  EXPECT_EQ(call.SetClip(5), 1);
  EXPECT_EQ(call.SetClip(0), 1);
  EXPECT_EQ(call.SetClir(1), 1);
  EXPECT_EQ(call.SetClir(0), 1);
  EXPECT_EQ(Sent(4), (std::vector<std::string>{"AT+CLIP=1", "AT+CLIP=0", "AT+CLIR=1", "AT+CLIR=0"}));
}

TEST_F(CallDialogues, AnswerAndHangup) {
  CMxGsmCall call(Session());
  EXPECT_EQ(call.Answer(), 1);
  EXPECT_EQ(call.Hangup(), 1);
  Modem().On("ATA", "\r\nNO CARRIER\r\n");
  EXPECT_EQ(call.Answer(), 0);
  EXPECT_EQ(Sent(3), (std::vector<std::string>{"ATA", "ATH0", "ATA"}));
}

TEST_F(CallDialogues, ForwardingQueryReadsStatusNumberAndTime) {
  Modem().On("AT+CCFC=2,2,,,1", "\r\n+CCFC: 1,1,\"+123\",145,,,20\r\n\r\nOK\r\n");
  int status = -1;
  std::string number;
  int time = -1;
  ASSERT_EQ(CMxGsmCall(Session()).GetCallForwarding(2, 1, status, number, time), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(number, "+123");
  EXPECT_EQ(time, 20);
}

TEST_F(CallDialogues, ForwardingQueryRefusesClassesOfOtherThanOneBit) {
  int status = -1;
  std::string number;
  int time = -1;
  CMxGsmCall call(Session());
  EXPECT_EQ(call.GetCallForwarding(0, 0, status, number, time), 0);
  EXPECT_EQ(call.GetCallForwarding(0, 3, status, number, time), 0);
  EXPECT_TRUE(Sent().empty());
  Modem().On("AT+CCFC=0,2,,,4", "\r\n+CCFC: 1,1,\"+123\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(call.GetCallForwarding(0, 4, status, number, time), 0);  // the phone answered for another class
  Session()->FlushComBuffers();  // its final result is still on the line
}

TEST_F(CallDialogues, ForwardingSettingsPutTheTimeInItsOwnPlace) {
  CMxGsmCall call(Session());
  EXPECT_EQ(call.SetCallForwarding(2, 1, 1, "+123", 20), 1);
  EXPECT_EQ(call.SetCallForwarding(0, 1, 1, "0777123456", 20), 1);
  EXPECT_EQ(call.SetCallForwarding(1, 1, 1, "", 0), 1);
  EXPECT_EQ(call.SetCallForwarding(1, 1, 0, "+123", 0), 1);
  EXPECT_EQ(call.SetCallForwarding(3, 1, 0, "", 0), 1);
  EXPECT_EQ(Sent(5), (std::vector<std::string>{"AT+CCFC=2,3,\"+123\",145,1,,,20", "AT+CCFC=0,3,\"0777123456\",129,1",
                                              "AT+CCFC=1,1,,,1", "AT+CCFC=1,4,\"+123\",145,1", "AT+CCFC=3,0,,,1"}));
}

TEST_F(CallDialogues, BarringGoesThroughTheFacilityLocks) {
  Modem().On("AT+CLCK=\"OI\",2,1234,1", "\r\n+CLCK: 1,1\r\n\r\nOK\r\n");
  CMxGsmCall call(Session());
  int status = -1;
  EXPECT_EQ(call.GetCallBarring(1, 1, "1234", status), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(call.SetCallBarring(7, 0, "1234", 3), 1);
  EXPECT_EQ(call.SetCallBarring(0, 1, "1234", 0), 1);
  EXPECT_EQ(Sent(3), (std::vector<std::string>{"AT+CLCK=\"OI\",2,1234,1", "AT+CLCK=\"AC\",1,1234", "AT+CLCK=\"AO\",0,1234,1"}));
  Modem().ClearCommands();
  EXPECT_EQ(call.GetCallBarring(8, 1, "1234", status), 0);
  EXPECT_EQ(call.SetCallBarring(-1, 1, "1234", 1), 0);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CallDialogues, PinCodesAndLocks) {
  CMxGsmProtection protection(Session());
  EXPECT_EQ(protection.ChangePinCode(2, "1234", "4321"), 1);
  EXPECT_EQ(protection.ChangePinCode(16, "1234", "4321"), 1);
  EXPECT_EQ(protection.ChangePinCode(3, "1234", "4321"), 0);
  EXPECT_EQ(protection.ChangePinCode(2, "", "4321"), 0);
  Modem().On("AT+CLCK=\"SC\",2,1234", "\r\n+CLCK: 1\r\n\r\nOK\r\n");
  int status = -1;
  EXPECT_EQ(protection.GetLock(1, "1234", status), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(protection.SetLock(2, "4321", 5), 1);
  EXPECT_EQ(protection.GetLock(3, "1234", status), 0);
  EXPECT_EQ(protection._GetFacilityLock("SC", "1234", 3, status), 0);
  EXPECT_EQ(protection.Verify("1234", ""), 1);
  EXPECT_EQ(protection.Verify("12345678", "4321"), 1);
  EXPECT_EQ(protection.Verify("", ""), 0);
  EXPECT_EQ(Sent(6), (std::vector<std::string>{"AT+CPWD=\"SC\",1234,4321", "AT+CPWD=\"PC\",1234,4321",
                                              "AT+CLCK=\"SC\",2,1234", "AT+CLCK=\"FD\",1,4321", "AT+CPIN=1234",
                                              "AT+CPIN=12345678,4321"}));
}

// Texts that would end the command and start another one, or edit the line
// (backspace, V.250's editing character), never reach the phone.
TEST_F(CallDialogues, RefusedCallerTextsSendNothing) {
  const std::vector<std::string> hostile = {"1234\";+CMGD=1,4", "12\r34", "12\b34", "12;34", "12\x7f", "12\"",
                                            "12 34"};
  CMxGsmCall call(Session());
  CMxGsmProtection protection(Session());
  for (const std::string& text : hostile) {
    int status = 0;
    EXPECT_EQ(call.SetCallForwarding(0, 1, 1, text, 0), 0) << text;
    EXPECT_EQ(call.GetCallBarring(0, 1, text, status), 0) << text;
    EXPECT_EQ(call.SetCallBarring(0, 1, text, 1), 0) << text;
    EXPECT_EQ(protection.Verify(text, ""), 0) << text;
    EXPECT_EQ(protection.Verify("1234", text), 0) << text;
    EXPECT_EQ(protection.ChangePinCode(2, text, "1234"), 0) << text;
    EXPECT_EQ(protection.ChangePinCode(2, "1234", text), 0) << text;
    EXPECT_EQ(protection.GetLock(1, text, status), 0) << text;
    EXPECT_EQ(protection.SetLock(1, text, 1), 0) << text;
    EXPECT_EQ(call.Dial(text), CMxGsmCall::kDialFailed) << text;
    EXPECT_EQ(call.StartDial(text), 0) << text;
  }
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
