#include "sim/at/CommandDispatcher.h"

#include <cctype>

namespace fonexa::sim {

void DeferredReply::finish(std::vector<std::string> lines, Outcome outcome) {
  if (done_) return;
  done_ = true;
  if (deliver_) {
    deliver_(std::move(lines), outcome);
  } else {
    earlyLines_ = std::move(lines);
    earlyOutcome_ = outcome;
  }
}

CommandDispatcher::CommandDispatcher(ModemContext& ctx, const CommandTable& table, Writer writer)
    : ctx_(ctx), table_(table), write_(std::move(writer)) {}

void CommandDispatcher::receive(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (promptActive_) {
      onPromptByte(c);
    } else if (pending_) {
      if (!pending_->abortable) {
        heldInput_ += c;
        continue;
      }
      if (c == '\n' && lineEndJustSeen_) {
        lineEndJustSeen_ = false;
        continue;
      }
      // V.250: any character aborts the command and is itself discarded.
      auto aborted = std::move(pending_);
      aborted->done_ = true;
      if (aborted->onAbort) aborted->onAbort();
      finishLine(aborted->abortOutcome);
    } else {
      onCommandByte(c);
    }
  }
}

void CommandDispatcher::onCommandByte(char c) {
  const auto& s = ctx_.settings;
  lineEndJustSeen_ = false;
  if (s.echo) write_(std::string(1, c), OutputKind::Echo);
  if (c == static_cast<char>(s.s[3])) {
    lineEndJustSeen_ = true;
    std::string line;
    line.swap(line_);
    const bool overflow = lineOverflow_;
    lineOverflow_ = false;
    if (overflow && line.find_first_not_of(' ') != std::string::npos) {
      finishLine(Outcome::error());
      return;
    }
    executeLine(line);
    return;
  }
  if (c == static_cast<char>(s.s[5])) {
    if (!line_.empty()) line_.pop_back();
    return;
  }
  if (c == '\n' || c == '\0') return;  // the LF after a CR, or line noise
  if (line_.size() >= maxLineLength) {
    lineOverflow_ = true;
    return;
  }
  line_ += c;
  // "A/" repeats the last command line at once, without a terminator.
  if (line_ == "A/" || line_ == "a/") {
    line_.clear();
    if (!lastLine_.empty()) executeLine(lastLine_);
  }
}

void CommandDispatcher::executeLine(const std::string& line) {
  // Characters before the "AT" prefix are ignored; a line without it gets
  // no answer at all.
  size_t at = std::string::npos;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) == 'A' &&
        std::toupper(static_cast<unsigned char>(line[i + 1])) == 'T') {
      at = i;
      break;
    }
  }
  if (at == std::string::npos) return;
  lastLine_ = line.substr(at);
  auto commands = parseCommandLine(std::string_view(line).substr(at + 2));
  if (!commands) {
    finishLine(Outcome::error());
    return;
  }
  queue_.assign(commands->begin(), commands->end());
  runQueue();
}

void CommandDispatcher::runQueue() {
  while (!queue_.empty()) {
    AtCommand cmd = std::move(queue_.front());
    queue_.pop_front();
    Reply reply;
    if (const CommandHandler* handler = table_.find(cmd.name)) {
      (*handler)(ctx_, cmd, reply);
    } else {
      reply.fail(Outcome::error());
    }
    if (applyReply(reply)) return;
  }
  finishLine(Outcome::ok());
}

bool CommandDispatcher::applyReply(Reply& reply) {
  writeLines(reply.lines);
  if (reply.onPromptText) {
    promptActive_ = true;
    promptText_.clear();
    onPromptText_ = std::move(reply.onPromptText);
    promptTakesText_ = reply.promptTakesText;
    write_("\r\n> ", OutputKind::Response);
    return true;
  }
  if (reply.deferred && reply.deferred->finished()) {
    auto done = std::move(reply.deferred);
    Reply early;
    early.lines = std::move(done->earlyLines_);
    early.outcome = done->earlyOutcome_;
    return applyReply(early);
  }
  if (reply.deferred) {
    pending_ = reply.deferred;
    std::weak_ptr<DeferredReply> weak = reply.deferred;
    pending_->deliver_ = [this, weak](std::vector<std::string> lines, Outcome outcome) {
      if (auto which = weak.lock()) deferredFinished(which, std::move(lines), outcome);
    };
    return true;
  }
  if (!reply.outcome.isOk()) {
    queue_.clear();
    finishLine(reply.outcome);
    return true;
  }
  return false;
}

void CommandDispatcher::deferredFinished(const std::shared_ptr<DeferredReply>& which, std::vector<std::string> lines,
                                         Outcome outcome) {
  if (pending_ != which) return;
  pending_.reset();
  Reply reply;
  reply.lines = std::move(lines);
  reply.outcome = outcome;
  if (!applyReply(reply)) runQueue();
}

