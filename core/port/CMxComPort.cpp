#include "fonexa/CMxComPort.h"

#include <algorithm>
#include <cstring>

#include "platform/PosixSerialDevice.h"
#include "platform/Tick.h"
#include "port/ByteBuffer.h"
#include "port/TickTimer.h"
#include "text/DebugLog.h"

using fonexa::ByteBuffer;
using fonexa::TickTimer;
using fonexa::TraceLog;
using fonexa::TrafficLog;
using fonexa::platform::IoStatus;
using fonexa::platform::LineSettings;
using fonexa::platform::PosixSerialDevice;

namespace {

// Reads go to the device in chunks of at most this many bytes.
constexpr int kReadChunk = 32;
constexpr int kUnlimitedCount = 65535;
// Silence that tells PurgePort the device has nothing more to say.
constexpr uint32_t kPurgeSilenceMs = 1000;
// A device that never falls silent must not hold the caller forever: purging
// gives up after this long.
constexpr uint32_t kPurgeLimitMs = 10000;
// How often the ring-indicator line is looked at while waiting for a ring.
constexpr uint32_t kRingPollMs = 20;
// The longest answer line kept. No answer of a phone comes near it (a PDU line
// is under 400 characters, a +COPS=? list a few kilobytes), so a longer one is
// noise or a broken device: the rest of it is read and dropped up to its line
// end, and the line is reported as cut, so that noise costs time up to the
// read's deadline but never memory.
constexpr size_t kMaxLineBytes = 64 * 1024;

}  // namespace

CMxComPort::CMxComPort() = default;

CMxComPort::CMxComPort(const CMxComPort& other)
    : m_portHandle(other.m_portHandle.load()),
      m_deviceControlBlock(other.m_deviceControlBlock),
      m_timeouts(other.m_timeouts),
      m_lastError(other.m_lastError),
      m_echo(other.m_echo),
      m_stopStart(other.m_stopStart),
      m_stopLength(other.m_stopLength),
      m_eventMask(other.m_eventMask.load()),
      m_ringLevel(other.m_ringLevel),
      m_readFailed(other.m_readFailed),
      m_readAheadPos(other.m_readAheadPos),
      m_readAheadEnd(other.m_readAheadEnd) {
  std::memcpy(m_readAhead, other.m_readAhead, sizeof m_readAhead);
}

CMxComPort& CMxComPort::operator=(const CMxComPort& other) {
  if (this == &other) return *this;
  m_portHandle.store(other.m_portHandle.load());
  m_deviceControlBlock = other.m_deviceControlBlock;
  m_timeouts = other.m_timeouts;
  m_lastError = other.m_lastError;
  m_echo = other.m_echo;
  m_stopStart = other.m_stopStart;
  m_stopLength = other.m_stopLength;
  m_eventMask.store(other.m_eventMask.load());
  m_ringLevel = other.m_ringLevel;
  m_readFailed = other.m_readFailed;
  std::memcpy(m_readAhead, other.m_readAhead, sizeof m_readAhead);
  m_readAheadPos = other.m_readAheadPos;
  m_readAheadEnd = other.m_readAheadEnd;
  return *this;
}

CMxComPort::~CMxComPort() = default;

int CMxComPort::GetPortHandle() { return m_portHandle.load(); }

int CMxComPort::IsOpened() { return m_portHandle.load() != kInvalidHandle ? 1 : 0; }

void CMxComPort::EmulateStop(uint32_t ms) {
  m_stopStart = fonexa::platform::TickCount();
  m_stopLength = ms;
}

void CMxComPort::EnableEcho(int on) { m_echo = on; }

int CMxComPort::IsStoped() {
  // Elapsed-time form, safe across the wrap of the tick count.
  return fonexa::platform::TickCount() - m_stopStart < m_stopLength ? 1 : 0;
}

bool CMxComPort::WaitForDeviceEvent(uint32_t& events) {
  events = 0;
  if (!(m_eventMask.load() & kEventRing)) return false;  // nothing armed: the wait fails at once
  bool ringing = false;
  if (!PosixSerialDevice::RingIndicator(m_portHandle.load(), ringing)) {
    // No modem lines (a pseudo-terminal): it never rings, but the wait still
    // takes its time so that the caller does not spin.
    fonexa::platform::SleepMs(kRingPollMs);
    return false;
  }
  const int level = ringing ? 1 : 0;
  const bool rang = level && !m_ringLevel;
  m_ringLevel = level;
  if (rang) {
    events = kEventRing;
    return true;
  }
  fonexa::platform::SleepMs(kRingPollMs);
  return true;
}

