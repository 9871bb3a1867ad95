#include <gtest/gtest.h>

#include <cstring>

#include "InstanceFixture.h"
#include "fonexa/IMxGsmHandler.h"

using fonexa::sim::ModemOptions;
using fonexa::testing::InstanceTest;
using fonexa::testing::WindowInbox;

namespace {

class ModuleStateHandler : public IMxGsmHandler {
 public:
  int OnEvent(uint32_t id, const std::string&, uint32_t value) override {
    events.push_back({id, value});
    return 1;
  }
  std::vector<std::pair<uint32_t, uint32_t>> events;
};

}  // namespace

TEST(InstanceExports, NullHandleFailsEverywhere) {
  char text[64] = "untouched";
  int value = 7;
  EXPECT_EQ(ReleaseGsm(nullptr) != 0, true);  // sets the stop event, nothing else
  EXPECT_EQ(Initialize(nullptr, "GenericPhone@/dev/null"), 0);
  EXPECT_EQ(SwitchOn(nullptr), 0);
  EXPECT_EQ(SwitchOff(nullptr), 0);
  EXPECT_EQ(IsModuleOn(nullptr), 0);
  EXPECT_EQ(GetState(nullptr, 1), 0);
  EXPECT_EQ(Attach(nullptr, "x", 10), 0);
  EXPECT_EQ(Detach(nullptr), 0);
  EXPECT_EQ(GetManufacturer(nullptr, text), 0);
  EXPECT_EQ(GetModel(nullptr, text), 0);
  EXPECT_EQ(GetImei(nullptr, text), 0);
  EXPECT_EQ(GetTime(nullptr, text), 0);
  EXPECT_EQ(SetTime(nullptr, "24/01/01,00:00:00+00"), 0);
  EXPECT_EQ(GetSimId(nullptr, text), 0);
  EXPECT_EQ(SendCustomAtCommand(nullptr, "AT\r", text), 0);
  EXPECT_EQ(RestoreFactorySettings(nullptr), 0);
  EXPECT_EQ(RunDiagnostics(nullptr, "/tmp/x"), 0);
  EXPECT_EQ(Clear(nullptr), 0);
  EXPECT_EQ(FlushComBuffers(nullptr), 0);
  EXPECT_EQ(GetSimPresence(nullptr, &value), 0);
  EXPECT_EQ(GetVerifyStatus(nullptr), 0);
  EXPECT_EQ(RegisterEventHandler(nullptr, 0x80, nullptr), 0u);
  EXPECT_EQ(RegisterEventHandlerHwnd(nullptr, 0x80, nullptr), 0u);
  EXPECT_EQ(UnregisterEventHandler(nullptr, 1), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(value, 7);
}

TEST_F(InstanceTest, BeforeInitializeEveryPhoneExportFailsAndSendsNothing) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_NE(h, nullptr);
  char text[64] = "untouched";
  EXPECT_EQ(GetManufacturer(h, text), 0);
  EXPECT_EQ(GetVerifyStatus(h), 0);
  EXPECT_EQ(SendCustomAtCommand(h, "AT\r", text), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(GetState(h, 1), 0);  // no device yet: not powered
  for (int query = 2; query <= 4; ++query) EXPECT_EQ(GetState(h, query), 0);
  EXPECT_EQ(Received(), 0u);
}

TEST_F(InstanceTest, ReadySimReachesStateReady) {
  StartModem();
  h = CreateGsmInstance();
  ModuleStateHandler early;
  RegisterEventHandler(h, 0x1000, &early);
  ASSERT_EQ(early.events.size(), 1u);
  EXPECT_EQ(early.events[0], std::make_pair(0x1000u, 0u));  // told the state at once
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  EXPECT_EQ(GetState(h, 1), 1);
  EXPECT_EQ(GetState(h, 2), 1);
  EXPECT_EQ(GetState(h, 3), 1);
  EXPECT_EQ(GetState(h, 4), 1);
  EXPECT_EQ(early.events.back(), std::make_pair(0x1000u, 1u));
  char text[FONEXA_IDENTITY_SIZE];
  EXPECT_EQ(GetManufacturer(h, text), 1);
  EXPECT_STREQ(text, "Fonexa\r\n");
  EXPECT_EQ(GetVerifyStatus(h), 1);
  // The ready module was set up: network events on, messages routed.
  const std::string sent = modem->transcript().text(fonexa::sim::Direction::In);
  EXPECT_NE(sent.find("AT+CREG=1\r"), std::string::npos);
  EXPECT_NE(sent.find("AT+CNMI=1,2\r"), std::string::npos);
  ModuleStateHandler late;
  RegisterEventHandler(h, 0x1000, &late);
  ASSERT_EQ(late.events.size(), 1u);
  EXPECT_EQ(late.events[0].second, 1u);
}

TEST_F(InstanceTest, SimWaitingForItsPinLeavesTheInstanceInitialized) {
  ModemOptions options;
  options.pinRequired = true;
  StartModem(options);
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  EXPECT_EQ(GetState(h, 3), 0);
  EXPECT_EQ(GetState(h, 4), 0);
  EXPECT_EQ(GetVerifyStatus(h), 2);  // exports work in state 2
  char text[FONEXA_IDENTITY_SIZE];
  EXPECT_EQ(GetModel(h, text), 1);
  const std::string sent = modem->transcript().text(fonexa::sim::Direction::In);
  EXPECT_EQ(sent.find("AT+CNMI=1,2\r"), std::string::npos);  // not brought up
}

TEST_F(InstanceTest, SwitchOffRefusesExportsAndSwitchOnBringsTheModuleBack) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  ModuleStateHandler handler;
  RegisterEventHandler(h, 0x1000, &handler);
  EXPECT_EQ(SwitchOff(h), 1);
  EXPECT_EQ(handler.events.back(), std::make_pair(0x1000u, 0u));
  EXPECT_EQ(GetState(h, 4), 0);
  char text[FONEXA_IDENTITY_SIZE] = "untouched";
  const size_t before = Received();
  EXPECT_EQ(GetManufacturer(h, text), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(Received(), before);
  EXPECT_EQ(SwitchOn(h), 1);
  EXPECT_EQ(GetState(h, 4), 1);
  EXPECT_EQ(GetManufacturer(h, text), 1);
  EXPECT_EQ(SwitchOn(h), 1);  // already on: nothing re-initialised
}

TEST_F(InstanceTest, ReleaseTwiceAnswersZeroUntilANewInstance) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  EXPECT_NE(ReleaseGsm(h), 0);
  EXPECT_EQ(ReleaseGsm(h), 0);  // the handle is not touched again
  EXPECT_EQ(ReleaseGsm(nullptr), 0);
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  EXPECT_NE(ReleaseGsm(h), 0);
  h = nullptr;
}

