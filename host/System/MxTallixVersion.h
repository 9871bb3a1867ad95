#pragma once

#include "System/SystemApi.h"

// The version of the host's System library, "major.minor.patch".
extern "C" MX_SYSTEM_API const char* MxTallixGetVersion();
