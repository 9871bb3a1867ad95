// The call tracking, the dial thread and the verification thread are the
// process's; tests that use the services without an instance end them before
// their phone goes, as an instance's release does.
#pragma once

#include "services/CMxGsmCall.h"
#include "services/CMxGsmCallsCompare.h"
#include "services/CMxGsmProtection.h"
#include "session/StopEvent.h"

namespace fonexa::testing {

inline void EndBackgroundCalls() {
  CMxGsmCall::WaitForDial();
  StopEvent().Set();
  CallTracking::WaitUntilStopped();
  CMxGsmProtection::WaitForVerification();
  StopEvent().Reset();
}

}  // namespace fonexa::testing
