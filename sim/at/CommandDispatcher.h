#pragma once
// The V.250 command state of the modem: it collects a command line byte by
// byte (echo, S5 editing, "A/" repeat), runs its commands from the table,
// frames their answers for V1 or V0, keeps the line for a "> " prompt or a
// command still running, and holds unsolicited codes back while the line is
// taken, following the +CNMI mode for message indications.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "sim/at/CommandTable.h"
#include "sim/line/OutputKind.h"
#include "sim/state/ModemContext.h"
#include "sim/state/UnsolicitedSink.h"

namespace fonexa::sim {

class CommandDispatcher : public UnsolicitedSink {
 public:
  using Writer = std::function<void(std::string bytes, OutputKind kind)>;

  CommandDispatcher(ModemContext& ctx, const CommandTable& table, Writer writer);

  void receive(std::string_view bytes);
  void unsolicited(const std::string& text, UnsolicitedKind kind) override;

  // +CNMI left mode 0: the buffered indications go out (bfr 0) or are dropped (bfr 1).
  void releaseMessageBuffer(bool discard);
  // Power loss: a half-typed line, a prompt and a running command are gone.
  void reset();
  bool lineTaken() const { return promptActive_ || pending_ != nullptr; }

  // Runs after each completed command line (state that follows from it).
  std::function<void()> afterCommandLine;
  size_t maxLineLength = 1024;
  size_t maxPromptText = 1024;

 private:
  void onCommandByte(char c);
  void onPromptByte(char c);
  void executeLine(const std::string& line);
  void runQueue();
  // True when the reply ended the line (error) or took it over (deferred, prompt).
  bool applyReply(Reply& reply);
  void finishLine(Outcome outcome);
  void deferredFinished(const std::shared_ptr<DeferredReply>& which, std::vector<std::string> lines, Outcome outcome);
  void writeLines(const std::vector<std::string>& lines);
  void writeFinal(Outcome outcome);
  void releaseHeld();
  void emitUnsolicited(const std::string& text);

  ModemContext& ctx_;
  const CommandTable& table_;
  Writer write_;

  std::string line_;
  bool lineOverflow_ = false;
  std::string lastLine_;
  std::deque<AtCommand> queue_;
  std::shared_ptr<DeferredReply> pending_;
  bool promptActive_ = false;
  std::string promptText_;
  std::function<void(const std::string&, Reply&)> onPromptText_;
  bool promptTakesText_ = false;
  std::string heldInput_;
  // A running command was started by a CR; an LF right behind it belongs to
  // the same line end and does not abort it.
  bool lineEndJustSeen_ = false;
  std::deque<std::string> heldUnsolicited_;
  std::deque<std::string> messageBuffer_;
};

}  // namespace fonexa::sim
