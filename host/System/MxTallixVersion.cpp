#include "System/MxTallixVersion.h"

const char* MxTallixGetVersion() {
  return "1.0.0";
}
