// The V.250 command state over the pty: echo, framing, result codes and
// errors, the prefix rule, repetition, settings and their resets, identity.
#include <random>

#include "ModemFixture.h"

namespace fonexa::sim::test {
namespace {

class LineDiscipline : public ModemTest {};

TEST_F(LineDiscipline, EchoesWhatItReadsUntilSwitchedOffAndHonoursBackspace) {
  start();
  EXPECT_EQ(at("ATE1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT"), "AT\r\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSX\bQ"), "AT+CSX\bQ\r\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATE0"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(at("AT"), "\r\nOK\r\n");
}

TEST_F(LineDiscipline, FramesInformationAndResultsForVerboseAndNumericMode) {
  start();
  EXPECT_EQ(at("AT+CGMI"), "\r\nFonexa\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CGMI;+CGSN"), "\r\nFonexa\r\n\r\n490154203237518\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=?"), "\r\n+CPBS: (\"SM\",\"FD\",\"LD\",\"MC\",\"RC\",\"ON\",\"ME\")\r\n\r\nOK\r\n");
  client().write("ATV0\r");
  EXPECT_EQ(client().readUntil("0\r"), "0\r");
  client().write("AT+CGMI\r");
  EXPECT_EQ(client().readUntil("0\r"), "Fonexa\r\n0\r");
  client().write("AT+NOPE\r");
  EXPECT_EQ(client().readUntil("4\r"), "4\r");
  client().write("ATV1Q1\r");
  client().write("AT+CGMI\r");
  EXPECT_EQ(client().readUntil("Fonexa\r\n"), "\r\nFonexa\r\n") << "quiet mode drops only the result code";
  EXPECT_EQ(at("ATQ0"), "\r\nOK\r\n");
}

TEST_F(LineDiscipline, ExtendedErrorsFollowCmeeForPhoneAndMessageCommands) {
  ModemOptions o = quickOptions();
  o.pinRequired = true;
  start(o);
  EXPECT_EQ(at("AT+CPBR=1"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CMGL=4"), "\r\n+CMS ERROR: 311\r\n");
  EXPECT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1"), "\r\n+CME ERROR: 11\r\n");
  EXPECT_EQ(at("AT+CMEE=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1"), "\r\n+CME ERROR: SIM PIN required\r\n");
  EXPECT_EQ(at("AT+CMGL=4"), "\r\n+CMS ERROR: SIM PIN required\r\n");
  EXPECT_EQ(at("AT+CMEE?"), "\r\n+CMEE: 2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMEE=3"), "\r\nERROR\r\n");
}

TEST_F(LineDiscipline, UnknownCommandsAndBrokenLinesGetErrorAndStopTheLine) {
  start();
  EXPECT_EQ(at("AT+FOO"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"unterminated"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CMEE=1;+FOO;+CMEE=2"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CMEE?"), "\r\n+CMEE: 1\r\n\r\nOK\r\n") << "commands before the error ran, those after did not";
  EXPECT_EQ(at("AT" + std::string(2000, 'E')), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT"), "\r\nOK\r\n");
}

TEST_F(LineDiscipline, IgnoresLinesWithoutThePrefixAndNoiseBeforeIt) {
  start();
  client().write("hello\r\x1b\r");
  EXPECT_EQ(at("xx\x01" "ATI"), "\r\nFonexa\r\nVM-900 virtual GSM phone\r\n1.0.0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("at+cgmi"), "\r\nFonexa\r\n\r\nOK\r\n");
}

TEST_F(LineDiscipline, ASlashRepeatsTheLastLineAtOnce) {
  start();
  EXPECT_EQ(at("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
  client().write("A/");
  EXPECT_EQ(client().readUntil("OK\r\n"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
}

TEST_F(LineDiscipline, ZRestoresTheStoredProfileAndAmpersandFTheFactoryOne) {
  start();
  EXPECT_EQ(at("AT+CMEE=2;+CREG=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATZ"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATE0;+CMEE?;+CREG?"), "ATE0;+CMEE?;+CREG?\r\r\n+CMEE: 0\r\n\r\n+CREG: 0,1\r\n\r\nOK\r\n")
      << "the factory profile echoes";
  EXPECT_EQ(at("AT+CMEE=1;&W"), "\r\nOK\r\n");
  EXPECT_EQ(at("ATZ;+CMEE?"), "\r\n+CMEE: 1\r\n\r\nOK\r\n") << "&W stored echo off and CMEE 1";
  EXPECT_EQ(at("AT&F;E0;+CMEE?"), "\r\n+CMEE: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATS0?"), "\r\n000\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATS0=2;S0?"), "\r\n002\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATS99?"), "\r\nERROR\r\n");
}

TEST_F(LineDiscipline, KeepsAClockThatCanBeSet) {
  start();
  EXPECT_EQ(at("AT+CCLK=\"24/05/17,13:45:30+08\""), "\r\nOK\r\n");
  const std::string now = at("AT+CCLK?");
  EXPECT_EQ(now.substr(0, 26), "\r\n+CCLK: \"24/05/17,13:45:3") << now;
  EXPECT_EQ(now.substr(now.size() - 12), "+08\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CCLK=\"24/13/17,13:45:30\""), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CCLK=\"24/02/30,13:45:30\""), "\r\nERROR\r\n");
}

TEST_F(LineDiscipline, TakesItsIdentityFromTheProfile) {
  start(quickOptions("ericsson"));
  EXPECT_EQ(at("AT+CGMM"), "\r\n1130202-BVT68\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMI=2,3;+CNMI=3,3;+CNMI?"), "\r\n+CNMI: 3,3,0,0,0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMI=4,1"), "\r\n+CMS ERROR: 303\r\n");
  EXPECT_EQ(at("AT+CNMI=1,1,0,3"), "\r\n+CMS ERROR: 303\r\n");
  EXPECT_EQ(at("AT+CPBS=?"), "\r\n+CPBS: (\"SM\",\"FD\",\"DC\",\"MC\",\"RC\",\"ME\")\r\n\r\nOK\r\n");
}

TEST_F(LineDiscipline, MotorolaPrefixesItsIdentityLines) {
  start(quickOptions("motorola"));
  EXPECT_EQ(at("AT+CGMI"), "\r\n+CGMI: \"Motorola CE, Copyright 2000\"\r\n\r\nOK\r\n");
}

// The test forms a diagnostics run sends, in its order; each must end in OK.
TEST_F(LineDiscipline, AnswersTheTestFormOfEveryDiagnosticsCommand) {
  start();
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"AT+CCFC=?", "+CCFC: (0-5)"}, {"AT+CHLD=?", "+CHLD: (0,1,1x,2,2x,3)"}, {"AT+CLCC=?", ""},
      {"AT+CLCK=?", "+CLCK: (\"SC\",\"FD\",\"PS\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\",\"AB\",\"AG\",\"AC\")"},
      {"AT+CLIP=?", "+CLIP: (0-1)"}, {"AT+CLIR=?", "+CLIR: (0-2)"}, {"AT+CMEE=?", "+CMEE: (0-2)"},
      {"AT+COPN=?", ""}, {"AT+CPBR=?", "+CPBR: (1-250),40,18"}, {"AT+CPBS=?", "+CPBS: "},
      {"AT+CPBW=?", "+CPBW: (1-250),40,(129,145,161),18"}, {"AT+CPIN=?", ""}, {"AT+CREG=?", "+CREG: (0-2)"},
      {"AT+CSQ=?", "+CSQ: (0-31,99),(0-7,99)"}, {"AT+CMGD=?", "+CMGD: (),(0-4)"}, {"AT+CMGF=?", "+CMGF: (0,1)"},
      {"AT+CMGL=?", "+CMGL: (0-4)"}, {"AT+CMGR=?", ""}, {"AT+CMGS=?", ""}, {"AT+CMGW=?", ""},
      {"AT+CNMI=?", "+CNMI: (0-3),(0-3),(0-3),(0-2),(0,1)"},
      {"AT+CPMS=?", "+CPMS: (\"SM\",\"ME\",\"MT\"),(\"SM\",\"ME\",\"MT\"),(\"SM\",\"ME\",\"MT\")"},
  };
  for (const auto& [command, line] : forms) {
    const std::string answer = at(command);
    EXPECT_EQ(finalResultOf(answer), "OK") << command;
    const auto lines = infoLines(answer);
    if (line.empty()) {
      EXPECT_TRUE(lines.empty()) << command << ": " << answer;
    } else {
      ASSERT_EQ(lines.size(), 1u) << command;
      EXPECT_EQ(lines[0].substr(0, line.size()), line) << command;
    }
  }
}