int CMxComPort::WaitEventRing() {
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  while (IsOpened()) {
    uint32_t events = 0;
    const bool waited = WaitForDeviceEvent(events);
    if (waited && (events & kEventRing)) return 1;
    if (GetEventRing() != 1) return 0;
  }
  return 0;
}

int CMxComPort::GetEventRing() {
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return -1;
  }
  return (m_eventMask.load() & kEventRing) ? 1 : 0;
}

int CMxComPort::SetEventRing(int on) {
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  if (on) {
    m_eventMask.fetch_or(kEventRing);
  } else {
    m_eventMask.fetch_and(~kEventRing);
  }
  return 1;
}

int CMxComPort::GetLastError() { return m_lastError; }

int CMxComPort::PurgePort() {
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  const TickTimer limit(kPurgeLimitMs);
  while (_ReadResponseChar(kPurgeSilenceMs) != 0) {
    if (limit.Expired()) break;
  }
  return 1;
}

int CMxComPort::OpenPort(const std::string& deviceName, uint32_t baudRate, uint32_t timeoutMs, uint32_t /*queueSize*/,
                         unsigned int byteSize, int parity, int stopBits) {
  ClosePort();
  _ClearLastError();
  TraceLog().Write("\r\n-->CMxComPort::OpenPort(%s,%i)\r\n", deviceName.c_str(), static_cast<int>(baudRate));
  const int handle = PosixSerialDevice::Open(deviceName);
  if (handle == kInvalidHandle) {
    TraceLog().Write("<--CMxComPort::OpenPort>>ERROR:Invalid handle.\r\n");
    _SetLastError(kErrorOpen);
    return 0;
  }
  // Queue sizes have no counterpart here: the driver sizes its own buffers.
  LineSettings settings;
  if (!PosixSerialDevice::ReadLineSettings(handle, settings)) {
    PosixSerialDevice::Close(handle);
    TraceLog().Write("<--CMxComPort::OpenPort>>ERROR:Can't get comm state.\r\n");
    _SetLastError(kErrorGetState);
    return 0;
  }
  settings.baudRate = baudRate;
  settings.byteSize = byteSize;
  settings.parity = parity;
  settings.stopBits = stopBits;
  if (!PosixSerialDevice::WriteLineSettings(handle, settings)) {
    PosixSerialDevice::Close(handle);
    TraceLog().Write("<--CMxComPort::OpenPort>>ERROR:Can't set comm state.\r\n");
    _SetLastError(kErrorSetState);
    return 0;
  }
  PosixSerialDevice::ReadLineSettings(handle, settings);
  m_deviceControlBlock = {settings.baudRate, settings.byteSize, settings.parity, settings.stopBits};
  m_timeouts.readInterval = timeoutMs;
  m_timeouts.readTotalMultiplier = timeoutMs;
  m_timeouts.readTotalConstant = timeoutMs;
  m_timeouts.writeTotalMultiplier = timeoutMs;
  m_timeouts.writeTotalConstant = timeoutMs;
  m_eventMask.store(0);
  m_ringLevel = 0;
  m_readFailed = false;
  m_readAheadPos = m_readAheadEnd = 0;
  m_portHandle.store(handle);
  TraceLog().Write("<--CMxComPort::OpenPort>>OK.\r\n");
  PurgePort();
  return 1;
}

int CMxComPort::ClosePort() {
  const int handle = m_portHandle.load();
  if (handle == kInvalidHandle) return 1;
  TraceLog().Write("CMxComPort::ClosePort>>Closing...\r\n");
  if (!PosixSerialDevice::Close(handle)) {
    TraceLog().Write("CMxComPort::ClosePort>>Failed.\r\n");
    _SetLastError(kErrorClose);
    return 0;
  }
  TraceLog().Write("CMxComPort::ClosePort>>Closed.\r\n");
  m_portHandle.store(kInvalidHandle);
  m_readAheadPos = m_readAheadEnd = 0;
  return 1;
}

int CMxComPort::IsString(const std::string& text, const std::string& pattern) {
  return !pattern.empty() && text == pattern ? 1 : 0;
}

