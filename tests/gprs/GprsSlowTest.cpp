// The GPRS connection's behaviour over seconds: a pppd that will not end, and
// the link's time on the clock.
#include "GprsFixture.h"
#include "services/CMxConnection.h"

namespace fonexa::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(GprsTest, PppdIgnoringTheHangUpSignalIsEndedWithinTheBound) {
  std::vector<std::string> steps{"ignore-term"};
  steps.insert(steps.end(), kConnectingLog.begin(), kConnectingLog.end());
  steps.push_back("hang");
  Script(steps);
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(7));
  const pid_t pppd = LastPppdPid();

  const auto start = Clock::now();
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  const auto waited = Clock::now() - start;
  // Neither SIGTERM moved it; the forced end did.
  EXPECT_GE(waited, std::chrono::milliseconds(CMxConnection::kForcedEndMs));
  EXPECT_LT(waited, std::chrono::milliseconds(CMxConnection::kReleaseLimitMs + 500));
  EXPECT_FALSE(ProcessExists(pppd));
  EXPECT_EQ(progress.Codes().back(), 8u);
  const std::string trace = Trace();
  EXPECT_NE(trace.find("CMxConnection::_RemoveConnection:RasHangUp again\r\n"), std::string::npos);
  EXPECT_NE(trace.find("CMxConnection::_RemoveConnection:Forced end\r\n"), std::string::npos);
  EXPECT_NE(trace.find("CMxConnection::_RemoveConnection:ERROR_INVALID_HANDLE came \r\n"), std::string::npos);
}

TEST_F(GprsTest, PppdTakingItsTimeToEndIsWaitedForWithoutForce) {
  // pppd ends a link politely (LCP terminate) and may take a few seconds.
  std::vector<std::string> steps{"ignore-term"};
  steps.insert(steps.end(), kConnectingLog.begin(), kConnectingLog.end());
  steps.insert(steps.end(), {"sleep 1500", "say Connection terminated.", "exit 5"});
  Script(steps);
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  const auto start = Clock::now();
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(CMxConnection::kSecondSignalMs));
  EXPECT_EQ(Trace().find("Forced end"), std::string::npos);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
}

TEST_F(GprsTest, DurationCountsTheSecondsSinceTheLinkCameUp) {
  ScriptConnecting({"hang"});
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  EXPECT_EQ(GprsGetDuration(c_), 0);
  std::this_thread::sleep_for(2100ms);
  EXPECT_GE(GprsGetDuration(c_), 2);
  EXPECT_LE(GprsGetDuration(c_), 3);
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(GprsGetDuration(c_), 0);
}

}  // namespace
}  // namespace fonexa::testing
