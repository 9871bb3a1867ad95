#include "codec/DeliveryReports.h"

#include <algorithm>

#include "text/PhoneNumber.h"

namespace fonexa {

DeliveryOutcome OutcomeOfReportStatus(int status) {
  if (status < 0) return DeliveryOutcome::Unknown;
  if (status <= 0x1F) return DeliveryOutcome::Delivered;
  if (status <= 0x3F) return DeliveryOutcome::Pending;
  return DeliveryOutcome::Failed;
}

const char* DeliveryOutcomeName(DeliveryOutcome outcome) {
  switch (outcome) {
    case DeliveryOutcome::Waiting: return "waiting";
    case DeliveryOutcome::Delivered: return "delivered";
    case DeliveryOutcome::Pending: return "pending";
    case DeliveryOutcome::Failed: return "failed";
    case DeliveryOutcome::Unknown: break;
  }
  return "unknown";
}

DeliveryTracker& DeliveryTracker::Process() {
  static DeliveryTracker tracker;
  return tracker;
}

int DeliveryTracker::Register(const std::string& recipient, const std::vector<int>& references) {
  std::lock_guard<std::mutex> lock(mutex_);
  Message message;
  message.id = nextId_++;
  message.recipient = recipient;
  for (const int reference : references) message.parts.push_back({reference, DeliveryOutcome::Waiting});
  messages_.push_back(std::move(message));
  if (messages_.size() > kCapacity) messages_.pop_front();
  return messages_.back().id;
}

int DeliveryTracker::Register(const std::string& recipient, size_t partCount) {
  return Register(recipient, std::vector<int>(partCount, -1));
}

void DeliveryTracker::SetReference(int messageId, size_t part, int reference) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Message& message : messages_) {
    if (message.id == messageId && part < message.parts.size()) message.parts[part].reference = reference;
  }
}

void DeliveryTracker::Forget(int messageId) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(messages_, [messageId](const Message& message) { return message.id == messageId; });
}

std::optional<DeliveryTracker::Match> DeliveryTracker::Report(const std::string& recipient, int reference,
                                                              int status) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto message = messages_.rbegin(); message != messages_.rend(); ++message) {
    if (!recipient.empty() && !ComparePhoneNumbers(recipient, message->recipient)) continue;
    const auto part = std::find_if(message->parts.begin(), message->parts.end(),
                                   [&](const Part& p) { return p.reference >= 0 && p.reference == reference; });
    if (part == message->parts.end()) continue;
    // A final word is not taken back by a late "still trying".
    const DeliveryOutcome reported = OutcomeOfReportStatus(status);
    bool changed = false;
    if (part->outcome == DeliveryOutcome::Waiting || part->outcome == DeliveryOutcome::Pending) {
      changed = part->outcome != reported;
      part->outcome = reported;
    }
    return Match{message->id, Combined(*message), changed};
  }
  return std::nullopt;
}

DeliveryOutcome DeliveryTracker::Outcome(int messageId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Message& message : messages_) {
    if (message.id == messageId) return Combined(message);
  }
  return DeliveryOutcome::Unknown;
}

void DeliveryTracker::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}

DeliveryOutcome DeliveryTracker::Combined(const Message& message) {
  bool allDelivered = true;
  bool anyPending = false;
  for (const Part& part : message.parts) {
    if (part.outcome == DeliveryOutcome::Failed) return DeliveryOutcome::Failed;
    allDelivered = allDelivered && part.outcome == DeliveryOutcome::Delivered;
    anyPending = anyPending || part.outcome == DeliveryOutcome::Pending;
  }
  if (allDelivered) return DeliveryOutcome::Delivered;
  return anyPending ? DeliveryOutcome::Pending : DeliveryOutcome::Waiting;
}

}  // namespace fonexa
