#include "session/StopEvent.h"

namespace fonexa {

platform::ManualResetEvent& StopEvent() {
  static platform::ManualResetEvent event;
  return event;
}

}  // namespace fonexa
