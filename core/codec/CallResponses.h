// Parsers for the GSM 07.07 call and supplementary-service answers: +CLCC,
// +CPAS, +CCFC (query) and +CLCK (query). Each takes one information line as
// the session returns it, line end included.
#pragma once

#include <string>

#include "codec/CallEntry.h"

namespace fonexa {

// ---- +CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>[,<alpha>]] ------
// The fields are split at every comma, each comma a token of its own, so that
// an empty field is seen as such rather than shifting the ones after it.
// 0 when the entry was read; otherwise the number of the field that failed:
// 1 to 5 for the five leading fields, 7 for the type of address, which must be
// there (a line that stops after <mpty> is refused). entry holds what was read
// before the failure.
int ParseClccResponse(const std::string& line, CallEntry& entry);

// ---- +CPAS: <pas> --------------------------------------------------------------
// 0 and the activity value (-1 for an empty field) when a field was there;
// 1 when the line has none.
int ParseCpasResponse(const std::string& line, int& activity);

// ---- +CCFC: <status>,<class>[,<number>,<type>[,<subaddr>,<satype>[,<time>]]] ---
// Read from the answer's first colon on, with colons, commas, blanks,
// quotation marks and line ends as delimiters whose runs collapse (so an omitted subaddress
// is passed over). status, number and time are set as far as read.
enum class CcfcParse { Ok, NoMoreTokens, WrongClass };
CcfcParse ParseCcfcQueryResponse(const std::string& answer, int expectedClass, int& status, std::string& number,
                                 int& time);

// ---- +CLCK: <status>[,<class>] ----------------------------------------------------
// Read from the answer's first colon on, as +CCFC. False when no field follows.
bool ParseClckQueryResponse(const std::string& answer, int& status);

}  // namespace fonexa
