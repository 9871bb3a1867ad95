// The session against the virtual modem, through each plug-in and its matching
// phone profile.
#include <gtest/gtest.h>

#include "SessionFixture.h"
#include "fonexa/CMxComPort.h"
#include "sim/VirtualModem.h"
#include "services/CMxGsmProtection.h"

using fonexa::sim::ModemOptions;
using fonexa::sim::SimState;
using fonexa::sim::VirtualModem;
using fonexa::testing::RecordingHandler;

namespace {

struct ProfileCase {
  const char* plugin;
  const char* profile;
  const char* manufacturer;
  const char* smsSetup;
};

const ProfileCase kProfiles[] = {
    {"GenericPhone", "generic", "Fonexa\r\n", "AT+CNMI=1,2\r"},
    {"MotorolaPhone", "motorola", nullptr, "AT+CNMI=3,2\r"},
    {"EricssonPhone", "ericsson", "ERICSSON\r\n", "AT+CNMI=2,3\r"},
    {"NokiaPhone", "nokia", "Nokia\r\n", "AT+CNMI=2,3\r"},
};

std::unique_ptr<VirtualModem> StartModem(ModemOptions options) {
  auto modem = std::make_unique<VirtualModem>(std::move(options));
  std::string error;
  EXPECT_TRUE(modem->start(&error)) << error;
  return modem;
}

}  // namespace

class ModemProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ModemProfile, ComesUpAndIdentifiesItself) {
  ModemOptions options;
  options.profile = GetParam().profile;
  auto modem = StartModem(options);
  CMxGsmBasics session;
  ASSERT_EQ(session.Create(std::string(GetParam().plugin) + "@" + modem->devicePath() + "@115200"), 1);
  ASSERT_EQ(session.Initialize(), 1);
  std::string text;
  EXPECT_EQ(session.GetManufacturer(text), 1);
  if (GetParam().manufacturer) {
    EXPECT_EQ(text, GetParam().manufacturer);
  }
  EXPECT_EQ(session.GetModel(text), 1);
  EXPECT_EQ(session.GetProductSerialID(text), 1);
  EXPECT_GT(text.size(), 2u);
  EXPECT_EQ(session.GetTime(text), 1);
  EXPECT_EQ(text.size(), 20u) << text;  // yy/MM/dd,hh:mm:ss+zz
  session.GetDevice()->Initialize();
  const size_t before = modem->transcript().size(fonexa::sim::Direction::In);
  EXPECT_EQ(session.GetDevice()->SetupSms(), 1);  // the phone accepts its maker's routing
  EXPECT_NE(modem->transcript().text(fonexa::sim::Direction::In).find(GetParam().smsSetup, before),
            std::string::npos);
  EXPECT_EQ(CMxGsmProtection(&session).GetVerifyStatus(), 1);
  EXPECT_EQ(session.SwitchModulePower(0), 1);
}

INSTANTIATE_TEST_SUITE_P(AllPlugins, ModemProfile, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return std::string(info.param.plugin); });

TEST(ModemSession, SimStatesAsThePhoneReportsThem) {
  ModemOptions options;
  options.pinRequired = true;
  auto modem = StartModem(options);
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone@" + modem->devicePath()), 1);
  ASSERT_EQ(session.Initialize(), 1);
  CMxGsmProtection protection(&session);
  EXPECT_EQ(protection.GetVerifyStatus(), 2);
  modem->setSimState(SimState::PukRequired);
  EXPECT_EQ(protection.GetVerifyStatus(), 3);
  modem->setSimState(SimState::PhoneCodeRequired);
  EXPECT_EQ(protection.GetVerifyStatus(), 6);
  modem->setSimState(SimState::Absent);
  EXPECT_EQ(protection.GetVerifyStatus(), -1);  // +CME ERROR: SIM not inserted
  modem->setSimState(SimState::Ready);
  EXPECT_EQ(protection.GetVerifyStatus(), 1);
}

TEST(ModemSession, DirectlyDeliveredMessageIsAcknowledgedOnDetach) {
  auto modem = StartModem({});
  CMxGsmBasics session;
  RecordingHandler handler;
  session.RegisterEvent(0x80000000u, &handler);
  ASSERT_EQ(session.Create("NokiaPhone@" + modem->devicePath()), 1);
  ASSERT_EQ(session.Initialize(), 1);
  ASSERT_EQ(session.Attach("test", 10000), 1);
  // Class 2 excepted, messages go straight to the terminal with mt=2.
  session.WriteCommandString("AT+CNMI=2,2\r", 3000);
  ASSERT_TRUE(session.IsOk(session.ReadAnswerString(3000, 0)));
  modem->injectSms("+420777123456", "Meet at noon");
  ASSERT_TRUE(modem->transcript().waitFor(fonexa::sim::Direction::Out, "+CMT:", std::chrono::seconds(5)));
  EXPECT_EQ(session.SendTestCommand(), 1);  // the code before the answer is taken out of it
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].id, 0x80000000u);
  EXPECT_GT(handler.events[0].value, 20u);  // the PDU's length in octets
  EXPECT_EQ(session.IsAcknowledgePending(), 1);
  const size_t before = modem->transcript().size(fonexa::sim::Direction::In);
  EXPECT_EQ(session.Detach(), 1);
  EXPECT_TRUE(modem->transcript().waitFor(fonexa::sim::Direction::In, "AT+CNMA=0\r", std::chrono::seconds(5), before))
      << modem->transcript().render();
  EXPECT_EQ(session.SendTestCommand(), 1);  // the phone took the acknowledgement
  EXPECT_EQ(session.IsAcknowledgePending(), 0);
}

TEST(ModemSession, HangUpEndsTheDialogueWithoutHanging) {
  auto modem = StartModem({});
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone@" + modem->devicePath()), 1);
  ASSERT_EQ(session.Initialize(), 1);
  EXPECT_EQ(session.SendTestCommand(), 1);
  modem->hangUp();
  EXPECT_EQ(session.SendTestCommand(), 0);
  std::string text;
  EXPECT_EQ(session.GetManufacturer(text), 0);
  EXPECT_EQ(session.GetDevice()->GetComPort()->GetLastError(), 3);
}
