// Delivery reports: what a status report's TP-ST says about a message, and
// the book of sent messages that reports are matched to by their TP-MR.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fonexa {

// The event that tells the application the outcome of a message it sent:
// text "delivered", "pending" or "failed", value the message's id.
inline constexpr uint32_t kEventDeliveryReport = 0x8000;

// The outcome of a sent message as the application is told it. The values are
// those of the FONEXA_DELIVERY_* constants of the exported interface.
enum class DeliveryOutcome {
  Unknown = -1,   // no message of that id is (still) known
  Waiting = 0,    // sent with a report requested, no report yet
  Delivered = 1,  // every part reached the recipient
  Pending = 2,    // the service centre is still trying (temporary error)
  Failed = 3,     // the service centre gave up on a part
};

// GSM 03.40 9.2.3.15 TP-ST: 0x00-0x1F the message was delivered (received,
// forwarded, replaced; the reserved and centre-specific codes of that range
// count as success too), 0x20-0x3F a temporary error with the centre still
// trying, 0x40-0x7F a permanent error or a temporary one it no longer tries
// (0x80 and above are reserved and read as failure).
DeliveryOutcome OutcomeOfReportStatus(int status);
// "delivered", "pending", "failed"; "waiting" and "unknown" for the others.
const char* DeliveryOutcomeName(DeliveryOutcome outcome);

// The sent messages whose reports are awaited, for the whole process (one
// instance per process is the supported use). Bounded: the oldest message is
// forgotten beyond kCapacity, as a phone's TP-MR comes round after 256 anyway.
class DeliveryTracker {
 public:
  static constexpr size_t kCapacity = 256;

  static DeliveryTracker& Process();

  // Records a message sent to recipient in parts with these TP-MRs; its id
  // (positive, never reused within the process).
  int Register(const std::string& recipient, const std::vector<int>& references);
  // Records a message about to be sent in partCount parts, none sent yet: a
  // report that comes back between two parts finds its part already here.
  int Register(const std::string& recipient, size_t partCount);
  // The TP-MR the phone gave part `part` (from 0) of a registered message.
  void SetReference(int messageId, size_t part, int reference);
  // A message that was not sent after all.
  void Forget(int messageId);

  struct Match {
    int messageId = 0;
    DeliveryOutcome outcome = DeliveryOutcome::Unknown;  // of the whole message after this report
    bool changed = false;  // the report told something new (not a report read a second time)
  };
  // A report on the part with this TP-MR sent to recipient (an empty
  // recipient matches any): the newest message with such a part takes it.
  // Nothing when no message matches.
  std::optional<Match> Report(const std::string& recipient, int reference, int status);

  // The outcome of the whole message: Failed when any part failed, Delivered
  // when every part was, Pending when a part is pending, else Waiting.
  DeliveryOutcome Outcome(int messageId) const;

  void Clear();

 private:
  struct Part {
    int reference = -1;
    DeliveryOutcome outcome = DeliveryOutcome::Waiting;
  };
  struct Message {
    int id = 0;
    std::string recipient;
    std::vector<Part> parts;
  };
  static DeliveryOutcome Combined(const Message& message);

  mutable std::mutex mutex_;
  std::deque<Message> messages_;
  int nextId_ = 1;
};

}  // namespace fonexa
