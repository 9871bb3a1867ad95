// Recognising the information line of an answer ("+CSQ: 17,99") and taking
// its body, the text after the prefix and the blank that follows the colon.
#pragma once

#include <cstring>
#include <string>

namespace fonexa {

// The line begins with prefix (and so is at least as long as it).
inline bool BeginsWith(const std::string& line, const char* prefix) {
  return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// The line begins with prefix and carries something after it.
inline bool CarriesMoreThan(const std::string& line, const char* prefix) {
  return line.size() > std::strlen(prefix) && BeginsWith(line, prefix);
}

// The line without its prefix and the blank after it; empty when nothing
// follows. Phones that leave the blank out ("+CSQ:4,0", "+CREG:2,1,0001,0010")
// keep their first character.
inline std::string BodyOf(const std::string& line, const char* prefix) {
  size_t skip = std::strlen(prefix);
  if (skip < line.size() && line[skip] == ' ') ++skip;
  return line.size() > skip ? line.substr(skip) : std::string();
}

}  // namespace fonexa
