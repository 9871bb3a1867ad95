#pragma once
// Commands as a table: the AT name, the handler that answers it. A handler
// fills a Reply: information lines and an outcome, or a promise of both for
// later (a deferred reply), or a "> " prompt for text that follows.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sim/at/AtCommandLine.h"
#include "sim/at/ResultCodes.h"

namespace fonexa::sim {

struct ModemContext;
struct Reply;

// The final answer of a command that runs on (ATD until the call is set up,
// +COPS=? while the phone scans). A character from the terminal aborts an
// abortable command, as V.250 lets it.
class DeferredReply {
 public:
  void finish(std::vector<std::string> lines, Outcome outcome);
  bool finished() const { return done_; }

  bool abortable = true;
  std::function<void()> onAbort;
  Outcome abortOutcome = Outcome::final(FinalResult::NoCarrier);

 private:
  friend class CommandDispatcher;
  std::function<void(std::vector<std::string>, Outcome)> deliver_;
  bool done_ = false;
  // A reply finished before the dispatcher took it over.
  std::vector<std::string> earlyLines_;
  Outcome earlyOutcome_;
};

struct Reply {
  std::vector<std::string> lines;
  Outcome outcome = Outcome::ok();
  std::shared_ptr<DeferredReply> deferred;
  // Set for a prompt: the text up to Ctrl-Z goes to it and its reply ends
  // the command.
  std::function<void(const std::string& text, Reply& reply)> onPromptText;
  // Text mode: spaces belong to the message and a CR starts a new line of
  // it (PDU mode ignores both).
  bool promptTakesText = false;

  void info(std::string line) { lines.push_back(std::move(line)); }
  void fail(Outcome o) { outcome = o; }
  std::shared_ptr<DeferredReply> defer() {
    deferred = std::make_shared<DeferredReply>();
    return deferred;
  }
};

using CommandHandler = std::function<void(ModemContext&, const AtCommand&, Reply&)>;

class CommandTable {
 public:
  void add(const std::string& name, CommandHandler handler) { handlers_[name] = std::move(handler); }
  const CommandHandler* find(const std::string& name) const {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& [name, h] : handlers_) out.push_back(name);
    return out;
  }

 private:
  std::unordered_map<std::string, CommandHandler> handlers_;
};

}  // namespace fonexa::sim
