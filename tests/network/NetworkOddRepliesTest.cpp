// The network service on exact bytes: incomplete and failing answers, a phone
// that falls silent in a listing, the trace of an exchange, and the session's
// open count on every way out.
#include <gtest/gtest.h>

#include <memory>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmNetwork.h"

using fonexa::OperatorEntry;
using fonexa::testing::LogCapture;
using fonexa::testing::ScriptedModem;
using fonexa::testing::ScriptedPhone;

class NetworkOddReplies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<ScriptedPhone>(); }
  static void TearDownTestSuite() { phone.reset(); }
  static std::unique_ptr<ScriptedPhone> phone;
  ScriptedModem& modem = phone->modem;
  CMxGsmNetwork network{&phone->session};
};

std::unique_ptr<ScriptedPhone> NetworkOddReplies::phone;

TEST_F(NetworkOddReplies, SignalQualityFailuresKeepWhatWasRead) {
  LogCapture logs;
  int rssi = 0;
  int ber = 0;
  modem.On("AT+CSQ", "\r\n+CSQ: 17\r\n");
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 0);
  EXPECT_EQ(std::make_pair(rssi, ber), std::make_pair(-1, -1));
  modem.On("AT+CSQ", "\r\n+CME ERROR: 100\r\n");
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 0);
  modem.On("AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nERROR\r\n");
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 0);
  EXPECT_EQ(std::make_pair(rssi, ber), std::make_pair(17, 99));
  const std::string trace = logs.Trace();
  for (const char* reason : {"ERROR:Wrong Tokenizing:2.", "ERROR:Wrong Response.", "ERROR:Wrong Response 3."}) {
    EXPECT_NE(trace.find(std::string("<--CMxGsmNetwork::GetSignalQuality>>") + reason + "\r\n"), std::string::npos)
        << reason;
  }
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST_F(NetworkOddReplies, OneExchangeAsTraced) {
  LogCapture logs;
  modem.On("AT+CREG?", "\r\n+CREG: 1,5\r\n\r\nOK\r\n");
  int n = 0;
  int stat = 0;
  EXPECT_EQ(network.GetRegistrationStatus(n, stat), 1);
  EXPECT_EQ(logs.Trace(),
            "\r\n-->CMxGsmNetwork::GetRegistrationStatus\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>Send:[AT+CREG?\r].\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>Echo:[AT+CREG?\r].\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>Response 1:[\r\n].\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>Response 2:[+CREG: 1,5\r\n].\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>End Tokenizing[1,5].\r\n"
            "CMxGsmNetwork::GetRegistrationStatus>>Response 3:[OK\r\n].\r\n"
            "<--CMxGsmNetwork::GetRegistrationStatus>>OK.\r\n");
}

TEST_F(NetworkOddReplies, ManualSelectionWaitsForThePhoneToRegister) {
  // Longer than any local command takes: the phone answers once registered.
  modem.On("AT+COPS=1,2,23001", "\r\nOK\r\n");
  modem.SetAnswerDelayMs(3500);
  const int selected = network.SetManualOperator(23001);
  modem.SetAnswerDelayMs(0);
  EXPECT_EQ(selected, 1);
  modem.On("AT+CSQ", "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
  int rssi = 0;
  int ber = 0;
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 1);  // no late answer left on the line
}

