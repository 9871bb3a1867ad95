#pragma once
// The operator names moved to profiles/ with the device profiles. Network
// tests and benchmarks outside the modem still include them from here.
#include "sim/profiles/OperatorTable.h"
