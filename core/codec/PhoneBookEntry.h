// One location of a phone book as the phone-book service reads it (+CPBR).
#pragma once

#include <string>

#include "platform/LocalTime.h"

namespace fonexa {

struct PhoneBookEntry {
  // The number as the phone gave it, without its quotation marks.
  std::string PhoneNumber;
  // The entry's text, without its quotation marks; bytes as the phone sent them.
  std::string Name;
  // GSM 04.08 type of address: 129, or 145 for an international number.
  int Type = 0;
  // Location in the storage.
  int Position = 0;
  // When the call happened, for the call lists of phones that stamp them:
  // year, month, day, hour and minute only; all zero when there is no stamp.
  platform::SystemTime Time;
};

}  // namespace fonexa
