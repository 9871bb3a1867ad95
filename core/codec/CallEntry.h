// One line of the phone's current-call list (+CLCC), fields in the order the
// phone sends them. Values are kept as the phone reports them; an empty field
// is -1 for a number and "" for a text.
#pragma once

#include <string>

namespace fonexa {

struct CallEntry {
  // Call identification number, the index +CHLD commands name.
  int Index = -1;
  // 0 originated by the phone, 1 terminated at it.
  int Direction = -1;
  // 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting.
  int State = -1;
  // 0 voice, 1 data, 2 fax; further values as the phone reports them.
  int Mode = -1;
  // 1 when the call is part of a conversation of several.
  int Multiparty = -1;
  // Without its quotation marks.
  std::string PhoneNumber;
  // GSM 04.08 type of address: 129, 145, ...
  int Type = -1;
  // The phone-book name the phone matched, without its quotation marks.
  std::string Name;
};

}  // namespace fonexa
