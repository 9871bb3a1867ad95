#include "codec/MessageJoining.h"

#include <algorithm>
#include <utility>

namespace fonexa {

namespace {

bool IsPartOfMany(const SmsEntry& entry) {
  return entry.PartCount > 1 && entry.MessageKind != SmsEntry::StatusReport;
}

// A message with room for each of its parts.
JoinedMessage Open(const SmsEntry& part) {
  JoinedMessage message;
  message.PhoneNumber = part.PhoneNumberUtf8.empty() ? part.PhoneNumber : part.PhoneNumberUtf8;
  message.ProviderPhone = part.ProviderPhone;
  message.MessageKind = part.MessageKind;
  message.PartReference = IsPartOfMany(part) ? part.PartReference : -1;
  message.PartCount = IsPartOfMany(part) ? part.PartCount : 1;
  const auto count = static_cast<size_t>(message.PartCount);
  message.PartIndices.assign(count, -1);
  message.PartPresent.assign(count, false);
  message.PartTexts.assign(count, std::string());
  message.MissingParts = message.PartCount;
  return message;
}

// Puts a part in its place; a place taken already keeps its first part.
void Place(JoinedMessage& message, const SmsEntry& part) {
  const size_t slot = message.PartCount > 1 ? static_cast<size_t>(part.PartNumber - 1) : 0;
  if (slot >= message.PartPresent.size() || message.PartPresent[slot]) return;
  const bool earliest = std::find(message.PartPresent.begin(),
                                  message.PartPresent.begin() + static_cast<std::ptrdiff_t>(slot),
                                  true) == message.PartPresent.begin() + static_cast<std::ptrdiff_t>(slot);
  message.PartPresent[slot] = true;
  message.PartIndices[slot] = part.Index;
  message.PartTexts[slot] = part.TextUtf8;
  --message.MissingParts;
  // Time and <stat> are those of the earliest part present.
  if (earliest) {
    message.Time = part.Time;
    message.State = part.State;
    if (!part.ProviderPhone.empty()) message.ProviderPhone = part.ProviderPhone;
  }
}

void Close(JoinedMessage& message) {
  message.TextUtf8.clear();
  for (const std::string& text : message.PartTexts) message.TextUtf8 += text;
}

JoinedMessage Single(const SmsEntry& entry) {
  JoinedMessage message = Open(entry);
  Place(message, entry);
  Close(message);
  return message;
}

std::tuple<std::string, int, int, int> KeyOf(const SmsEntry& part) {
  return {part.PhoneNumberUtf8.empty() ? part.PhoneNumber : part.PhoneNumberUtf8, part.MessageKind,
          part.PartReference, part.PartCount};
}

}  // namespace

std::vector<JoinedMessage> JoinMessageParts(const std::vector<SmsEntry>& entries) {
  std::vector<JoinedMessage> joined;
  std::map<std::tuple<std::string, int, int, int>, size_t> groups;
  for (const SmsEntry& entry : entries) {
    if (!IsPartOfMany(entry)) {
      joined.push_back(Single(entry));
      continue;
    }
    const auto [found, added] = groups.try_emplace(KeyOf(entry), joined.size());
    if (added) joined.push_back(Open(entry));
    Place(joined[found->second], entry);
  }
  for (JoinedMessage& message : joined) Close(message);
  return joined;
}

// ---- Parts delivered to the terminal -------------------------------------------

PartAssembler& PartAssembler::Process() {
  static PartAssembler assembler;
  return assembler;
}

std::optional<JoinedMessage> PartAssembler::Add(const SmsEntry& part, uint32_t nowMs,
                                                std::vector<JoinedMessage>& givenUp) {
  if (!IsPartOfMany(part)) return Single(part);
  std::lock_guard<std::mutex> lock(mutex_);
  auto [found, added] = held_.try_emplace(KeyOf(part));
  if (added) {
    found->second.message = Open(part);
    found->second.firstMs = nowMs;
  }
  JoinedMessage& message = found->second.message;
  Place(message, part);
  if (message.MissingParts == 0) {
    JoinedMessage whole = std::move(message);
    held_.erase(found);
    Close(whole);
    return whole;
  }
  while (held_.size() > kMaxHeld) {
    const auto oldest = std::min_element(held_.begin(), held_.end(), [nowMs](const auto& a, const auto& b) {
      return nowMs - a.second.firstMs > nowMs - b.second.firstMs;
    });
    givenUp.push_back(std::move(oldest->second.message));
    Close(givenUp.back());
    held_.erase(oldest);
  }
  return std::nullopt;
}

std::vector<JoinedMessage> PartAssembler::Expired(uint32_t nowMs) {
  std::vector<JoinedMessage> expired;
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto held = held_.begin(); held != held_.end();) {
    if (nowMs - held->second.firstMs < timeLimitMs_) {
      ++held;
      continue;
    }
    expired.push_back(std::move(held->second.message));
    Close(expired.back());
    held = held_.erase(held);
  }
  return expired;
}

bool PartAssembler::Holding() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !held_.empty();
}

void PartAssembler::SetTimeLimit(uint32_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  timeLimitMs_ = ms;
}

uint32_t PartAssembler::TimeLimit() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return timeLimitMs_;
}

void PartAssembler::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  held_.clear();
}

}  // namespace fonexa
