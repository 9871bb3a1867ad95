// A modem played from a script, for tests that need exact byte sequences
// (unsolicited codes in the middle of an answer, a silent device, a given +CPIN
// word). It echoes commands until "ATE0", answers each command from its table,
// and records every command with the times its answer started and ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PtyPeer.h"

namespace fonexa::testing {

class ScriptedModem {
 public:
  struct Exchange {
    std::string command;
    uint64_t receivedNs;  // CLOCK_MONOTONIC when the command's last byte arrived
    uint64_t answeredNs;  // when the answer was written
  };

  ScriptedModem();
  ~ScriptedModem();

  const std::string& Path() const { return peer_.SlavePath(); }
  // The answer to a command given without its "\r"; replaces the default
  // ("\r\nOK\r\n" for "AT" commands, "\r\nERROR\r\n" for anything else).
  void On(const std::string& command, const std::string& answer);
  // Answers come after this delay (to widen the window in which two dialogues
  // could overlap).
  void SetAnswerDelayMs(uint32_t ms) { delayMs_ = ms; }
  // Stops answering anything (the echo too).
  void SetSilent(bool silent) { silent_ = silent; }
  // Bytes out of turn, as an unsolicited code.
  void Send(const std::string& bytes) { peer_.Write(bytes); }

  std::vector<std::string> Commands() const;
  std::vector<Exchange> Exchanges() const;
  // Waits until count commands have arrived; false on time-out.
  bool WaitForCommands(size_t count, uint32_t timeoutMs) const;
  void ClearCommands();

  static uint64_t NowNs();

 private:
  void Run();
  std::string AnswerFor(const std::string& command);

  PtyPeer peer_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> silent_{false};
  std::atomic<uint32_t> delayMs_{0};
  bool echo_ = true;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, std::string> answers_;
  std::vector<Exchange> exchanges_;
  std::thread thread_;
};

}  // namespace fonexa::testing
