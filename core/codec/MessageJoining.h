// Long messages as their reader meets them: the parts of one concatenated
// message joined into one, from a listing of the message store or as they
// are delivered one by one to the terminal ("+CMT:").
//
// Parts belong together when they share sender (or recipient), kind,
// concatenation reference and part count. Texts are joined in UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "codec/SmsEntry.h"

namespace fonexa {

// The event that carries a message delivered to the terminal once it is
// whole, or once its time limit passed with parts missing: text sender "#"
// UTF-8 text, value the number of parts missing.
inline constexpr uint32_t kEventJoinedMessage = 0x4000;

struct JoinedMessage {
  std::string PhoneNumber;      // sender, or recipient of a stored outgoing message (UTF-8)
  std::string ProviderPhone;
  std::string TextUtf8;         // the parts' texts in order; a missing part adds nothing
  int64_t Time = 0;             // of the first part present
  int State = -1;               // <stat> of the first part present
  int MessageKind = SmsEntry::Deliver;
  int PartReference = -1;       // -1 for a message of one part
  int PartCount = 1;
  // Storage index of each part in order, -1 for a part that is missing (and
  // for the parts of a message delivered to the terminal, which has none).
  std::vector<int> PartIndices;
  std::vector<bool> PartPresent;
  std::vector<std::string> PartTexts;
  int MissingParts = 0;
};

// Joins a listing: every message of one part stays as it is, the parts of a
// concatenated one become one message at the place of its first part listed,
// whatever order the parts came in. A part listed twice counts once.
std::vector<JoinedMessage> JoinMessageParts(const std::vector<SmsEntry>& entries);

// Parts delivered to the terminal one by one, held until their message is
// whole. Times are the caller's millisecond ticks.
class PartAssembler {
 public:
  // A message still missing parts this long after its first part arrived is
  // given up and handed out as it stands.
  static constexpr uint32_t kDefaultTimeLimitMs = 60000;
  // Messages held at once; beyond it the oldest is given up, so that a
  // sender of endless first parts cannot fill the memory.
  static constexpr size_t kMaxHeld = 32;

  static PartAssembler& Process();

  // Takes a delivered message: the whole message when this completes it (at
  // once for a message of one part), else nothing. Messages given up to make
  // room are appended to givenUp.
  std::optional<JoinedMessage> Add(const SmsEntry& part, uint32_t nowMs, std::vector<JoinedMessage>& givenUp);
  // The messages whose time limit has passed, with their parts missing.
  std::vector<JoinedMessage> Expired(uint32_t nowMs);
  bool Holding() const;

  void SetTimeLimit(uint32_t ms);
  uint32_t TimeLimit() const;
  void Clear();

 private:
  // Sender, kind, reference, part count.
  using Key = std::tuple<std::string, int, int, int>;
  struct Held {
    JoinedMessage message;
    uint32_t firstMs = 0;
  };

  mutable std::mutex mutex_;
  std::map<Key, Held> held_;
  uint32_t timeLimitMs_ = kDefaultTimeLimitMs;
};

}  // namespace fonexa
