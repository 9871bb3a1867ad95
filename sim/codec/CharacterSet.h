#pragma once
// The TE character sets of +CSCS: how texts in string parameters travel
// between terminal and phone (phone-book names, alpha fields).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

class CharacterSet {
 public:
  static bool supported(std::string_view name);
  static const std::vector<std::string>& names();  // "GSM", "IRA", "8859-1", "UCS2"

  // UTF-8 text into the character set. A character the set cannot carry
  // becomes "?", as phones show it.
  static std::string encode(std::string_view utf8, std::string_view charset);
  // Text from the line into UTF-8; nothing when it is not valid in the set
  // (odd UCS2 hex, for one). IRA takes 8-bit bytes as Latin-1, as many
  // phones do.
  static std::optional<std::string> decode(std::string_view text, std::string_view charset);
  // Length as the phone counts it against the text length of a memory.
  static size_t length(std::string_view utf8);
};

}  // namespace fonexa::sim
