#include <gtest/gtest.h>

#include "SessionFixture.h"

using fonexa::testing::SessionTest;

namespace {

struct PluginCase {
  const char* plugin;
  const char* smsSetup;
  const char* storage2;
  const char* storage5;
};

const PluginCase kPlugins[] = {
    {"GenericPhone", "AT+CNMI=1,2", "LD", "ON"},
    {"MotorolaPhone", "AT+CNMI=3,2", "DC", "ON"},
    {"EricssonPhone", "AT+CNMI=3,3", "DC", ""},  // with a model outside the 1130202 family
    {"NokiaPhone", "AT+CNMI=2,3", "DC", "ON"},
};

}  // namespace

class PluginProfile : public SessionTest, public ::testing::WithParamInterface<PluginCase> {};

TEST_P(PluginProfile, SetsUpMessagesWithItsOwnCommand) {
  Start(GetParam().plugin);
  modem.On("AT+CGMM", "\r\nT68\r\n\r\nOK\r\n");
  session.GetDevice()->Initialize();
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"AT+CGMI", "AT+CGMM", "AT+CNMI=?"}));
  modem.ClearCommands();
  EXPECT_EQ(session.GetDevice()->SetupSms(), 1);
  EXPECT_EQ(modem.Commands(), std::vector<std::string>{GetParam().smsSetup});
}

TEST_P(PluginProfile, NamesItsStorages) {
  CMxGsmBasics session;
  ASSERT_EQ(session.Create(GetParam().plugin), 1);
  CMxGsmDevice* device = session.GetDevice();
  EXPECT_EQ(device->GetPBStorageIdentifier(0), "SM");
  EXPECT_EQ(device->GetPBStorageIdentifier(2), GetParam().storage2);
  EXPECT_EQ(device->GetPBStorageIdentifier(5), GetParam().storage5);
  EXPECT_EQ(device->GetPBStorageIdentifier(6), "ME");
  EXPECT_EQ(device->GetPBStorageIdentifier(7), "");
  EXPECT_EQ(device->GetPBStorageIdentifier(-1), "");
  // The name-to-number direction is the common one everywhere.
  EXPECT_EQ(device->GetPBStorageIdentifier(std::string("DC")), 2);
  EXPECT_EQ(device->GetPBStorageIdentifier(std::string("OW")), 5);
  EXPECT_EQ(device->GetPBStorageIdentifier(std::string("MT")), 6);
  EXPECT_EQ(device->GetPBStorageIdentifier(std::string("sm")), -1);
}

TEST_P(PluginProfile, BaseAnswersWhereNotOverridden) {
  CMxGsmBasics session;
  ASSERT_EQ(session.Create(GetParam().plugin), 1);
  CMxGsmDevice* device = session.GetDevice();
  char out[8] = "keep";
  EXPECT_EQ(device->GetSimId(out), 0);
  EXPECT_EQ(device->GetLastCallDuration(out), 0);
  EXPECT_STREQ(out, "keep");
  EXPECT_EQ(device->GetPinCounter(), -1);
  EXPECT_EQ(device->SetupGsmAudio(), 1);
  EXPECT_EQ(device->SetupSms(), 0);  // the session is not open
}

INSTANTIATE_TEST_SUITE_P(AllPlugins, PluginProfile, ::testing::ValuesIn(kPlugins),
                         [](const auto& info) { return std::string(info.param.plugin); });

TEST_F(SessionTest, EricssonChoosesTheRoutingByModel) {
  Start("EricssonPhone");
  const struct {
    const char* model;
    const char* command;
  } cases[] = {
      {"1130202-BV", "AT+CNMI=2,3"},
      {"1130202 1130602", "AT+CNMI=3,3"},  // the later revision
      {"X1130202", "AT+CNMI=3,3"},         // the family number not at the start
      {"", "AT+CNMI=3,3"},
  };
  for (const auto& c : cases) {
    modem.On("AT+CGMM", std::string("\r\n") + c.model + "\r\n\r\nOK\r\n");
    session.GetDevice()->Initialize();
    modem.ClearCommands();
    EXPECT_EQ(session.GetDevice()->SetupSms(), 1);
    EXPECT_EQ(modem.Commands(), std::vector<std::string>{c.command}) << c.model;
  }
}

TEST_F(SessionTest, MotorolaAsksThePinStateForSimPresence) {
  Start("MotorolaPhone");
  int present = -1;
  modem.On("AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nOK\r\n");
  EXPECT_EQ(session.GetDevice()->GetSimPresence(present), 1);
  EXPECT_EQ(present, 1);
  modem.On("AT+CPIN?", "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(session.GetDevice()->GetSimPresence(present), 1);
  EXPECT_EQ(present, 0);
  EXPECT_EQ(session.SendTestCommand(), 1);  // nothing left over on the line
}

TEST_F(SessionTest, OtherPluginsAlwaysReportASim) {
  Start("NokiaPhone");
  int present = 0;
  EXPECT_EQ(session.GetDevice()->GetSimPresence(present), 1);
  EXPECT_EQ(present, 1);
  EXPECT_EQ(modem.Commands(), std::vector<std::string>{});
}
