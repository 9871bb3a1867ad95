#include "sim/state/DialRules.h"

#include <array>
#include <utility>

namespace fonexa::sim {
namespace {
constexpr std::array<std::pair<DialOutcome, std::string_view>, 5> kNames = {{
    {DialOutcome::Connect, "connect"},
    {DialOutcome::Busy, "busy"},
    {DialOutcome::NoDialtone, "no-dialtone"},
    {DialOutcome::NoCarrier, "no-carrier"},
    {DialOutcome::NoAnswer, "no-answer"},
}};

bool matches(std::string_view pattern, std::string_view number) {
  if (pattern == "*") return true;
  if (!pattern.empty() && pattern.back() == '*') return number.substr(0, pattern.size() - 1) == pattern.substr(0, pattern.size() - 1);
  return pattern == number;
}
}  // namespace

std::optional<DialOutcome> dialOutcomeFromName(std::string_view name) {
  for (const auto& [outcome, text] : kNames) {
    if (text == name) return outcome;
  }
  return std::nullopt;
}

std::string_view dialOutcomeName(DialOutcome outcome) {
  for (const auto& [o, text] : kNames) {
    if (o == outcome) return text;
  }
  return "connect";
}

// The default book of numbers that behave in a fixed way, so that a user at a
// terminal can try each outcome without a control command.
DialRules::DialRules() {
  rules_ = {
      {"*", DialOutcome::Connect, std::chrono::milliseconds(100), std::chrono::milliseconds(300)},
      {"+4915550000", DialOutcome::Busy, std::chrono::milliseconds(100), std::chrono::milliseconds(300)},
      {"+4915550001", DialOutcome::NoCarrier, std::chrono::milliseconds(100), std::chrono::milliseconds(300)},
      {"+4915550002", DialOutcome::NoAnswer, std::chrono::milliseconds(100), std::chrono::milliseconds(300)},
  };
}

void DialRules::add(DialRule rule) { rules_.push_back(std::move(rule)); }

void DialRules::clear() {
  rules_.clear();
  rules_.push_back({"*", DialOutcome::Connect, std::chrono::milliseconds(100), std::chrono::milliseconds(300)});
  next_.reset();
}

void DialRules::setTiming(std::chrono::milliseconds alertingAfter, std::chrono::milliseconds answerAfter) {
  for (auto& r : rules_) {
    r.alertingAfter = alertingAfter;
    r.answerAfter = answerAfter;
  }
}

DialRule DialRules::match(std::string_view number) {
  DialRule found = rules_.front();
  for (auto it = rules_.rbegin(); it != rules_.rend(); ++it) {
    if (matches(it->pattern, number)) {
      found = *it;
      break;
    }
  }
  if (next_) {
    found.outcome = *next_;
    next_.reset();
  }
  return found;
}

}  // namespace fonexa::sim
