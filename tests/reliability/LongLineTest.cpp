// The port's line reader against a phone that sends lines without bounds:
// an over-long line is cut at the cap, the rest of it dropped up to its line
// end, and the reader stays in step with what follows; noise without any line
// end costs the read its deadline, never more memory than one capped line.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "PortFixture.h"
#include "platform/Tick.h"

using fonexa::platform::TickCount;
using fonexa::testing::OpenPortTest;

namespace {

constexpr size_t kLineCap = 64 * 1024;

// The device writes from its own thread: a pty holds only a few kilobytes, so
// a long write waits for the reader.
class DeviceWriter {
 public:
  DeviceWriter(fonexa::testing::PtyPeer& peer, std::string bytes)
      : thread_([&peer, bytes = std::move(bytes)] { peer.Write(bytes); }) {}
  ~DeviceWriter() { thread_.join(); }

 private:
  std::thread thread_;
};

}  // namespace

using PortLongLines = OpenPortTest;

TEST_F(PortLongLines, OverLongLineIsCutAtTheCapAndTheNextLineReadsWhole) {
  const std::string longLine = "+CPBR: 1,\"" + std::string(150 * 1024, '7') + "\",129,\"A\"\r\n";
  DeviceWriter device(peer, longLine + "OK\r\n");
  const std::string line = port.ReadAnswerLineString(20000);
  ASSERT_EQ(line.size(), kLineCap + 2);
  EXPECT_EQ(line.substr(0, 10), "+CPBR: 1,\"");
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  EXPECT_EQ(port.GetLastError(), 10) << "a cut line is reported";
  EXPECT_EQ(port.ReadAnswerLineString(2000), "OK\r\n");
}

TEST_F(PortLongLines, LineEndSplitAcrossTheCapStillEndsTheLine) {
  DeviceWriter device(peer, std::string(kLineCap - 1, 'x') + "\r\nERROR\r\n");
  const std::string line = port.ReadAnswerLineString(20000);
  EXPECT_EQ(line.size(), kLineCap + 1);  // every byte of it fits: it is no cut line
  EXPECT_EQ(port.GetLastError(), 0);
  EXPECT_EQ(port.ReadAnswerLineString(2000), "ERROR\r\n");
}

TEST_F(PortLongLines, NoiseWithoutLineEndKeepsOneCappedLineUntilTheDeadline) {
  std::string noise(1024, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(0x80 | (i * 131 % 127));  // never "\r\n"
  std::atomic<bool> stop{false};
  std::atomic<bool> done{false};
  std::thread device([&] {
    while (!stop) peer.Write(noise);
    done = true;
  });
  const uint32_t start = TickCount();
  const std::string line = port.ReadAnswerLineString(1500);
  const uint32_t spent = TickCount() - start;
  stop = true;
  while (!done) port._ReadResponseString(-1, 100);  // lets the device's last write through
  device.join();
  // The device kept writing into a line that never ends: the read gave up at
  // its deadline, with at most the cap kept.
  EXPECT_LE(line.size(), kLineCap);
  EXPECT_GT(line.size(), 0u);
  EXPECT_EQ(port.GetLastError(), 10);
  EXPECT_LT(spent, 2 * 1500u + 500u);
}
