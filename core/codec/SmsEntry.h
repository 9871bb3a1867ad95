// One short message as the SMS service lists, reads and reports it.
#pragma once

#include <cstdint>
#include <string>

namespace fonexa {

struct SmsEntry {
  // Service-centre address found in the PDU, "+" in front when its type of
  // address was international (0x91).
  std::string ProviderPhone;
  // Decoded text, Latin-1 bytes.
  std::string MessageText;
  // Originator of a received message, or destination of a stored outgoing one.
  std::string PhoneNumber;
  // Service-centre time stamp of a received message (seconds since 1970, its
  // fields taken as local time); 0 while not set.
  int64_t Time = 0;
  // Always -1.
  int Validity = -1;
  // GSM 07.05 <stat>: 0 received unread, 1 received read, 2 stored unsent,
  // 3 stored sent.
  int State = -1;
  // Location in the current message storage.
  int Index = -1;
};

}  // namespace fonexa
