// Parser for the GSM 07.07 SIM answer +CPIN? (which code the SIM waits for).
#pragma once

#include <string>

namespace fonexa {

// ---- +CPIN: <code> ---------------------------------------------------------------
// The two words of the answer ("READY"; "SIM", "PIN"; "PH-NET", "PUK"), quotes
// and line end dropped; second is empty when there is one word. 0 when there
// was a first word; 1 (the first missing field) otherwise, words untouched.
int ParseCpinReadResponse(const std::string& line, std::string& first, std::string& second);

}  // namespace fonexa
