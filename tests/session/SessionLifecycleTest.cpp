#include <gtest/gtest.h>

#include "SessionFixture.h"
#include "fonexa/CMxComPort.h"

using fonexa::testing::LogCapture;
using fonexa::testing::ScriptedModem;
using fonexa::testing::SessionTest;

TEST(SessionCreate, MissingPluginLeavesNothingLoaded) {
  LogCapture logs;
  CMxGsmBasics session;
  EXPECT_EQ(session.Create("NoSuchPhone@/dev/null"), 0);
  EXPECT_EQ(session.GetDevice(), nullptr);
  EXPECT_EQ(logs.Trace(),
            "\r\n-->CMxGsmBasics::Create[NoSuchPhone@/dev/null]\r\n"
            "\r\n-->CMxGsmBasics::LoadDevice[NoSuchPhone.dll]\r\n"
            "<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't open device DLL.\r\n");
}

TEST(SessionCreate, PluginWithoutItsExportOrDeviceIsUnloaded) {
  LogCapture logs;
  CMxGsmBasics session;
  EXPECT_EQ(session.Create(BROKEN_PLUGIN_DIR "/NoFactoryPhone@/dev/null"), 0);
  EXPECT_EQ(session.GetDevice(), nullptr);
  EXPECT_NE(logs.Trace().find("<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't find method."), std::string::npos);
  EXPECT_EQ(session.Create(BROKEN_PLUGIN_DIR "/NullDevicePhone"), 0);
  EXPECT_EQ(session.GetDevice(), nullptr);
  EXPECT_NE(logs.Trace().find("<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't get device."), std::string::npos);
  EXPECT_EQ(session.Initialize(), 0);  // nothing to initialise
}

TEST(SessionCreate, EveryPluginLoadsByName) {
  for (const char* plugin : {"GenericPhone", "MotorolaPhone", "EricssonPhone", "NokiaPhone"}) {
    CMxGsmBasics session;
    EXPECT_EQ(session.Create(plugin), 1) << plugin;
    ASSERT_NE(session.GetDevice(), nullptr);
    EXPECT_NE(session.GetDevice()->GetComPort(), nullptr);
    EXPECT_EQ(session.IsOpened(), 0);
  }
}

TEST(SessionCreate, WithoutPortTheProfileUsesCom1) {
  LogCapture logs;
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone"), 1);
  session.Open();  // the machine may or may not have /dev/ttyS0; the name is what counts
  EXPECT_NE(logs.Trace().find("-->CMxComPort::OpenPort(COM1:,9600)"), std::string::npos);
  session.TotalClose();
}

TEST(SessionCreate, BaudRateComesFromThePortSpecification) {
  LogCapture logs;
  ScriptedModem modem;
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path() + "@abc"), 1);
  EXPECT_EQ(session.Open(), 0);  // a non-numeric rate asks for rate 0, which the line refuses
  EXPECT_EQ(session.GetDevice()->GetComPort()->GetLastError(), 7);
  EXPECT_NE(logs.Trace().find("-->CMxComPort::OpenPort(" + modem.Path() + ",0)"), std::string::npos);
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path() + "@115200"), 1);
  EXPECT_EQ(session.Open(), 1);
  session.TotalClose();
}

TEST_F(SessionTest, InitializeSwitchesEchoOffAndErrorCodesOn) {
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path()), 1);
  ASSERT_EQ(session.Initialize(), 1);
  ASSERT_TRUE(modem.WaitForCommands(2, 5000));
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"ATE0", "AT+CMEE=2"}));
  EXPECT_EQ(session.IsOpened(), 1);
  modem.ClearCommands();
  EXPECT_EQ(session.Initialize(), 1);  // already open: nothing sent
  EXPECT_EQ(session.SendTestCommand(), 1);
  EXPECT_EQ(modem.Commands(), std::vector<std::string>{"AT"});
}

