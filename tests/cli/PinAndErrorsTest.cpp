// The SIM codes, and how the command fails: the message on standard error
// and the exit code, for bad usage, no phone, refused operations, unusable
// files and texts that cannot be carried.
#include <gtest/gtest.h>

#include "CliFixture.h"

using namespace std::chrono_literals;

namespace fonexa::clitest {
namespace {

class PinCommands : public CliTest {
 protected:
  sim::ModemOptions modemOptions() const override {
    sim::ModemOptions options = CliTest::modemOptions();
    options.pinRequired = true;
    return options;
  }
};

TEST_F(PinCommands, ALockedSimIsExplainedAndTheCodeEntered) {
  const Json status = json({"pin", "status"});
  EXPECT_EQ(status["sim"], "SIM PIN");
  EXPECT_EQ(status["ready"], false);
  // The generic plug-in cannot read the attempts counter: not known, not made up.
  EXPECT_TRUE(status["attempts_left"].is_null());

  const Finished blocked = fonexa({"sms", "list"});
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_EQ(blocked.err, "fonexa: the phone waits for the SIM PIN; enter it with \"fonexa pin enter\"\n");

  const Finished wrong = fonexa({"pin", "enter", "9999"});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.err, "fonexa: the phone refused the PIN\n");
  EXPECT_EQ(modemState()["sim"]["attempts"]["pin"], 2);

  const Json entered = json({"pin", "enter", "1234"});
  EXPECT_EQ(entered["entered"], true);
  EXPECT_EQ(entered["sim"], "READY");
  EXPECT_EQ(fonexa({"sms", "list"}).exitCode, 0);
  EXPECT_EQ(json({"pin", "enter", "1234"})["entered"], false);  // nothing asked any more
}

TEST_F(PinCommands, APukNeedsANewPin) {
  modem().setSimState(sim::SimState::PukRequired);
  const Finished half = fonexa({"pin", "enter", "12345678"});
  EXPECT_EQ(half.exitCode, 2);
  EXPECT_NE(half.err.find("the phone waits for the PUK: give it and a new PIN"), std::string::npos) << half.err;
  EXPECT_EQ(json({"pin", "enter", "12345678", "4321"})["sim"], "READY");
}

TEST_F(PinCommands, ChangeAndLocks) {
  ASSERT_EQ(fonexa({"pin", "enter", "1234"}).exitCode, 0);
  EXPECT_EQ(json({"pin", "change", "1234", "4321"})["changed"], "pin");
  EXPECT_EQ(modemState()["sim"]["codes"]["pin"], "4321");
  const Finished wrong = fonexa({"pin", "change", "1234", "5555"});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("the phone refused the old pin"), std::string::npos) << wrong.err;

  const Json locks = json({"pin", "locks"});
  ASSERT_EQ(locks.size(), 2u);
  EXPECT_EQ(locks[0]["lock"], "sc");
  EXPECT_EQ(locks[0]["on"], true);
  EXPECT_EQ(json({"pin", "lock", "sc", "off", "4321"})["on"], false);
  EXPECT_EQ(modemState()["sim"]["pinEnabled"], false);
}

TEST_F(PinCommands, WithoutACodeTheTerminalPromptAsks) {
  ProcessOptions options;
  options.stderrOnTerminal = true;  // and the program's controlling terminal
  options.environment.emplace("DISPLAY", std::nullopt);
  options.environment.emplace("WAYLAND_DISPLAY", std::nullopt);
  options.environment.emplace("QT_QPA_PLATFORM", std::nullopt);
  FonexaProcess entering({"--device", spec(), "pin", "enter", "--json"}, isolated(options));
  ASSERT_TRUE(entering.waitForError([](const std::string& err) { return err.find("PIN") != std::string::npos; }, 15s));
  entering.type("1234\n");
  const Finished finished = entering.finish(30s);
  EXPECT_EQ(finished.exitCode, 0) << finished.err;
  EXPECT_EQ(Json::parse(finished.out)["sim"], "READY");
  // Typed with the echo off: the code never shows.
  EXPECT_EQ(finished.err.find("1234"), std::string::npos) << finished.err;
  EXPECT_EQ(modemState()["sim"]["state"], "ready");
}

