#pragma once
// What happens to a dialled call, as data: rules matched against the number
// in order, the first match deciding the outcome and the timing.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

enum class DialOutcome {
  Connect,     // the other side answers: OK
  Busy,        // BUSY after a short ring-back
  NoDialtone,  // NO DIALTONE at once (no network for the call)
  NoCarrier,   // NO CARRIER after the call set-up failed
  NoAnswer,    // ring-back until the network gives up: NO ANSWER
};

std::optional<DialOutcome> dialOutcomeFromName(std::string_view name);
std::string_view dialOutcomeName(DialOutcome outcome);

struct DialRule {
  std::string pattern;  // "*" any number, "0800*" a prefix, otherwise the exact number
  DialOutcome outcome = DialOutcome::Connect;
  std::chrono::milliseconds alertingAfter{100};  // dialling -> alerting
  std::chrono::milliseconds answerAfter{300};    // alerting -> the outcome
};

class DialRules {
 public:
  DialRules();
  // Rules added later are tried first, so a test's rule beats the defaults.
  void add(DialRule rule);
  void clear();
  // A one-shot outcome for the next dial, whatever the number.
  void setNext(DialOutcome outcome) { next_ = outcome; }
  DialRule match(std::string_view number);
  // The same ring-back timing for every rule (tests that want no waiting).
  void setTiming(std::chrono::milliseconds alertingAfter, std::chrono::milliseconds answerAfter);
  const std::vector<DialRule>& rules() const { return rules_; }

  std::chrono::milliseconds noAnswerTimeout{90000};

 private:
  std::vector<DialRule> rules_;
  std::optional<DialOutcome> next_;
};

}  // namespace fonexa::sim
