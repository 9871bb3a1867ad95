// Parsers for the GSM 07.07 phone-book answers: +CPBS?, +CPBR=? and the entry
// lines of +CPBR=<first>,<last>. Each takes one information line as the
// session returns it (line end included).
#pragma once

#include <string>

#include "platform/LocalTime.h"
#include "codec/PhoneBookEntry.h"

namespace fonexa {

// ---- +CPBS: <storage>,<used>,<total> ----------------------------------------
// 0 when the three fields were read; otherwise the number of the first missing
// one, and used and total are left as they were.
int ParseCpbsReadResponse(const std::string& line, std::string& storage, int& used, int& total);

// ---- +CPBR: (<first>-<last>),<nlength>,<tlength> ----------------------------
struct PhoneBookRange {
  int first = 0;
  int last = 0;
  int numberLength = 0;
  int textLength = 0;
};
// 0 when the four values were read into range; otherwise the number of the
// first missing one, and range is left as it was.
int ParseCpbrTestResponse(const std::string& line, PhoneBookRange& range);

// ---- +CPBR: <index>,<number>,<type>,<text>[,<time stamp>] -------------------
// Fields are taken by position and quoted fields keep their commas; an empty
// field is empty (Type -1 for an omitted type). 0 when the four fields were
// read into entry (its Time from the time stamp when one follows, timeText
// the stamp as sent, without quotation marks, a date and a time of day sent
// as two fields joined by a comma); otherwise the number of the first missing
// field, and entry is left as it was.
int ParseCpbrEntryResponse(const std::string& line, PhoneBookEntry& entry, std::string& timeText);

// The time stamp of a call-list entry, "yy/MM/dd,hh:mm": year, month, day,
// hour and minute as written (a two-digit year stays two-digit); a missing
// field is -1 (0xFFFF in the 16-bit field).
platform::SystemTime ParseCpbrTimeStamp(const std::string& text);

}  // namespace fonexa
