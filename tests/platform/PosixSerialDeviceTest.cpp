#include "platform/PosixSerialDevice.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <thread>

#include "PtyPeer.h"
#include "platform/Tick.h"

using fonexa::platform::IoStatus;
using fonexa::platform::LineSettings;
using fonexa::platform::PosixSerialDevice;
using fonexa::testing::PtyPeer;

TEST(PosixSerialDevice, MapsComNamesToSerialDevices) {
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("COM1:"), "/dev/ttyS0");
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("COM3"), "/dev/ttyS2");
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("com12:"), "/dev/ttyS11");
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("COMX"), "COMX");
  EXPECT_EQ(PosixSerialDevice::DevicePathFor("COM0"), "COM0");
}

class PtyDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    handle = PosixSerialDevice::Open(peer.SlavePath());
    ASSERT_NE(handle, PosixSerialDevice::kInvalidHandle);
  }
  void TearDown() override { PosixSerialDevice::Close(handle); }

  PtyPeer peer;
  int handle = PosixSerialDevice::kInvalidHandle;
};

TEST_F(PtyDevice, OpensExclusively) {
  int exclusive = 0;
  ASSERT_EQ(ioctl(handle, TIOCGEXCL, &exclusive), 0);
  EXPECT_NE(exclusive, 0);
}

TEST_F(PtyDevice, AppliesRawLineSettingsAndRefusesUnknownRates) {
  LineSettings settings;
  ASSERT_TRUE(PosixSerialDevice::ReadLineSettings(handle, settings));
  settings.baudRate = 115200;
  settings.byteSize = 8;
  settings.parity = 0;
  settings.stopBits = 0;
  ASSERT_TRUE(PosixSerialDevice::WriteLineSettings(handle, settings));
  LineSettings read;
  ASSERT_TRUE(PosixSerialDevice::ReadLineSettings(handle, read));
  EXPECT_EQ(read.baudRate, 115200u);
  EXPECT_EQ(read.byteSize, 8u);
  EXPECT_EQ(read.parity, 0);
  EXPECT_EQ(read.attributes.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_NE(read.attributes.c_cflag & CLOCAL, 0u);
  settings.baudRate = 12345;
  EXPECT_FALSE(PosixSerialDevice::WriteLineSettings(handle, settings));
}

TEST_F(PtyDevice, ReadsWhatArrivesAndTimesOutOnSilence) {
  LineSettings settings;
  ASSERT_TRUE(PosixSerialDevice::ReadLineSettings(handle, settings));
  settings.baudRate = 9600;
  ASSERT_TRUE(PosixSerialDevice::WriteLineSettings(handle, settings));
  uint8_t buffer[16];
  IoStatus status;
  EXPECT_EQ(PosixSerialDevice::Read(handle, buffer, sizeof buffer, 50, status), 0u);
  EXPECT_EQ(status, IoStatus::TimedOut);
  peer.Write("OK\r\n");
  const size_t n = PosixSerialDevice::Read(handle, buffer, sizeof buffer, 1000, status);
  EXPECT_EQ(status, IoStatus::Ok);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), n), "OK\r\n");
  EXPECT_EQ(PosixSerialDevice::Write(handle, reinterpret_cast<const uint8_t*>("AT\r"), 3, 1000, status), 3u);
  EXPECT_EQ(status, IoStatus::Ok);
  EXPECT_EQ(peer.ReadUntil("\r", 1000), "AT\r");
}

TEST_F(PtyDevice, HangUpIsAFailedReadNotASilence) {
  peer.Hangup();
  uint8_t buffer[4];
  IoStatus status;
  const uint32_t start = fonexa::platform::TickCount();
  EXPECT_EQ(PosixSerialDevice::Read(handle, buffer, sizeof buffer, 5000, status), 0u);
  EXPECT_EQ(status, IoStatus::Failed);
  EXPECT_LT(fonexa::platform::TickCount() - start, 4000u);  // did not wait out the time-out
}

TEST(PosixSerialDeviceOpen, MissingDeviceAndNonTerminal) {
  EXPECT_EQ(PosixSerialDevice::Open("/dev/does-not-exist"), PosixSerialDevice::kInvalidHandle);
  const int handle = PosixSerialDevice::Open("/dev/null");
  ASSERT_NE(handle, PosixSerialDevice::kInvalidHandle);
  LineSettings settings;
  EXPECT_FALSE(PosixSerialDevice::ReadLineSettings(handle, settings));
  EXPECT_TRUE(PosixSerialDevice::Close(handle));
}