int CMxComPort::IsError(const std::string& text) {
  static const char* const kErrorForms[] = {"ERROR", "ERROR\r\n", "\r\nERROR", "\r\nERROR\r\n"};
  for (const char* form : kErrorForms) {
    if (IsString(text, form)) return 1;
  }
  // Every "+CME ERROR:" and "+CMS ERROR:" line is an error too.
  return text.find("ERROR") != std::string::npos ? 1 : 0;
}

int CMxComPort::IsOk(const std::string& text) {
  static const char* const kOkForms[] = {"OK", "OK\r\n", "\r\nOK", "\r\nOK\r\n"};
  for (const char* form : kOkForms) {
    if (IsString(text, form)) return 1;
  }
  return 0;
}

int CMxComPort::WriteString(const std::string& text) {
  if (text.empty()) return 0;
  TrafficLog().Write("W:%s", text.c_str());
  return _WriteBytes(reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
                     static_cast<unsigned int>(text.size()));
}

std::string CMxComPort::WriteCommandString(const std::string& command, uint32_t timeoutMs) {
  if (command.empty()) return {};
  TrafficLog().Write("W:%s", command.c_str());
  unsigned char* echo = nullptr;
  _WriteCommand(reinterpret_cast<unsigned char*>(const_cast<char*>(command.data())), &echo,
                static_cast<uint32_t>(command.size()), timeoutMs);
  delete[] echo;
  return command;
}

int CMxComPort::WriteCommandStringAndWaitForResponse(const std::string& command, const std::string& expected,
                                                     int timeoutMs) {
  if (command.empty()) return 0;
  WriteCommandString(command, static_cast<uint32_t>(timeoutMs));
  if (_ReadResponseString(2, static_cast<uint32_t>(timeoutMs)) != "\r\n") return 0;
  const std::string answer = _ReadResponseString(static_cast<int>(expected.size()), static_cast<uint32_t>(timeoutMs));
  return answer == expected ? 1 : 0;
}

std::string CMxComPort::ReadAnswerString(int timeoutMs) {
  if (_ReadResponseString(2, static_cast<uint32_t>(timeoutMs)) != "\r\n") return {};
  const std::string line = ReadAnswerLineString(timeoutMs);
  if (line.size() >= 2) return line.substr(0, line.size() - 2);
  return line;
}

std::string CMxComPort::ReadAnswerLineString(int timeoutMs) {
  const auto deadline = static_cast<uint32_t>(timeoutMs);
  const TickTimer timer(deadline);
  TrafficLog().Write("R:");
  std::string line;
  size_t dropped = 0;
  char previous = 0;  // the last byte received, kept or dropped
  bool ended = false;
  bool deviceGone = false;
  for (;;) {
    const char c = _ReadResponseChar(deadline);
    // A NUL byte cannot be told from silence; neither becomes part of the line.
    if (c != 0) {
      ended = previous == '\r' && c == '\n';
      previous = c;
      // The "\n" that ends a line right at the cap still belongs to it.
      if (line.size() < kMaxLineBytes || (ended && dropped == 0)) {
        line.push_back(c);
      } else {
        ++dropped;
      }
    }
    if (ended) break;
    if (m_readFailed) {
      deviceGone = true;  // the line hung up: nothing more will come
      break;
    }
    if (timer.Expired() || IsStoped()) break;
  }
  if (IsStoped()) {
    TrafficLog().Write("(stopped)\r\n");
    return {};
  }
  if (deviceGone) return {};
  if (dropped > 0) {
    TrafficLog().Write("(cut: %zu bytes dropped)\r\n", dropped);
    TraceLog().Write("CMxComPort::ReadAnswerLineString>>Line cut:[%zu of %zu bytes kept].\r\n", line.size(),
                     line.size() + dropped);
    _SetLastError(kErrorTimeout);
    // A cut line that did end still ends as a line, so that the reader stays
    // in step with the answer.
    if (ended) {
      if (line.back() == '\r') line.pop_back();
      line += "\r\n";
    }
    return line;
  }
  if (timer.Expired() && !ended) {
    TrafficLog().Write("(expired)\r\n");
    if (line.empty()) return {};
    _SetLastError(kErrorTimeout);
    return line;
  }
  return line;
}

uint32_t CMxComPort::GetPortSwitchState(int /*which*/) { return 0; }

int CMxComPort::SwitchPower(unsigned int /*command*/) { return 0; }

