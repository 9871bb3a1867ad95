// A serial line (or pseudo-terminal) opened through termios. Reads never block
// longer than the time-out they are given.
#pragma once

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fonexa::platform {

// Line settings as read from the device and changed before they are written back.
struct LineSettings {
  termios attributes{};
  uint32_t baudRate = 0;
  unsigned byteSize = 8;
  int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int stopBits = 0;  // 0 one, 1 one and a half (as two), 2 two
};

enum class IoStatus { Ok, TimedOut, Failed };

// The operations work on a plain file descriptor, the port object's handle, so
// that a copy of the port shares the open device as its handle does.
class PosixSerialDevice {
 public:
  static constexpr int kInvalidHandle = -1;

  // "COM3" and "COM3:" name /dev/ttyS2; any other name is a device path.
  static std::string DevicePathFor(const std::string& portName);

  // Opens the device for reading and writing, exclusively (TIOCEXCL), without
  // making it the controlling terminal. Returns the handle or kInvalidHandle.
  static int Open(const std::string& portName);
  // False when closing failed; the handle is then still open.
  static bool Close(int handle);

  static bool ReadLineSettings(int handle, LineSettings& settings);
  // Raw settings from the fields of settings, no flow control; false when the
  // driver refuses them (an unsupported baud rate among them).
  static bool WriteLineSettings(int handle, const LineSettings& settings);

  // One read of up to count bytes, waiting at most timeoutMs for the first byte.
  // Returns the bytes read; status TimedOut when nothing arrived in time, Failed
  // on hang-up or an I/O error (the device went away).
  static size_t Read(int handle, uint8_t* buffer, size_t count, uint32_t timeoutMs, IoStatus& status);
  // Writes all bytes unless the line stays blocked past timeoutMs.
  static size_t Write(int handle, const uint8_t* buffer, size_t count, uint32_t timeoutMs, IoStatus& status);
  // Discards what the driver holds in both directions.
  static bool Flush(int handle);

  // The level of the ring-indicator line; false where the device has no modem
  // lines (a pseudo-terminal).
  static bool RingIndicator(int handle, bool& ringing);
};

}  // namespace fonexa::platform
