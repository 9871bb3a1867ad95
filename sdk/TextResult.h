// Text outputs of the engine as strings: the export writes into a buffer of the
// size it names, and the string is empty when it fails.
#pragma once

#include <string>

namespace Mebrix::Fonexa::sdk {

template <size_t Size, class Read>
std::string TextResult(Read read) {
  char buffer[Size] = {};
  if (!read(buffer)) return std::string();
  return std::string(buffer);
}

}  // namespace Mebrix::Fonexa::sdk
