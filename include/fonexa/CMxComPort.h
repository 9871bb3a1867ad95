/// @file
/// CMxComPort: the serial channel to the phone or GSM module.
///
/// The one object that touches the line: it opens the device, writes command
/// text, consumes the command echo, reads answers byte-wise or line-wise under a
/// millisecond deadline, recognises final "OK"/"ERROR" lines, waits for the
/// ring-indicator line and offers a stop window during which every read gives up
/// at once. Device plug-ins derive their own port class from it; the virtual
/// operations keep this order because the plug-ins' tables depend on it.
///
/// Every write and read is mirrored into the traffic log, open and close into the
/// trace log.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "fonexa/FonexaApi.h"

// The line settings of an open port, as the device confirmed them.
struct MxLineSettings {
  uint32_t baudRate = 0;
  unsigned int byteSize = 0;
  int parity = 0;
  int stopBits = 0;
};

// Read and write time-outs of an open port, in milliseconds.
struct MxCommTimeouts {
  uint32_t readInterval = 0;
  uint32_t readTotalMultiplier = 0;
  uint32_t readTotalConstant = 0;
  uint32_t writeTotalMultiplier = 0;
  uint32_t writeTotalConstant = 0;
};

/// The serial channel to the phone or module: one per session, owned by the device profile.
class FONEXA_API CMxComPort {
 public:
  // Codes recorded as the last error.
  enum ErrorCode {
    kNoError = 0,
    kErrorOpen = 1,            // the device could not be opened
    kErrorClose = 2,           // closing the handle failed
    kErrorRead = 3,            // a read failed other than by time-out (the device is gone)
    kErrorWrite = 4,           // a write failed other than by time-out
    kErrorSetup = 5,           // setting the queue sizes failed
    kErrorGetState = 6,        // reading the line settings failed
    kErrorSetState = 7,        // writing the line settings failed
    kErrorGetTimeouts = 8,     // reading the time-outs failed
    kErrorSetTimeouts = 9,     // writing the time-outs failed
    kErrorTimeout = 10,        // a read or write timed out, or a line was cut by its deadline
    kErrorNotOpen = 11,        // the port is not open
  };

  static constexpr int kInvalidHandle = -1;
  static constexpr uint32_t kEventRing = 0x0100;

  CMxComPort();
  // Copies share the open device; neither copy owns it more than the other.
  CMxComPort(const CMxComPort& other);
  CMxComPort& operator=(const CMxComPort& other);
  // Does not close the port.
  virtual ~CMxComPort();

  virtual int GetPortHandle();
  virtual int IsOpened();
  virtual void EmulateStop(uint32_t ms);
  virtual void EnableEcho(int on);
  virtual int IsStoped();
  virtual int WaitEventRing();
  virtual int GetEventRing();
  virtual int SetEventRing(int on);
  virtual int GetLastError();
  virtual int PurgePort();
  virtual int OpenPort(const std::string& deviceName, uint32_t baudRate, uint32_t timeoutMs, uint32_t queueSize,
                       unsigned int byteSize, int parity, int stopBits);
  virtual int ClosePort();
  virtual int IsString(const std::string& text, const std::string& pattern);
  virtual int IsError(const std::string& text);
  virtual int IsOk(const std::string& text);
  virtual int WriteString(const std::string& text);
  virtual std::string WriteCommandString(const std::string& command, uint32_t timeoutMs);
  virtual int WriteCommandStringAndWaitForResponse(const std::string& command, const std::string& expected,
                                                   int timeoutMs);
  virtual std::string ReadAnswerString(int timeoutMs);
  virtual std::string ReadAnswerLineString(int timeoutMs);
  virtual uint32_t GetPortSwitchState(int which);
  virtual int SwitchPower(unsigned int command);

  // Reads up to count bytes (-1: up to 65535) until the deadline; the text ends
  // at the first NUL byte received.
  std::string _ReadResponseString(int count, uint32_t timeoutMs);

 protected:
  void _SetLastError(int code);
  void _ClearLastError();
  int _ReadBytes(unsigned char* buffer, int count);
  int _WriteBytes(unsigned char* buffer, unsigned int count);
  // *out receives a NUL-terminated copy of what arrived (free it with delete[]).
  int _ReadResponseBytes(unsigned char** out, int count, uint32_t timeoutMs);
  char _ReadResponseChar(uint32_t timeoutMs);
  int _WriteCommand(unsigned char* data, unsigned char** echoOut, uint32_t length, uint32_t timeoutMs);

 private:
  bool WaitForDeviceEvent(uint32_t& events);

  std::atomic<int> m_portHandle{kInvalidHandle};
  MxLineSettings m_deviceControlBlock{};
  MxCommTimeouts m_timeouts{};
  int m_lastError = 0;
  int m_echo = 1;
  uint32_t m_stopStart = 0;
  uint32_t m_stopLength = 0;
  // Platform state behind the handle: the armed device events, the ring line's
  // last level, and whether the latest read found the device gone.
  std::atomic<uint32_t> m_eventMask{0};
  int m_ringLevel = 0;
  bool m_readFailed = false;
  // What one read of the device brought beyond the bytes asked for; the next
  // reads are served from here before the device is asked again.
  unsigned char m_readAhead[256] = {};
  int m_readAheadPos = 0;
  int m_readAheadEnd = 0;
};
