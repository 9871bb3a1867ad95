// What the command does over time: the monitor's events as they arrive and
// its clean end on Ctrl-C, the progress bar on a terminal and not on a pipe,
// the device chosen from the environment, and the guided tour.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "CliFixture.h"
#include "sim/codec/SmsPdu.h"

using namespace std::chrono_literals;

namespace fonexa::clitest {
namespace {

std::vector<Json> jsonLines(const std::string& text) {
  std::vector<Json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line, nullptr, false));
  return lines;
}

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

using Monitor = CliTest;

TEST_F(Monitor, PrintsOneJsonObjectPerEventAndEndsCleanlyOnCtrlC) {
  FonexaProcess monitor({"--device", spec(), "monitor", "--json"}, isolated());
  // The module state comes at once: the monitor is watching.
  ASSERT_TRUE(monitor.waitForOutput([](const std::string& out) { return lineCount(out) >= 1; }, 15s));
  modem().injectSms("+420777123456", "Are you there?");
  ASSERT_TRUE(monitor.waitForOutput([](const std::string& out) { return out.find("new_message") != std::string::npos; }, 15s));
  ASSERT_TRUE(modem().ring("+420606111222"));
  ASSERT_TRUE(monitor.waitForOutput([](const std::string& out) { return out.find("\"ring\"") != std::string::npos; }, 15s));

  monitor.signal(SIGINT);
  const Finished finished = monitor.finish(15s);
  EXPECT_EQ(finished.exitCode, 0) << finished.err;
  const std::vector<Json> events = jsonLines(finished.out);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0]["event"], "module_state");
  EXPECT_EQ(events[0]["ready"], true);
  bool message = false;
  for (const Json& event : events) {
    ASSERT_FALSE(event.is_discarded()) << finished.out;
    EXPECT_TRUE(event["time"].is_string());
    if (event["event"] == "new_message") {
      message = true;
      EXPECT_EQ(event["id"], 0x100);
      EXPECT_EQ(event["from"], "+420777123456");
      EXPECT_EQ(event["message"], "Are you there?");
    }
  }
  EXPECT_TRUE(message);
  EXPECT_EQ(finished.err.find("interrupted"), std::string::npos) << finished.err;
}

TEST_F(Monitor, CountsAndFiltersEventsInText) {
  FonexaProcess monitor({"--device", spec(), "monitor", "--events", "new_message", "--count", "1"}, isolated());
  // Caller identification is switched on once the handlers are in place.
  ASSERT_TRUE(modem().transcript().waitFor(sim::Direction::In, "AT+CLIP=1", 15s));
  modem().injectSms("+420777123456", "Only this one");
  const Finished finished = monitor.finish(20s);
  EXPECT_EQ(finished.exitCode, 0) << finished.err;
  EXPECT_EQ(lineCount(finished.out), 1u) << finished.out;
  EXPECT_NE(finished.out.find("new_message: from +420777123456: Only this one"), std::string::npos) << finished.out;
}

TEST_F(Monitor, ShowsALongMessageDeliveredToTheTerminalOnceJoined) {
  modem().update([](sim::ModemContext& ctx) { ctx.settings.cnmi.mt = 2; });
  FonexaProcess monitor({"--device", spec(), "monitor", "--json", "--events", "joined_message", "--count", "1"},
                        isolated());
  ASSERT_TRUE(modem().transcript().waitFor(sim::Direction::In, "AT+CLIP=1", 15s));
  sim::DeliverRequest request;
  request.originator = "+420777123456";
  request.text = std::string(100, 'p') + "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
  request.concatenationReference = 5;
  const auto parts = sim::buildDeliverParts(request);
  ASSERT_EQ(parts.size(), 2u);
  modem().update([&](sim::ModemContext& ctx) {
    ctx.centre.deliver(parts[1]);
    ctx.centre.deliver(parts[0]);
  });
  const Finished finished = monitor.finish(40s);
  EXPECT_EQ(finished.exitCode, 0) << finished.err;
  const std::vector<Json> events = jsonLines(finished.out);
  ASSERT_EQ(events.size(), 1u) << finished.out << modem().transcript().render();
  EXPECT_EQ(events[0]["event"], "joined_message");
  EXPECT_EQ(events[0]["id"], 0x4000);
  EXPECT_EQ(events[0]["from"], "+420777123456");
  EXPECT_EQ(events[0]["message"], request.text);
  EXPECT_EQ(events[0]["missing"], 0);
}

TEST_F(Monitor, OtherCommandsInterruptedEndInOrderAndExitWith130) {
  modem().setDialOutcome(sim::DialOutcome::NoAnswer);
  FonexaProcess dial({"--device", spec(), "call", "dial", "+420606111222"}, isolated());
  // Ctrl-C while the phone is ringing the other side.
  ASSERT_TRUE(modem().transcript().waitFor(sim::Direction::In, "ATD+420606111222;", 15s));
  dial.signal(SIGINT);
  const Finished finished = dial.finish(20s);
  EXPECT_EQ(finished.exitCode, 130);
  EXPECT_EQ(finished.out, "dialling +420606111222\nno carrier\n");
  EXPECT_NE(finished.err.find("fonexa: interrupted"), std::string::npos) << finished.err;
  EXPECT_TRUE(modemState()["calls"].empty());
}

