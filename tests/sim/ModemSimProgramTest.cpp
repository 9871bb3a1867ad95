// The contract of the fonexa-modemsim program: the device path first, an
// optional link, control commands on standard input, the state file, and
// stopping on end of input or SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ClientProgram.h"
#include "PtyClient.h"
#include "sim/control/JsonValue.h"

namespace fonexa::sim::test {
namespace {

namespace fs = std::filesystem;

class ModemSimProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("fonexa-modemsim-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(ModemSimProgram, HelpDocumentsOptionsAndControlCommands) {
  const auto r = runProgram({FONEXA_MODEMSIM, "--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* word : {"--profile", "--pin", "--puk", "--speed", "--link", "--state", "sms [--class N] FROM TEXT",
                           "pdu HEX", "ring NUMBER", "signal RSSI", "register STAT", "fault silence", "fault hangup",
                           "fault reboot", "state", "generic, motorola, ericsson, nokia"}) {
    EXPECT_NE(r.output.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(runProgram({FONEXA_MODEMSIM, "--bogus"}).exitCode, 2);
  EXPECT_EQ(runProgram({FONEXA_MODEMSIM, "--profile", "nosuchphone"}).exitCode, 1);
}

TEST_F(ModemSimProgram, PrintsTheDeviceFirstLinksItAndTakesControlCommands) {
  const std::string link = (dir_ / "modem").string();
  ModemSimProcess modem({"--link", link, "--registration-delay", "0", "--profile", "ericsson"});
  ASSERT_EQ(modem.devicePath().rfind("/dev/pts/", 0), 0u) << modem.devicePath();
  EXPECT_EQ(fs::read_symlink(link).string(), modem.devicePath());
  PtyClient client(link);
  ASSERT_TRUE(client.isOpen());
  EXPECT_EQ(client.command("ATE0;+CGMM"), "ATE0;+CGMM\r\r\n1130202-BVT68\r\n\r\nOK\r\n");
  EXPECT_EQ(modem.control("signal 7 2"), "ok\n");
  EXPECT_EQ(client.command("AT+CSQ"), "\r\n+CSQ: 7,2\r\n\r\nOK\r\n");
  EXPECT_EQ(client.command("AT+CNMI=2,1;+CLIP=1"), "\r\nOK\r\n");
  EXPECT_EQ(modem.control("sms +4917012345 Hello there"), "stored SM 1\nok\n");
  EXPECT_EQ(client.readUntil("+CMTI: \"SM\",1\r\n"), "\r\n+CMTI: \"SM\",1\r\n");
  EXPECT_EQ(modem.control("ring +4917011111"), "ok\n");
  EXPECT_EQ(client.readUntil("145\r\n"), "\r\nRING\r\n\r\n+CLIP: \"+4917011111\",145\r\n");
  EXPECT_EQ(modem.control("hangup"), "ok\n");
  EXPECT_EQ(modem.control("register 5 26202"), "ok\n");
  EXPECT_EQ(client.command("AT+CREG?"), "\r\n+CREG: 0,5\r\n\r\nOK\r\n");
  EXPECT_EQ(modem.control("alarm-start Wake up"), "ok\n");
  EXPECT_EQ(client.readUntil("+CALA: Wake up\r\n"), "\r\n^SYSSTART ALARM MODE\r\n+CALA: Wake up\r\n");
  EXPECT_EQ(modem.control("pdu 00040B911007214365F700004250713154030003C1E1F0"), "ok\n");
  EXPECT_EQ(client.readUntil("+CMTI: \"SM\",2\r\n"), "\r\n+CMTI: \"SM\",2\r\n");
  EXPECT_EQ(modem.control("pdu 00110001"), "error: not a valid SMS-DELIVER PDU\n");
  EXPECT_EQ(modem.control("frobnicate"), "error: unknown command 'frobnicate'; try help\n");
  const std::string state = modem.control("state");
  auto json = JsonValue::parse(state.substr(0, state.size() - 4));
  ASSERT_TRUE(json) << state;
  EXPECT_EQ((*json)["messages"]["SM"]["entries"].items().size(), 2u);
  EXPECT_EQ((*json)["network"]["rssi"].asInt(), 7);
  EXPECT_EQ(modem.control("fault reboot"), "ok\n");
  EXPECT_FALSE(client.readUntil("^SYSSTART\r\n").empty());
  modem.closeInput();
  EXPECT_EQ(modem.wait(), 0) << "end of input stops the program";
  EXPECT_FALSE(fs::is_symlink(link)) << "the link goes with it";
}

TEST_F(ModemSimProgram, StopsOnSigtermAndLeavesItsTranscript) {
  const std::string transcript = (dir_ / "transcript.txt").string();
  ModemSimProcess modem({"--transcript", transcript, "--speed", "100000"});
  ASSERT_FALSE(modem.devicePath().empty());
  {
    PtyClient client(modem.devicePath());
    EXPECT_EQ(client.command("AT+CGSN"), "AT+CGSN\r\r\n490154203237518\r\n\r\nOK\r\n");
  }
  modem.signal(SIGTERM);
  EXPECT_EQ(modem.wait(), 0);
  std::ifstream in(transcript);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("> AT+CGSN\\r"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(" < "), std::string::npos) << text.str();
}

TEST_F(ModemSimProgram, StartsFromAStateFileAndWritesItBack) {
  const std::string file = (dir_ / "phone.json").string();
  std::ofstream(file) << R"({"sim": {"codes": {"pin": "4711"}},
    "phoneBooks": {"SM": {"entries": [{"index": 2, "number": "+4930123456", "text": "Alice"}]}},
    "messages": {"SM": {"entries": [{"index": 1, "stat": 1, "from": "+4917012345", "text": "kept"}]}}})";
  {
    ModemSimProcess modem({"--state", file, "--pin", "4711", "--registration-delay", "0"});
    PtyClient client(modem.devicePath());
    ASSERT_TRUE(client.isOpen());
    EXPECT_EQ(client.command("ATE0;+CPIN=4711"), "ATE0;+CPIN=4711\r\r\nOK\r\n");
    EXPECT_EQ(client.command("AT+CPBR=2"), "\r\n+CPBR: 2,\"+4930123456\",145,\"Alice\"\r\n\r\nOK\r\n");
    EXPECT_EQ(client.command("AT+CPMS?"), "\r\n+CPMS: \"SM\",1,20,\"SM\",1,20,\"SM\",1,20\r\n\r\nOK\r\n");
    EXPECT_EQ(client.command("AT+CPBW=3,\"0301\",129,\"Bob\""), "\r\nOK\r\n");
    modem.closeInput();
    ASSERT_EQ(modem.wait(), 0);
  }
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  auto json = JsonValue::parse(text.str());
  ASSERT_TRUE(json) << text.str();
  const auto& entries = (*json)["phoneBooks"]["SM"]["entries"].items();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1]["text"].asString(), "Bob");
  EXPECT_EQ((*json)["messages"]["SM"]["entries"].items()[0]["text"].asString(), "kept");
  EXPECT_EQ((*json)["sim"]["codes"]["pin"].asString(), "4711");

  std::ofstream(file) << "{ not json";
  const auto broken = runProgram({FONEXA_MODEMSIM, "--state", file});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.output.find("invalid JSON"), std::string::npos) << broken.output;
}

}  // namespace
}  // namespace fonexa::sim::test
