#pragma once
// The engine carries single-byte Latin-1 texts; the command line and the
// terminal speak UTF-8. Texts are converted here, at the edge, and a
// character that Latin-1 cannot carry is reported instead of being replaced.
#include <string>
#include <string_view>

namespace fonexa::cli {

std::string latin1ToUtf8(std::string_view latin1);

struct Latin1Result {
  bool ok = false;
  std::string text;     // the Latin-1 text when ok
  std::string problem;  // what could not be carried, when not ok
};
Latin1Result utf8ToLatin1(std::string_view utf8);

// The text for the engine; a CommandError (bad usage) naming `what` and the
// character otherwise.
std::string toEngine(std::string_view utf8, std::string_view what);

// The text unchanged for the engine's UTF-8 exports, which carry any
// character; a CommandError (bad usage) naming `what` when it is not UTF-8.
std::string checkedUtf8(std::string_view utf8, std::string_view what);

}  // namespace fonexa::cli
