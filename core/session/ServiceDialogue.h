// The one shape every service operation's AT dialogue has: a session that is
// opened for the operation (or must already be open), the command written, the
// answer lines read, and an exit trace line with its reason. The operations
// keep their own entry and progress lines; this keeps the discipline: whatever
// path an operation leaves by, a session it opened is closed again.
#pragma once

#include <cstdint>
#include <string>

#include "fonexa/CMxGsmBasics.h"

namespace fonexa {

class ServiceDialogue {
 public:
  static constexpr uint32_t kStandardTimeoutMs = 3000;
  static constexpr uint32_t kNetworkTimeoutMs = 60000;

  // scope names the operation in trace lines, as "CMxGsmNetwork::GetSignalQuality".
  ServiceDialogue(CMxGsmBasics* session, std::string scope) : session_(session), scope_(std::move(scope)) {}
  ~ServiceDialogue() { Close(); }
  ServiceDialogue(const ServiceDialogue&) = delete;
  ServiceDialogue& operator=(const ServiceDialogue&) = delete;

  bool HasSession() const { return session_ != nullptr; }
  CMxGsmBasics* Session() const { return session_; }

  // Opens the session for this operation. On failure traces the reason as the
  // exit line and closes again, as a failed open must be balanced too.
  bool Open(const char* failureReason);
  // For operations that need a session already open: traces the reason on failure.
  bool RequireOpen(const char* failureReason);

  // Writes the command; returns what the port reports as sent (empty: nothing was).
  std::string Send(const std::string& command, uint32_t timeoutMs = kStandardTimeoutMs);
  // Send with its progress lines "scope>>Send:[command].\r\n" before and
  // "scope>>Echo:[echo].\r\n" after; returns the echo.
  std::string SendTraced(const std::string& command, uint32_t timeoutMs = kStandardTimeoutMs);
  // One answer line with its line end (unsolicited codes skipped); empty on silence.
  std::string Line(uint32_t timeoutMs = kStandardTimeoutMs);
  // The blank line, then the result line: the final read.
  std::string Final(uint32_t timeoutMs = kStandardTimeoutMs);
  // A progress line "scope>>label:[text].\r\n", as answers are traced.
  void Trace(const char* label, const std::string& text) const;
  // Line and Final with the answer traced under label.
  std::string TracedLine(const char* label, uint32_t timeoutMs = kStandardTimeoutMs);
  std::string TracedFinal(const char* label, uint32_t timeoutMs = kStandardTimeoutMs);
  bool IsOk(const std::string& text) const { return session_->IsOk(text) != 0; }
  bool IsError(const std::string& text) const { return session_->IsError(text) != 0; }

  // Traces "<--scope>>reason\r\n", closes the session if this dialogue opened
  // it, and returns result.
  int Exit(const char* reason, int result);
  // Closes the session if this dialogue opened it (idempotent).
  void Close();

 private:
  CMxGsmBasics* session_;
  std::string scope_;
  bool opened_ = false;
};

}  // namespace fonexa