// Whatever a terminal sends, every command line ends in a final result code
// and the phone goes on answering: a value or an error, never a crash or a
// hang.
TEST_F(LineDiscipline, RandomCommandLinesAlwaysEndInAFinalResult) {
  start();
  modem().setDialOutcome(DialOutcome::Connect, "*");
  modem().update([](ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(0), std::chrono::milliseconds(0));
    ctx.networkScanTime = std::chrono::milliseconds(0);
  });
  const std::vector<std::string> names = {
      "+CGMI", "+CGSN", "+CCLK", "+CPAS", "+CNMI", "+CNMA", "+CPIN", "+CPWD", "+CLCK", "+CSQ", "+CREG", "+COPS",
      "+COPN", "+CLCC", "+CHLD", "+CLIP", "+CRC", "+CCFC", "+CMGF", "+CSCA", "+CPMS", "+CMGS", "+CMGW", "+CMGL",
      "+CMGR", "+CMGD", "+CPBS", "+CPBR", "+CPBW", "+CPBF", "+CSCS", "+CMEE", "+CCWA", "+CMSS", "+CSMS", "+CFUN",
      "+XYZ", "E", "S0", "S7", "&F", "Z", "D", "A", "H", "I"};
  const std::vector<std::string> values = {"",      "0",     "1",         "2",      "4",         "99999999999",
                                           "-1",    "\"SM\"", "\"",        "\"\"",   "\"a,b\"",   "\\22",
                                           "x",     "1x",    ",,,,",      "\"26201\"", ";",       "(1)",
                                           "65535", "\"+4930\"", "12345678901234567890"};
  std::mt19937 generator(7);
  auto pick = [&generator](const auto& list) {
    return list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(generator)];
  };
  for (int i = 0; i < 2000; ++i) {
    std::string line = "AT" + pick(names);
    switch (generator() % 4) {
      case 0: line += "?"; break;
      case 1: line += "=?"; break;
      case 2: break;
      default:
        line += "=" + pick(values);
        for (unsigned n = generator() % 4; n > 0; --n) line += "," + pick(values);
    }
    if (line.rfind("ATD", 0) == 0) line += ";";
    std::string answer = at(line);
    if (finalResultOf(answer) == "> ") {
      client().write("\x1b");
      answer = client().readUntil("OK\r\n");
    }
    ASSERT_FALSE(finalResultOf(answer).empty()) << line << " -> " << answer;
    if (line.rfind("ATE", 0) == 0 || line.rfind("ATZ", 0) == 0 || line.rfind("AT&F", 0) == 0) {
      ASSERT_EQ(finalResultOf(at("ATE0")), "OK");
    }
  }
  EXPECT_EQ(at("ATE0;H;+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
