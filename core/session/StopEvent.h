// The process-wide stop event: set when an instance is released, it ends the
// session's event thread and the other background threads of the engine.
#pragma once

#include "platform/ManualResetEvent.h"

namespace fonexa {

platform::ManualResetEvent& StopEvent();

}  // namespace fonexa
