// gsmctl of gsm-utils, a second outside client, running its full probe
// against the fonexa-modemsim program.
#include <gtest/gtest.h>

#include "ClientProgram.h"

namespace fonexa::sim::test {
namespace {

TEST(Gsmctl, TheFullProbeOfEveryInformationKindSucceeds) {
  const std::string gsmctl = findProgram("gsmctl");
  ASSERT_FALSE(gsmctl.empty()) << "gsmctl is not installed (Debian package gsm-utils)";
  ModemSimProcess modem({"--registration-delay", "0"});
  ASSERT_FALSE(modem.devicePath().empty());
  EXPECT_EQ(modem.control("signal 17 0"), "ok\n");
  const auto r = runProgram({gsmctl, "-d", modem.devicePath(), "ALL"},
                            {std::string("LD_PRELOAD=") + FONEXA_MODEM_LINES_PRELOAD});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  for (const char* line : {"<ME0>  Manufacturer: Fonexa", "<ME3>  Serial Number: 490154203237518",
                           "<OP0>  Status: current  Long name: 'T-Mobile D'", "<OP2>  Status: forbidden",
                           "<CURROP0>  Long name: 'T-Mobile D'   Short name: 'TMO D'   Numeric name: 26201",
                           "<FLCAP0>  'SC' 'FD' 'PS'", "<PW0>  'SC' 8", "<PIN0> READY",
                           "<FORW2.0>  NoReplyReason  Voice  inactive", "<SCA0>  +491710760000",
                           "<CSET0>  'GSM' 'IRA' '8859-1' 'UCS2'", "<SIG0>  17", "<BITERR0>  0"}) {
    EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
  }
  EXPECT_EQ(r.output.find("ERROR"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace fonexa::sim::test
