#include "SimCodes.h"

namespace fonexa::cli {

const SimStatus* findSimStatus(int code) {
  for (const SimStatus& status : kSimStatuses) {
    if (status.code == code) return &status;
  }
  return nullptr;
}

std::string attemptsLeft(int counter) {
  if (counter < 0) return "";
  return std::to_string(counter) + (counter == 1 ? " attempt left" : " attempts left");
}

}  // namespace fonexa::cli
