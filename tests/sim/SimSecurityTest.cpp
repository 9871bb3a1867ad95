// SIM security through the AT interface: the PIN / PUK / PIN2 / PUK2 state
// machine with its attempt counters, the SIM locks, the phone lock and call
// barring with the network password.
#include "ModemFixture.h"
#include "sim/control/JsonValue.h"

namespace fonexa::sim::test {
namespace {

class SimSecurity : public ModemTest {
 protected:
  void startLocked() {
    ModemOptions o = quickOptions();
    o.pinRequired = true;
    o.codes.pin = "1234";
    o.codes.puk = "12345678";
    start(o);
    ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  }
  int attempts(const std::string& code) {
    auto state = JsonValue::parse(modem().stateJson());
    return (*state)["sim"]["attempts"][code].asInt(-1);
  }
};

TEST_F(SimSecurity, WrongPinsCountDownToThePukWhichSetsANewPin) {
  startLocked();
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN=0000"), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(attempts("pin"), 2);
  EXPECT_EQ(at("AT+CPIN=\"1111\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN=2222"), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1"), "\r\n+CME ERROR: 12\r\n");
  EXPECT_EQ(at("AT+CPIN=1234"), "\r\n+CME ERROR: 3\r\n") << "the PUK form needs a new PIN";
  EXPECT_EQ(at("AT+CPIN=87654321,4321"), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(attempts("puk"), 9);
  EXPECT_EQ(at("AT+CPIN=12345678,4321"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
  EXPECT_EQ(attempts("pin"), 3);
  EXPECT_EQ(attempts("puk"), 10);
  EXPECT_EQ(at("AT+CPIN=4321"), "\r\n+CME ERROR: 3\r\n") << "nothing is asked for any more";
  EXPECT_EQ(at("AT+CPWD=\"SC\",\"1234\",\"5555\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CPWD=\"SC\",4321,5555"), "\r\nOK\r\n");
  modem().reboot();
  ASSERT_TRUE(client().readUntil("^SYSSTART\r\n").size());
  EXPECT_EQ(at("AT+CPIN=5555"), "AT+CPIN=5555\r\r\nOK\r\n");
}

TEST_F(SimSecurity, TenWrongPuksKillTheCard) {
  startLocked();
  modem().setSimState(SimState::PukRequired);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(at("AT+CPIN=00000000,1111"), "\r\n+CME ERROR: 16\r\n") << i;
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CME ERROR: 13\r\n");
  EXPECT_EQ(at("AT+CPIN=12345678,1111"), "\r\n+CME ERROR: 13\r\n");
  EXPECT_EQ(at("AT+CMGL=4"), "\r\n+CMS ERROR: 313\r\n");
}

TEST_F(SimSecurity, APhoneWithoutSimStillAnswersWhatNeedsNoSim) {
  ModemOptions o = quickOptions();
  o.simPresent = false;
  start(o);
  EXPECT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(at("AT+CPBS?"), "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(at("AT+CPMS?"), "\r\n+CMS ERROR: 310\r\n");
  EXPECT_EQ(at("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 0,0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATD112;"), "\r\nOK\r\n") << "emergency calls need no SIM";
}

TEST_F(SimSecurity, ThePinLockCanBeSwitchedOffAndOnWithThePin) {
  startLocked();
  EXPECT_EQ(at("AT+CPIN=1234"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"SC\",2"), "\r\n+CLCK: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"SC\",0,\"9999\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(attempts("pin"), 2);
  EXPECT_EQ(at("AT+CLCK=\"SC\",0,\"1234\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"SC\",2"), "\r\n+CLCK: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPWD=\"SC\",\"1234\",\"5555\""), "\r\n+CME ERROR: 3\r\n") << "a PIN not in use cannot change";
  modem().reboot();
  ASSERT_TRUE(client().readUntil("^SYSSTART\r\n").size());
  EXPECT_EQ(at("ATE0;+CPIN?"), "ATE0;+CPIN?\r\r\n+CPIN: READY\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"SC\",1,\"1234\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"XX\",2"), "\r\nERROR\r\n") << "CMEE went back to 0 with the reboot";
}

TEST_F(SimSecurity, FixedDiallingEntriesNeedPin2AndItsPuk2) {
  start();
  ASSERT_EQ(at("AT+CMEE=1;+CPBS=\"FD\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"112\",129,\"Emergency\""), "\r\n+CME ERROR: 17\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: SIM PIN2\r\n\r\nOK\r\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(at("AT+CPIN=0000"), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: SIM PUK2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN=87654321,2468"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"112\",129,\"Emergency\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"FD\",1,\"2468\""), "\r\nOK\r\n");
  EXPECT_EQ(at("ATD0301234;"), "\r\n+CME ERROR: 3\r\n") << "fixed dialling allows listed numbers only";
  EXPECT_EQ(at("AT+CPWD=\"P2\",\"2468\",\"1357\""), "\r\nOK\r\n");
}

TEST_F(SimSecurity, APhoneLockedToItsSimAsksForThePhoneCodeAfterPowerUp) {
  start();
  ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"PS\",1,\"1111\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CLCK=\"PS\",1,\"0000\""), "\r\nOK\r\n");
  modem().reboot();
  ASSERT_TRUE(client().readUntil("^SYSSTART\r\n").size());
  EXPECT_EQ(at("ATE0;+CPIN?"), "ATE0;+CPIN?\r\r\n+CPIN: PH-SIM PIN\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS?"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CPIN=0000"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
}

TEST_F(SimSecurity, CallBarringWorksPerClassBehindTheNetworkPassword) {
  start();
  ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",2"), "\r\n+CLCK: 0,7\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",1,\"1111\",1"), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",1,\"0000\",1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",2,\"\",1"), "\r\n+CLCK: 1,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",2,,2"), "\r\n+CLCK: 0,2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATD0301234;"), "\r\nNO CARRIER\r\n") << "all outgoing calls are barred";
  EXPECT_EQ(at("AT+CLCK=\"AB\",1,\"0000\""), "\r\n+CME ERROR: 3\r\n") << "AB only unlocks";
  EXPECT_EQ(at("AT+CLCK=\"AB\",0,\"0000\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"AO\",2"), "\r\n+CLCK: 0,7\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"OX\",1,\"0000\""), "\r\nOK\r\n");
  EXPECT_EQ(at("ATD+441234567;"), "\r\nNO CARRIER\r\n") << "abroad is barred";
  EXPECT_EQ(at("AT+CPWD=\"AB\",\"0000\",\"4321\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLCK=\"OX\",0,\"0000\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(at("AT+CLCK=\"OX\",0,\"4321\""), "\r\nOK\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