std::string CMxComPort::_ReadResponseString(int count, uint32_t timeoutMs) {
  unsigned char* bytes = nullptr;
  const int total = _ReadResponseBytes(&bytes, count, timeoutMs);
  std::string text;
  if (total > 0 && bytes) text.assign(reinterpret_cast<const char*>(bytes));  // up to the first NUL
  delete[] bytes;
  TrafficLog().Write("R:%s", text.c_str());
  return text;
}

void CMxComPort::_SetLastError(int code) { m_lastError = code; }

void CMxComPort::_ClearLastError() { m_lastError = 0; }

int CMxComPort::_ReadBytes(unsigned char* buffer, int count) {
  m_readFailed = false;
  if (!buffer || count < 1 || IsStoped()) return 0;
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  // The device is asked for as much as it holds, up to the read-ahead's size,
  // rather than for the bytes wanted: a line read byte by byte costs one
  // system call per line, not one per byte.
  if (m_readAheadPos == m_readAheadEnd) {
    IoStatus status;
    const size_t n = PosixSerialDevice::Read(m_portHandle.load(), m_readAhead, sizeof m_readAhead,
                                             m_timeouts.readTotalConstant, status);
    if (status == IoStatus::Failed) {
      _SetLastError(kErrorRead);
      m_readFailed = true;
      return 0;
    }
    m_readAheadPos = 0;
    m_readAheadEnd = static_cast<int>(n);
    if (n == 0) return 0;  // the per-read time-out passed in silence
  }
  const int n = std::min(count, m_readAheadEnd - m_readAheadPos);
  std::memcpy(buffer, m_readAhead + m_readAheadPos, static_cast<size_t>(n));
  m_readAheadPos += n;
  return n;
}

int CMxComPort::_WriteBytes(unsigned char* buffer, unsigned int count) {
  if (!buffer || count == 0) return 0;
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  const uint32_t timeoutMs = m_timeouts.writeTotalConstant + m_timeouts.writeTotalMultiplier * count;
  IoStatus status;
  const size_t n = PosixSerialDevice::Write(m_portHandle.load(), buffer, count, timeoutMs, status);
  if (status == IoStatus::TimedOut) {
    _SetLastError(kErrorTimeout);
    return 0;
  }
  if (status == IoStatus::Failed) {
    _SetLastError(kErrorWrite);
    return 0;
  }
  return static_cast<int>(n);
}

int CMxComPort::_ReadResponseBytes(unsigned char** out, int count, uint32_t timeoutMs) {
  if (count == -1) count = kUnlimitedCount;
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  ByteBuffer buffer;
  if (out) *out = nullptr;
  const TickTimer timer(timeoutMs);
  int remaining = count;
  int total = 0;
  unsigned char chunk[kReadChunk];
  for (;;) {
    const int n = _ReadBytes(chunk, remaining < kReadChunk ? remaining : kReadChunk);
    remaining -= n;
    if (m_readFailed) return 0;  // the device is gone: what came is discarded
    buffer.Append(chunk, static_cast<size_t>(n));
    total += n;
    if (timer.Expired() || remaining <= 0 || IsStoped()) break;
  }
  if (out && total > 0) *out = buffer.TakeCopy();
  return total;
}

char CMxComPort::_ReadResponseChar(uint32_t timeoutMs) {
  if (!IsOpened()) {
    _SetLastError(kErrorNotOpen);
    return 0;
  }
  const TickTimer timer(timeoutMs);
  unsigned char byte = 0;
  int n = _ReadBytes(&byte, 1);
  if (m_readFailed) return 0;
  for (;;) {
    if (timer.Expired() || n > 0) {
      if (n == 1) {
        TrafficLog().Write("%c", static_cast<char>(byte));
        return static_cast<char>(byte);
      }
      return 0;
    }
    if (IsStoped()) return 0;
    n = _ReadBytes(&byte, 1);
    if (m_readFailed) return 0;
  }
}

int CMxComPort::_WriteCommand(unsigned char* data, unsigned char** echoOut, uint32_t length, uint32_t timeoutMs) {
  if (!data || length == 0 || !echoOut) return 0;
  const int written = _WriteBytes(data, length);
  *echoOut = nullptr;
  if (written > 0 && m_echo) return _ReadResponseBytes(echoOut, written, timeoutMs);
  return 0;
}
