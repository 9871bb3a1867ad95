// The process-wide gate of the background monitor: open while the instance is
// ready, so that the monitor polls the phone only then.
#pragma once

#include "platform/ManualResetEvent.h"

namespace fonexa {

platform::ManualResetEvent& MonitorGate();

}  // namespace fonexa