TEST_F(PinCommands, WithoutACodeOrATerminalThePromptCancels) {
  // Standard input is a pipe and there is no display: nobody to ask.
  ProcessOptions options;
  options.environment.emplace("DISPLAY", std::nullopt);
  options.environment.emplace("WAYLAND_DISPLAY", std::nullopt);
  options.environment.emplace("QT_QPA_PLATFORM", std::nullopt);
  const Finished run = fonexa({"pin", "enter"}, options);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("no code was accepted"), std::string::npos) << run.err;
}

using UsageErrors = CliTest;

TEST_F(UsageErrors, BadCommandLinesExitWithTwoAndNameTheProblem) {
  const std::vector<std::vector<std::string>> lines = {
      {"nosuch"},
      {"sms"},
      {"sms", "read"},
      {"sms", "read", "x"},
      {"sms", "list", "--status", "everything"},
      {"phonebook", "list", "--storage", "XX"},
      {"call", "multiparty", "dance"},
      {"operator", "select", "T-Mobile"},
      {"monitor", "--events", "weather"},
  };
  for (const auto& line : lines) {
    const Finished run = fonexa(line);
    EXPECT_EQ(run.exitCode, 2) << line.front() << " " << (line.size() > 1 ? line[1] : "") << ": " << run.err;
    EXPECT_EQ(run.err.rfind("fonexa: ", 0), 0u) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

TEST_F(UsageErrors, HelpOnEverySubcommandAnswersWithoutAPhone) {
  const std::vector<std::vector<std::string>> commands = {
      {},
      {"identify"}, {"status"}, {"signal"},
      {"operator"}, {"operator", "current"}, {"operator", "list"}, {"operator", "select"},
      {"sms"}, {"sms", "send"}, {"sms", "list"}, {"sms", "read"}, {"sms", "delete"}, {"sms", "store"},
      {"sms", "storage"}, {"sms", "service-centre"},
      {"phonebook"}, {"phonebook", "list"}, {"phonebook", "read"}, {"phonebook", "write"}, {"phonebook", "delete"},
      {"phonebook", "storage"}, {"phonebook", "range"}, {"phonebook", "export"}, {"phonebook", "import"},
      {"call"}, {"call", "dial"}, {"call", "answer"}, {"call", "hangup"}, {"call", "list"}, {"call", "multiparty"},
      {"pin"}, {"pin", "status"}, {"pin", "enter"}, {"pin", "change"}, {"pin", "locks"}, {"pin", "lock"},
      {"forward"}, {"forward", "show"}, {"forward", "set"}, {"forward", "off"},
      {"bar"}, {"bar", "show"}, {"bar", "set"},
      {"at"}, {"diagnostics"}, {"monitor"}, {"demo"},
  };
  for (std::vector<std::string> line : commands) {
    std::string usage = "Usage: fonexa";
    for (const std::string& word : line) usage += " " + word;
    line.push_back("--help");
    const Finished run = runFonexa(line, isolated());
    EXPECT_EQ(run.exitCode, 0) << usage;
    EXPECT_NE(run.out.find(usage), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "") << "help started a modem: " << run.err;
  }
  const Finished version = runFonexa({"--version"}, isolated());
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "fonexa 1.3.040726\n");
}

TEST_F(UsageErrors, TextsThatCannotBeCarriedAreReportedNotChanged) {
  // A message goes in any language; a stored one through the single-byte path.
  const Finished euro = fonexa({"sms", "store", "+420606111222", "Price: 5 €"});
  EXPECT_EQ(euro.exitCode, 2);
  EXPECT_NE(euro.err.find("the message text holds \"€\" (U+20AC)"), std::string::npos) << euro.err;

  const Finished broken = fonexa({"sms", "send", "+420606111222", std::string("caf\xE9 noir")});
  EXPECT_EQ(broken.exitCode, 2);
  EXPECT_NE(broken.err.find("not UTF-8"), std::string::npos) << broken.err;
  const Finished surrogate = fonexa({"sms", "send", "+420606111222", std::string("x\xED\xA0\x80")});
  EXPECT_EQ(surrogate.exitCode, 2);
  EXPECT_TRUE(modemState()["sent"].empty());

  const Finished name = fonexa({"phonebook", "write", "+420606111222", "José"});
  EXPECT_EQ(name.exitCode, 2);
  EXPECT_NE(name.err.find("only ASCII reaches the phone unchanged"), std::string::npos) << name.err;
  EXPECT_TRUE(modemState()["phoneBooks"]["SM"]["entries"].empty());

  const Finished quoted = fonexa({"phonebook", "write", "+420606111222", "Bob \"B\""});
  EXPECT_EQ(quoted.exitCode, 2);
  EXPECT_NE(quoted.err.find("holds a double quote"), std::string::npos) << quoted.err;

  const Finished flash = fonexa({"sms", "send", "--flash", "+420606111222", std::string(200, 'x')});
  EXPECT_EQ(flash.exitCode, 2);
  EXPECT_NE(flash.err.find("needs 2 parts"), std::string::npos) << flash.err;
  EXPECT_TRUE(modemState()["sent"].empty());

  const Finished control = fonexa({"at", "ATI\rAT+CFUN=0"});
  EXPECT_EQ(control.exitCode, 2);
}

using DeviceErrors = CliTest;

TEST_F(DeviceErrors, NoPhoneExitsWithThreeAndSaysWhy) {
  const Finished missing = runFonexa({"--device", "GenericPhone@/dev/no-such-tty", "identify"}, isolated());
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.err.find("there is no device /dev/no-such-tty"), std::string::npos) << missing.err;

  const Finished plugin = runFonexa({"--device", "AcmePhone@" + modem().devicePath(), "identify"}, isolated());
  EXPECT_EQ(plugin.exitCode, 3);
  EXPECT_NE(plugin.err.find("plug-in \"AcmePhone\""), std::string::npos) << plugin.err;

  const Finished malformed = runFonexa({"--device", "ttyUSB0", "identify"}, isolated());
  EXPECT_EQ(malformed.exitCode, 2);
  EXPECT_NE(malformed.err.find("is not PLUGIN@PORT[@BAUD]"), std::string::npos) << malformed.err;
}