TEST_F(SessionTest, SilentDeviceFailsInitializeButStaysOpen) {
  modem.SetSilent(true);
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path()), 1);
  EXPECT_EQ(session.Initialize(), 0);
  EXPECT_EQ(session.IsOpened(), 1);
  EXPECT_EQ(session.TotalClose(), 1);
  EXPECT_EQ(session.IsOpened(), 0);
}

TEST_F(SessionTest, OpenIsCounted) {
  Start();
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(session.Close(), 1);
  EXPECT_EQ(session.IsOpened(), 1);  // still opened by Initialize
  EXPECT_EQ(session.Close(), 1);
  EXPECT_EQ(session.IsOpened(), 0);
  EXPECT_EQ(session.Close(), 1);  // below zero stays at zero
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(session.IsOpened(), 1);
}

TEST_F(SessionTest, CommandsOfAClosedSessionSendNothing) {
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path()), 1);
  EXPECT_EQ(session.SendTestCommand(), 0);
  EXPECT_EQ(session.Clear(), 0);
  EXPECT_EQ(session.IsSupported("AT+CSQ"), 0);
  EXPECT_EQ(session.FlushComBuffers(), 0);
  EXPECT_EQ(session.Error(), 0);
  std::string out = "x";
  EXPECT_EQ(session.GetManufacturer(out), 0);
  EXPECT_EQ(out, "");
  EXPECT_FALSE(modem.WaitForCommands(1, 200));
}

TEST_F(SessionTest, IsSupportedNeedsABareOk) {
  Start();
  modem.On("AT+CSQ=?", "\r\n+CSQ: (0-31,99),(0-7,99)\r\n\r\nOK\r\n");
  EXPECT_EQ(session.IsSupported("AT+CGMI"), 1);
  EXPECT_EQ(session.IsSupported("AT+CSQ"), 0);  // an information line before OK
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"AT+CGMI=?", "AT+CSQ=?"}));
}

TEST_F(SessionTest, ClearAndTotalClearStopReaders) {
  Start();
  EXPECT_EQ(session.Clear(), 1);
  session.TotalClear(60000);
  // After each reset the session puts echo and error codes back as it needs them.
  EXPECT_EQ(modem.Commands(),
            (std::vector<std::string>{"ATZ", "ATE0", "AT+CMEE=2", "ATZ", "ATE0", "AT+CMEE=2"}));
  EXPECT_EQ(session.GetDevice()->GetComPort()->IsStoped(), 1);
  EXPECT_EQ(session.SendTestCommand(), 0);  // every read gives up at once
  session.GetDevice()->GetComPort()->EmulateStop(0);
}

TEST_F(SessionTest, PluginsAreAlwaysPoweredAndSwitchingOffClosesTheSession) {
  Start();
  EXPECT_EQ(session.IsModulePowerOn(0), 1);
  EXPECT_EQ(session.SwitchModulePower(1), 1);
  EXPECT_EQ(session.IsOpened(), 1);
  // Returns although nobody set the process's stop event: the session ends its
  // own event thread when it closes for good.
  EXPECT_EQ(session.SwitchModulePower(0), 1);
  EXPECT_EQ(session.IsOpened(), 0);
  EXPECT_EQ(modem.Commands(), std::vector<std::string>{});
  EXPECT_EQ(session.Initialize(), 1);  // and it can be brought up again
  EXPECT_EQ(session.SendTestCommand(), 1);
}

TEST(SessionWithoutDevice, AnswersEmptyOrZero) {
  CMxGsmBasics session;
  EXPECT_EQ(session.WriteCommandString("AT\r", 100), "");
  EXPECT_EQ(session.ReadAnswerLineString(100), "");
  EXPECT_EQ(session.ReadAnswerString(100, 0), "");
  EXPECT_EQ(session.IsOk("OK"), 0);
  EXPECT_EQ(session.IsModulePowerOn(0), 0);
  EXPECT_EQ(session.SwitchModulePower(1), 0);
  EXPECT_EQ(session.Open(), 0);
  EXPECT_EQ(session.TotalClose(), 1);
  EXPECT_EQ(session.WriteCommandStringAndWaitForResponse("AT+CMGS=5\r", "> ", 100), 0);
}
