// Text to number, as every response parser converts fields.
#pragma once

#include <string>

namespace fonexa {

// The value of the leading decimal digits (leading blanks and a sign allowed),
// 0 when there are none; an empty text gives -1, so that an omitted field can
// be told from a zero.
int StringToInt(const std::string& text);

}  // namespace fonexa