TEST_F(DeviceErrors, ASilentPhoneIsADeviceFailure) {
  modem().setSilent(true);
  const Finished silent = fonexa({"identify"});
  EXPECT_EQ(silent.exitCode, 3);
  EXPECT_NE(silent.err.find("does not answer"), std::string::npos) << silent.err;
}

using RefusedOperations = CliTest;

TEST_F(RefusedOperations, ExitWithOneAndNameWhatFailed) {
  const Finished read = fonexa({"sms", "read", "17"});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_EQ(read.err, "fonexa: there is no message at index 17\n");

  const Finished entry = fonexa({"phonebook", "read", "42"});
  EXPECT_EQ(entry.exitCode, 1);
  EXPECT_EQ(entry.err, "fonexa: there is no entry at position 42\n");

  const Finished answer = fonexa({"call", "answer"});
  EXPECT_EQ(answer.exitCode, 1);
  EXPECT_NE(answer.err.find("is a call ringing?"), std::string::npos);
}

using FileErrors = CliTest;

TEST_F(FileErrors, UnusableFilesExitWithFour) {
  const Finished import = fonexa({"phonebook", "import", home_.File("missing.csv")});
  EXPECT_EQ(import.exitCode, 4);
  EXPECT_NE(import.err.find("cannot read"), std::string::npos);

  const Finished trace = fonexa({"--trace", "/nonexistent-folder/trace.log", "identify"});
  EXPECT_EQ(trace.exitCode, 4);
  EXPECT_NE(trace.err.find("cannot write the trace log"), std::string::npos);

  const Finished unknown = fonexa({"phonebook", "export", home_.File("book.txt")});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("--format"), std::string::npos);
}

TEST_F(FileErrors, TheTraceLogRecordsTheDialogue) {
  const std::string trace = home_.File("trace.log");
  ASSERT_EQ(fonexa({"--trace", trace, "signal"}).exitCode, 0);
  EXPECT_NE(testing::ReadWholeFile(trace).find("CMxGsmWrapper::Initialize"), std::string::npos);
  EXPECT_NE(testing::ReadWholeFile(home_.File("com.txt")).find("AT+CSQ"), std::string::npos);
}

}  // namespace
}  // namespace fonexa::clitest