void CommandDispatcher::onPromptByte(char c) {
  if (c == 0x1A) {  // Ctrl-Z ends the text
    promptActive_ = false;
    auto handler = std::move(onPromptText_);
    onPromptText_ = nullptr;
    std::string text;
    text.swap(promptText_);
    Reply reply;
    handler(text, reply);
    if (!applyReply(reply)) runQueue();
    return;
  }
  if (c == 0x1B) {  // ESC cancels it
    promptActive_ = false;
    onPromptText_ = nullptr;
    promptText_.clear();
    queue_.clear();
    finishLine(Outcome::ok());
    return;
  }
  if (ctx_.settings.echo) write_(std::string(1, c), OutputKind::Echo);
  if (promptTakesText_) {
    if (c == '\n') return;
    if (c == '\r') {
      write_("\r\n> ", OutputKind::Response);
      c = '\n';
    }
  } else if (c == '\r' || c == '\n' || c == ' ') {
    return;
  }
  if (promptText_.size() < maxPromptText) promptText_ += c;
}

void CommandDispatcher::writeLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const auto& s = ctx_.settings;
  const std::string eol{static_cast<char>(s.s[3]), static_cast<char>(s.s[4])};
  std::string out;
  if (s.verbose) out += eol;
  for (const auto& l : lines) out += l + eol;
  write_(std::move(out), OutputKind::Response);
}

void CommandDispatcher::writeFinal(Outcome outcome) {
  const auto& s = ctx_.settings;
  if (s.quiet) return;
  const std::string eol{static_cast<char>(s.s[3]), static_cast<char>(s.s[4])};
  std::string text;
  switch (outcome.kind) {
    case Outcome::Kind::Result:
      if (!s.verbose) {
        write_(std::to_string(static_cast<int>(outcome.result)) + static_cast<char>(s.s[3]), OutputKind::Response);
        return;
      }
      text = std::string(finalResultText(outcome.result));
      break;
    case Outcome::Kind::Cme:
      if (s.cmee == 0) {
        text = "ERROR";
      } else {
        text = "+CME ERROR: " + (s.cmee == 2 ? std::string(cmeErrorText(static_cast<CmeError>(outcome.code)))
                                             : std::to_string(outcome.code));
      }
      break;
    case Outcome::Kind::Cms:
      text = "+CMS ERROR: " + (s.cmee == 2 ? std::string(cmsErrorText(static_cast<CmsError>(outcome.code)))
                                           : std::to_string(outcome.code));
      break;
  }
  write_(s.verbose ? eol + text + eol : text + eol, OutputKind::Response);
}

void CommandDispatcher::finishLine(Outcome outcome) {
  queue_.clear();
  writeFinal(outcome);
  releaseHeld();
  if (afterCommandLine) afterCommandLine();
  if (!heldInput_.empty() && !lineTaken()) {
    std::string input;
    input.swap(heldInput_);
    receive(input);
  }
}

void CommandDispatcher::emitUnsolicited(const std::string& text) {
  const auto& s = ctx_.settings;
  const std::string eol{static_cast<char>(s.s[3]), static_cast<char>(s.s[4])};
  write_(s.verbose ? eol + text + eol : text + eol, OutputKind::Unsolicited);
}

void CommandDispatcher::unsolicited(const std::string& text, UnsolicitedKind kind) {
  if (kind == UnsolicitedKind::MessageIndication) {
    const int mode = ctx_.settings.cnmi.mode;
    if (mode == 0) {  // kept in the phone until the terminal asks for indications
      messageBuffer_.push_back(text);
      if (messageBuffer_.size() > 64) messageBuffer_.pop_front();
      return;
    }
    if (mode == 1 && lineTaken()) return;  // mode 1 drops what the busy line cannot take
  }
  if (lineTaken()) {
    heldUnsolicited_.push_back(text);
    return;
  }
  emitUnsolicited(text);
}

void CommandDispatcher::releaseHeld() {
  while (!heldUnsolicited_.empty() && !lineTaken()) {
    const std::string text = std::move(heldUnsolicited_.front());
    heldUnsolicited_.pop_front();
    emitUnsolicited(text);
  }
}

void CommandDispatcher::releaseMessageBuffer(bool discard) {
  std::deque<std::string> buffered;
  buffered.swap(messageBuffer_);
  if (discard) return;
  for (const auto& text : buffered) unsolicited(text, UnsolicitedKind::MessageIndication);
}

void CommandDispatcher::reset() {
  line_.clear();
  lineOverflow_ = false;
  queue_.clear();
  if (pending_) pending_->done_ = true;
  pending_.reset();
  promptActive_ = false;
  promptText_.clear();
  onPromptText_ = nullptr;
  heldInput_.clear();
  heldUnsolicited_.clear();
  messageBuffer_.clear();
}

}  // namespace fonexa::sim