TEST_F(InstanceTest, WindowRegisteredWhileReadyHearsReadyTwice) {
  StartModem();
  h = CreateGsmInstance();
  WindowInbox before, after;
  MxWindow early = MxCreateWindow(&WindowInbox::Procedure, &before);
  RegisterEventHandlerHwnd(h, 0x1000, early);
  ASSERT_EQ(before.messages.size(), 1u);
  EXPECT_EQ(before.messages[0].lParam, 0);
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  MxWindow late = MxCreateWindow(&WindowInbox::Procedure, &after);
  const uint32_t id = RegisterEventHandlerHwnd(h, 0x1000, late);
  ASSERT_EQ(after.messages.size(), 2u);
  for (const auto& m : after.messages) {
    EXPECT_EQ(m.message, 1297u);
    EXPECT_EQ(m.wParam, 0x1000u);
    EXPECT_EQ(m.lParam, 1);
  }
  EXPECT_EQ(UnregisterEventHandler(h, id), 1);
  ReleaseGsm(h);
  h = nullptr;
  MxDestroyWindow(early);
  MxDestroyWindow(late);
}

TEST_F(InstanceTest, InitializeFailures) {
  StartModem();
  h = CreateGsmInstance();
  EXPECT_EQ(Initialize(h, "NoSuchPhone@/dev/null"), 0);
  EXPECT_EQ(Initialize(h, nullptr), 0);
  modem->setSilent(true);
  EXPECT_EQ(Initialize(h, Spec().c_str()), 0);
  EXPECT_EQ(GetState(h, 2), 0);  // still Created
  modem->setSilent(false);
  EXPECT_EQ(Initialize(h, Spec().c_str()), 1);  // a later Initialize starts over
}
