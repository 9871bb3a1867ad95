// Parser for the answers the session reads itself: the clock, +CCLK?.
#pragma once

#include <string>

namespace fonexa {

// ---- +CCLK: <time> ---------------------------------------------------------------
// The time text without its quotes and line end, "yy/MM/dd,hh:mm:ss±zz" as
// GSM 07.07 writes it (comma and slashes stay). 0 when there was one; 1 (the
// first missing field) otherwise, time untouched.
int ParseCclkReadResponse(const std::string& line, std::string& time);

}  // namespace fonexa