TEST_F(NetworkOddReplies, ListingsThatFailPartWayKeepWhatCame) {
  std::vector<OperatorEntry> list;
  // Silence after two names: the 3 s line time-out ends the listing.
  modem.On("AT+COPN", "\r\n+COPN: \"23001\",\"Op A\"\r\n+COPN: \"23002\",\"Op B\"\r\n");
  EXPECT_EQ(network.GetWorldWideOperatorEntries(list), 0);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Name, "Op B");
  EXPECT_EQ(list[1].CodeNumber, 23002);
  modem.On("AT+COPN", "\r\n+COPN: \"23001\",\"Op A\"\r\n+COPN: \"23002\"\r\n");
  EXPECT_EQ(network.GetWorldWideOperatorEntries(list), 0);  // Wrong Tokenizing:2
  EXPECT_EQ(list.size(), 1u);
  modem.On("AT+COPN", "\r\n+COPN: \"22288\",\"I WIND\"\r\n+COPN: \"99999\",\"ERROR-NET\"\r\n\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(network.GetWorldWideOperatorEntries(list), 0);
  ASSERT_EQ(list.size(), 2u);  // a name with ERROR in it is still a name
  EXPECT_EQ(list[1].Name, "ERROR-NET");
  modem.On("AT+COPS=?", "\r\n+COPS: (2,\"Op A\",\"\",\"23001\"),,(0-4),(0,2)\r\n\r\nERROR\r\n");
  EXPECT_EQ(network.GetLocalOperatorEntries(list), 0);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST(NetworkSessionDiscipline, EveryWayOutLeavesTheOpenCountAsItWas) {
  ScriptedPhone phone;
  CMxGsmNetwork network(&phone.session);
  std::vector<OperatorEntry> list;
  OperatorEntry entry;
  int a = 0;
  int b = 0;
  const struct {
    const char* command;
    const char* good;
    const char* bad;  // a failure after the blank line, nothing left unread
  } kAnswers[] = {
      {"AT+CSQ", "\r\n+CSQ: 21,99\r\n\r\nOK\r\n", "\r\n+CSQ: 17\r\n"},
      {"AT+COPN", "\r\n+COPN: \"23001\",\"Op A\"\r\n\r\nOK\r\n", "\r\n+COPN: \"23001\"\r\n"},
      {"AT+COPS=?", "\r\n+COPS: (2,\"Op A\",\"\",\"23001\"),,(0-4),(0,2)\r\n\r\nOK\r\n",
       "\r\n+COPS: ,,(0-4),(0,2)\r\n\r\nERROR\r\n"},
      {"AT+COPS?", "\r\n+COPS: 0,0,\"Op A\"\r\n\r\nOK\r\n", "\r\n+COPS: 0\r\n\r\n+CME ERROR: 30\r\n"},
      {"AT+COPS=0", "\r\nOK\r\n", "\r\nERROR\r\n"},
      {"AT+COPS=1,2,23001", "\r\nOK\r\n", "\r\n+CME ERROR: 30\r\n"},
      {"AT+CREG=1", "\r\nOK\r\n", "\r\nERROR\r\n"},
      {"AT+CREG?", "\r\n+CREG: 1,5\r\n\r\nOK\r\n", "\r\n+CREG: 1,5\r\n\r\nERROR\r\n"},
  };
  for (int pass = 0; pass < 3; ++pass) {
    for (const auto& row : kAnswers) phone.modem.On(row.command, pass == 0 ? row.good : pass == 1 ? row.bad : "junk\r\n");
    const int results[] = {network.GetSignalQuality(a, b),     network.GetWorldWideOperatorEntries(list),
                           network.GetLocalOperatorEntries(list), network.GetCurrentOperator(entry),
                           network.SetAutomaticOperator(),       network.SetManualOperator(23001),
                           network.EnableNetworkEvents(1),        network.GetRegistrationStatus(a, b)};
    for (int result : results) EXPECT_EQ(result, pass == 0 ? 1 : 0) << "pass " << pass;
    ASSERT_EQ(phone.session.IsOpened(), 1) << "pass " << pass;
  }
  // One Close takes the count from 1 to 0: nothing was left open on the way.
  EXPECT_EQ(phone.session.Close(), 1);
  EXPECT_EQ(phone.session.IsOpened(), 0);
  // On a closed session an operation opens the port for itself, and closes it.
  phone.modem.On("AT+CSQ", "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
  EXPECT_EQ(network.GetSignalQuality(a, b), 1);
  EXPECT_EQ(a, 21);
  EXPECT_EQ(phone.session.IsOpened(), 0);

  LogCapture logs;
  CMxGsmBasics unplugged;
  ASSERT_EQ(unplugged.Create("GenericPhone@/dev/no-such-modem"), 1);
  EXPECT_EQ(CMxGsmNetwork(&unplugged).GetCurrentOperator(entry), 0);
  EXPECT_NE(logs.Trace().find("<--CMxGsmNetwork::GetCurrentOperator>>ERROR:Can't open the port.\r\n"),
            std::string::npos);
  EXPECT_EQ(CMxGsmNetwork(nullptr).GetSignalQuality(a, b), 0);
}

// Networks in reach as real phones list them (captures from ModemManager's
// test data, see tests/replies/README.md): without the supported lists, broken
// over two lines, and one "+COPS:" line per operator.
TEST(OperatorListReplies, RealPhonesListTheirNetworksTheirOwnWay) {
  struct Case {
    const char* phone;
    const char* answer;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"BUSlink SCWi275u (Motorola C-series)",
       "\r\n+COPS: (2,\"T-Mobile\",\"\",\"310260\"),(0,\"Cingular Wireless\",\"\",\"310410\")\r\n\r\nOK\r\n",
       {310260, 310410}},
      {"ZTE MF622, broken after a comma",
       "\r\n+COPS: (2,\"T-Mobile\",\"T-Mobile\",\"31026\",0),(1,\"\",\"\",\"310410\",0),\r\n,(0,1,3),(0-2)\r\n\r\nOK\r\n",
       {31026, 310410}},
      {"Sierra AC881, one line per operator",
       "\r\n+COPS: (0,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",2)\r\n"
       "+COPS: (1,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",0)\r\n+COPS: (1,\"T-Mobile\",\"TMO\",\"31026\",0)\r\n"
       "\r\nOK\r\n",
       {310410, 310410, 31026}},
  };
  fonexa::testing::ScriptedPhone phone;
  for (const Case& c : cases) {
    phone.modem.On("AT+COPS=?", c.answer);
    std::vector<fonexa::OperatorEntry> list;
    ASSERT_EQ(CMxGsmNetwork(&phone.session).GetLocalOperatorEntries(list), 1) << c.phone;
    std::vector<int> codes;
    for (const auto& entry : list) codes.push_back(entry.CodeNumber);
    EXPECT_EQ(codes, c.codes) << c.phone;
    // The line is in step afterwards.
    int rssi = -1, ber = -1;
    phone.modem.On("AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    EXPECT_EQ(CMxGsmNetwork(&phone.session).GetSignalQuality(rssi, ber), 1) << c.phone;
    EXPECT_EQ(rssi, 17);
  }
}
