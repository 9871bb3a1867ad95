#include "session/ServiceDialogue.h"

#include "text/DebugLog.h"

namespace fonexa {

bool ServiceDialogue::Open(const char* failureReason) {
  if (!session_) return false;
  if (session_->Open()) {
    opened_ = true;
    return true;
  }
  // A failed open is balanced by a Close too; it leaves a zero count at zero.
  opened_ = true;
  Exit(failureReason, 0);
  return false;
}

bool ServiceDialogue::RequireOpen(const char* failureReason) {
  if (session_ && session_->IsOpened()) return true;
  Exit(failureReason, 0);
  return false;
}

std::string ServiceDialogue::Send(const std::string& command, uint32_t timeoutMs) {
  return session_->WriteCommandString(command, timeoutMs);
}

std::string ServiceDialogue::SendTraced(const std::string& command, uint32_t timeoutMs) {
  Trace("Send", command);
  const std::string echo = Send(command, timeoutMs);
  Trace("Echo", echo);
  return echo;
}

void ServiceDialogue::Trace(const char* label, const std::string& text) const {
  TraceLog().Write("%s>>%s:[%s].\r\n", scope_.c_str(), label, text.c_str());
}

std::string ServiceDialogue::Line(uint32_t timeoutMs) { return session_->ReadAnswerLineString(static_cast<int>(timeoutMs)); }

std::string ServiceDialogue::Final(uint32_t timeoutMs) {
  return session_->ReadAnswerString(static_cast<int>(timeoutMs), 0);
}

std::string ServiceDialogue::TracedLine(const char* label, uint32_t timeoutMs) {
  std::string line = Line(timeoutMs);
  Trace(label, line);
  return line;
}

std::string ServiceDialogue::TracedFinal(const char* label, uint32_t timeoutMs) {
  std::string answer = Final(timeoutMs);
  Trace(label, answer);
  return answer;
}

int ServiceDialogue::Exit(const char* reason, int result) {
  TraceLog().Write("<--%s>>%s\r\n", scope_.c_str(), reason);
  Close();
  return result;
}

void ServiceDialogue::Close() {
  if (!opened_) return;
  opened_ = false;
  session_->Close();
}

}  // namespace fonexa
