// Registration, operator selection and signal through the AT interface.
#include <algorithm>

#include "ModemFixture.h"

namespace fonexa::sim::test {
namespace {

class Network : public ModemTest {};

TEST_F(Network, ReportsRegistrationChangesWhenAskedTo) {
  start();
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG=1"), "\r\nOK\r\n");
  modem().setRegistration(Registration::Roaming, "26202");
  EXPECT_EQ(client().readUntil("\r\n+CREG: 5\r\n"), "\r\n+CREG: 5\r\n");
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 1,5\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 2,5,\"00C3\",\"1A2B\"\r\n\r\nOK\r\n");
  modem().setRegistration(Registration::Searching);
  EXPECT_EQ(client().readUntil("\r\n+CREG: 2\r\n"), "\r\n+CREG: 2\r\n");
  EXPECT_EQ(at("AT+CREG=0"), "\r\nOK\r\n");
  modem().setRegistration(Registration::Home);
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n") << "no code was sent while switched off";
}

TEST_F(Network, TheSimPinStartsTheSearchForTheNetwork) {
  ModemOptions o = quickOptions();
  o.pinRequired = true;
  start(o);
  EXPECT_EQ(at("AT+CREG=1;+CREG?"), "\r\n+CREG: 1,0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS?"), "\r\n+COPS: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPIN=1234"), "\r\nOK\r\n");
  EXPECT_EQ(client().readUntil("\r\n+CREG: 1\r\n"), "\r\n+CREG: 2\r\n\r\n+CREG: 1\r\n");
  EXPECT_EQ(at("AT+COPS?"), "\r\n+COPS: 0,0,\"T-Mobile D\"\r\n\r\nOK\r\n");
}

TEST_F(Network, TheNetworkKeepsMessagesUntilThePhoneIsRegistered) {
  ModemOptions o = quickOptions();
  o.pinRequired = true;
  start(o);
  const auto outcome = modem().injectSms("+4917012345", "waiting for you");
  ASSERT_EQ(outcome.size(), 1u);
  EXPECT_EQ(outcome[0].route, "queued");
  EXPECT_EQ(at("AT+CPIN=1234"), "\r\nOK\r\n");
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",1\r\n"), "\r\n+CMTI: \"SM\",1\r\n");
  modem().setRegistration(Registration::Searching);
  EXPECT_EQ(modem().injectSms("+4917012345", "later")[0].route, "queued");
  modem().setRegistration(Registration::Home);
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",2\r\n"), "\r\n+CMTI: \"SM\",2\r\n");
}

TEST_F(Network, SelectsOperatorsByHandAndByItself) {
  start();
  ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS=3,2;+COPS?"), "\r\n+COPS: 0,2,\"26201\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS=1,2,26202"), "\r\nOK\r\n") << "a bare numeric code is taken as phones take it";
  EXPECT_EQ(at("AT+COPS?;+CREG?"), "\r\n+COPS: 1,2,\"26202\"\r\n\r\n+CREG: 0,5\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS=1,0,\"o2 - de\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS?"), "\r\n+COPS: 1,0,\"o2 - de\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS=1,2,\"26203\""), "\r\n+CME ERROR: 32\r\n") << "a forbidden network";
  EXPECT_EQ(at("AT+COPS=1,2,\"99999\""), "\r\n+CME ERROR: 30\r\n") << "a network out of reach";
  EXPECT_EQ(at("AT+COPS=4,2,\"99999\""), "\r\nOK\r\n") << "manual/automatic falls back to automatic";
  EXPECT_EQ(at("AT+COPS=0;+COPS=3,1;+COPS?"), "\r\n+COPS: 0,1,\"TMO D\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+COPS=2;+CREG?"), "\r\n+CREG: 0,0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATD0301234;"), "\r\nNO DIALTONE\r\n");
}

TEST_F(Network, ListsTheNetworksInReachAndTheOperatorsItKnows) {
  start();
  EXPECT_EQ(at("AT+COPS=?"),
            "\r\n+COPS: (2,\"T-Mobile D\",\"TMO D\",\"26201\",0),(1,\"Vodafone.de\",\"voda DE\",\"26202\",0),"
            "(3,\"E-Plus\",\"E-Plus\",\"26203\",0),(1,\"o2 - de\",\"o2 - de\",\"26207\",0),,(0,1,2,3,4),(0,1,2)\r\n"
            "\r\nOK\r\n");
  const auto operators = infoLines(at("AT+COPN"));
  EXPECT_GT(operators.size(), 50u);
  EXPECT_NE(std::find(operators.begin(), operators.end(), "+COPN: \"26201\",\"T-Mobile D\""), operators.end());
}

TEST_F(Network, AScanIsAbortedByACharacter) {
  start();
  modem().update([](ModemContext& ctx) { ctx.networkScanTime = std::chrono::seconds(60); });
  sendAndSettle("AT+COPS=?");
  client().write("x");
  EXPECT_EQ(client().readUntil("OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
}

TEST_F(Network, SignalQualityFollowsTheControlSurface) {
  start();
  modem().setSignal(5, 3);
  EXPECT_EQ(at("AT+CSQ"), "\r\n+CSQ: 5,3\r\n\r\nOK\r\n");
  modem().setSignal(99, 99);
  EXPECT_EQ(at("AT+CSQ"), "\r\n+CSQ: 99,99\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
