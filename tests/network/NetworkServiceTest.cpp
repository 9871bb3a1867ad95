// The network service against the virtual phone, through the GenericPhone plug-in.
#include <gtest/gtest.h>

#include <memory>

#include "SimulatedPhone.h"
#include "services/CMxGsmNetwork.h"
#include "sim/OperatorTable.h"

using fonexa::OperatorEntry;
using fonexa::sim::ModemContext;
using fonexa::sim::Registration;
using fonexa::testing::SimulatedPhone;

class NetworkOnPhone : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<SimulatedPhone>("GenericPhone"); }
  static void TearDownTestSuite() { phone.reset(); }
  void TearDown() override {
    // Back to the home network, found automatically.
    network.SetAutomaticOperator();
    phone->modem->setRegistration(Registration::Home);
    phone->modem->update([](ModemContext& ctx) { ctx.settings.copsFormat = 0; });
  }

  static std::unique_ptr<SimulatedPhone> phone;
  CMxGsmNetwork network{&phone->session};
};

std::unique_ptr<SimulatedPhone> NetworkOnPhone::phone;

TEST_F(NetworkOnPhone, SignalAndRegistrationWithItsResultCode) {
  phone->modem->setSignal(17, 3);
  int rssi = 0;
  int ber = 0;
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 1);
  EXPECT_EQ(std::make_pair(rssi, ber), std::make_pair(17, 3));

  int n = -1;
  int stat = -1;
  EXPECT_EQ(network.GetRegistrationStatus(n, stat), 1);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(0, 1));
  EXPECT_EQ(network.EnableNetworkEvents(1), 1);
  EXPECT_EQ(network.GetRegistrationStatus(n, stat), 1);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(1, 1));
  const size_t out = phone->modem->transcript().size(fonexa::sim::Direction::Out);
  phone->modem->setRegistration(Registration::Roaming, "26202");
  ASSERT_TRUE(phone->modem->transcript().waitFor(fonexa::sim::Direction::Out, "\r\n+CREG: 5\r\n",
                                                 std::chrono::seconds(5), out));
  // A pty has no ring indicator to wake the event thread: the code waits on
  // the line, and the next dialogue passes over it.
  EXPECT_EQ(network.GetRegistrationStatus(n, stat), 1);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(1, 5));
  const size_t mark = phone->Mark();
  EXPECT_EQ(network.EnableNetworkEvents(0), 1);
  EXPECT_EQ(network.GetRegistrationStatus(n, stat), 1);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(0, 5));
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+CREG=0\rAT+CREG?\r");
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST_F(NetworkOnPhone, LocalOperatorsAsThePhoneSeesThem) {
  std::vector<OperatorEntry> list{{"stale", 1, 1, 1}};
  ASSERT_EQ(network.GetLocalOperatorEntries(list), 1);
  // The phone's default neighbourhood: home (current), two others, one forbidden.
  ASSERT_EQ(list.size(), 4u);
  const struct {
    const char* name;
    int code;
    int state;
  } expected[] = {{"T-Mobile D", 26201, 2}, {"Vodafone.de", 26202, 1}, {"E-Plus", 26203, 3}, {"o2 - de", 26207, 1}};
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].Name, expected[i].name);
    EXPECT_EQ(list[i].CodeNumber, expected[i].code) << list[i].Name;
    EXPECT_EQ(list[i].State, expected[i].state) << list[i].Name;
    EXPECT_EQ(list[i].Mode, -1);
  }
  // A second listing holds only what the second answer carries.
  phone->modem->update([](ModemContext& ctx) { ctx.network.visible = {{"23001", false}, {"99901", false}}; });
  ASSERT_EQ(network.GetLocalOperatorEntries(list), 1);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Name, "T-Mobile CZ");
  EXPECT_EQ(list[0].CodeNumber, 23001);
  EXPECT_EQ(list[1].Name, "");  // not in the phone's name table: listed by its code alone
  EXPECT_EQ(list[1].CodeNumber, 99901);
  phone->modem->update([](ModemContext& ctx) { ctx.network.visible.clear(); });
  EXPECT_EQ(network.GetLocalOperatorEntries(list), 1);
  EXPECT_TRUE(list.empty());
  phone->modem->update([](ModemContext& ctx) {
    ctx.network.visible = {{"26201", false}, {"26202", false}, {"26203", true}, {"26207", false}};
  });
}

TEST_F(NetworkOnPhone, CurrentOperatorInItsFormsAcrossSelections) {
  OperatorEntry entry;
  ASSERT_EQ(network.GetCurrentOperator(entry), 1);
  EXPECT_EQ(entry.Name, "T-Mobile D");
  EXPECT_EQ(entry.Mode, 0);
  EXPECT_EQ(entry.CodeNumber, -1);  // as passed in

  size_t mark = phone->Mark();
  EXPECT_EQ(network.SetManualOperator(0), 0);
  EXPECT_EQ(network.SetManualOperator(-26202), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
  EXPECT_EQ(network.SetManualOperator(26203), 0);  // forbidden: +CME ERROR
  EXPECT_EQ(network.SetManualOperator(26202), 1);
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+COPS=1,2,26203\rAT+COPS=1,2,26202\r");

  entry = OperatorEntry{};
  ASSERT_EQ(network.GetCurrentOperator(entry), 1);  // the numeric format of the selection stays
  EXPECT_EQ(entry.CodeNumber, 26202);
  EXPECT_EQ(entry.Mode, 1);
  EXPECT_EQ(entry.Name, "");

  phone->modem->update([](ModemContext& ctx) { ctx.settings.copsFormat = 1; });
  ASSERT_EQ(network.GetCurrentOperator(entry), 1);
  EXPECT_EQ(entry.Name, "voda DE");

  mark = phone->Mark();
  EXPECT_EQ(network.SetAutomaticOperator(), 1);
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+COPS=0\r");
  phone->modem->setRegistration(Registration::NotRegistered);
  entry = OperatorEntry{};
  ASSERT_EQ(network.GetCurrentOperator(entry), 1);
  EXPECT_EQ(entry.Mode, 0);
  EXPECT_EQ(entry.CodeNumber, -1);
  EXPECT_EQ(entry.Name, "");
}

TEST_F(NetworkOnPhone, WorldWideListThenTheModuleReset) {
  // The reset brings back the phone's stored profile (echo on); the session
  // switches echo off and error codes on again, so the next dialogue works.
  const size_t mark = phone->Mark();
  std::vector<OperatorEntry> list;
  ASSERT_EQ(network.GetWorldWideOperatorEntries(list), 1);
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+COPN\rATZ\rATE0\rAT+CMEE=2\r");
  const auto& known = fonexa::sim::knownOperators();
  ASSERT_EQ(list.size(), known.size());
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].Name, known[i].longName);
    EXPECT_EQ(list[i].CodeNumber, std::stoi(known[i].numeric));
    EXPECT_EQ(list[i].State, -1);
  }
  int rssi = 0;
  int ber = 0;
  EXPECT_EQ(network.GetSignalQuality(rssi, ber), 1);  // the session goes on after the reset
}