using ProgressBar = CliTest;

TEST_F(ProgressBar, DrawnOnATerminalAndNotOnAPipe) {
  ProcessOptions terminal;
  terminal.stderrOnTerminal = true;
  const Finished onTerminal = fonexa({"phonebook", "list"}, terminal);
  EXPECT_EQ(onTerminal.exitCode, 0);
  EXPECT_NE(onTerminal.err.find("\rreading the phone book ["), std::string::npos) << onTerminal.err;
  EXPECT_NE(onTerminal.err.find("250/250"), std::string::npos) << onTerminal.err;
  // The bar is wiped when done; the listing on standard output has none of it.
  EXPECT_EQ(onTerminal.out, "no entries\n");

  const Finished onPipe = fonexa({"phonebook", "list"});
  EXPECT_EQ(onPipe.exitCode, 0);
  EXPECT_EQ(onPipe.err, "");
  EXPECT_EQ(onPipe.out, "no entries\n");

  const Finished sendOnTerminal = fonexa({"sms", "send", "+420606111222", std::string(300, 'y')}, terminal);
  EXPECT_NE(sendOnTerminal.err.find("sending 2 parts ["), std::string::npos) << sendOnTerminal.err;
  EXPECT_EQ(fonexa({"sms", "send", "+420606111222", std::string(300, 'y')}).err, "");
}

using DeviceChoice = CliTest;

TEST_F(DeviceChoice, FromTheEnvironmentThenTheConfigFileThenTheBuiltInModem) {
  ProcessOptions fromVariable;
  fromVariable.environment.emplace("FONEXA_DEVICE", spec());
  modem().setSignal(5);
  ProcessOptions variable = isolated(fromVariable);
  variable.environment["FONEXA_DEVICE"] = spec();
  const Finished viaVariable = runFonexa({"signal", "--json"}, variable);
  EXPECT_EQ(viaVariable.exitCode, 0) << viaVariable.err;
  EXPECT_EQ(Json::parse(viaVariable.out)["rssi"], 5);

  mkdir(home_.File(".config").c_str(), 0700);
  mkdir(home_.File(".config/fonexa").c_str(), 0700);
  std::ofstream(home_.File(".config/fonexa/config")) << "# the phone on the desk\ndevice = " << modem().devicePath() << "\n";
  const Finished viaConfig = runFonexa({"signal", "--json"}, isolated());
  EXPECT_EQ(viaConfig.exitCode, 0) << viaConfig.err;
  EXPECT_EQ(Json::parse(viaConfig.out)["rssi"], 5);
  EXPECT_EQ(viaConfig.err, "");

  std::ofstream(home_.File(".config/fonexa/config")) << "speed = 9600\n";
  const Finished badConfig = runFonexa({"signal"}, isolated());
  EXPECT_EQ(badConfig.exitCode, 2);
  EXPECT_NE(badConfig.err.find("config line 1: unknown setting \"speed\""), std::string::npos) << badConfig.err;

  std::remove(home_.File(".config/fonexa/config").c_str());
  const Finished builtIn = runFonexa({"signal", "--json"}, isolated());
  EXPECT_EQ(builtIn.exitCode, 0) << builtIn.err;
  EXPECT_EQ(Json::parse(builtIn.out)["rssi"], 21);  // the built-in modem's own signal
  EXPECT_NE(builtIn.err.find("no device given"), std::string::npos);
  EXPECT_NE(builtIn.err.find("using the built-in virtual modem on /dev/pts/"), std::string::npos) << builtIn.err;
}

using Demo = CliTest;

TEST_F(Demo, TheTourRunsEveryStepOnTheBuiltInModem) {
  const Finished tour = runFonexa({"demo", "--json"}, isolated(), 120s);
  ASSERT_EQ(tour.exitCode, 0) << tour.err;
  std::vector<std::string> steps;
  bool messageArrived = false;
  for (const Json& line : jsonLines(tour.out)) {
    ASSERT_FALSE(line.is_discarded()) << tour.out;
    if (line.is_object() && line.contains("step")) steps.push_back(line["step"]);
    if (line.is_object() && line.value("event", "") == "new_message") messageArrived = true;
  }
  EXPECT_EQ(steps.size(), 7u);
  EXPECT_TRUE(messageArrived);
  // The vCard export travels inside its JSON object.
  EXPECT_NE(tour.out.find("\"content\":\"BEGIN:VCARD\\r\\n"), std::string::npos) << tour.out;
}

}  // namespace
}  // namespace fonexa::clitest
