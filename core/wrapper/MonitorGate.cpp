#include "wrapper/MonitorGate.h"

namespace fonexa {

platform::ManualResetEvent& MonitorGate() {
  static platform::ManualResetEvent gate;
  return gate;
}

}  // namespace fonexa
