// The session's event thread: it wakes on the modem's ring-indicator line and
// reads the unsolicited code that raised it.
#include "session/StopEvent.h"
#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/LocalTime.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

using fonexa::StopEvent;
using fonexa::TraceLog;

namespace {
constexpr uint32_t kPollMs = 20;
constexpr uint32_t kAttachMs = 10000;
}  // namespace

void CMxGsmBasics::RunEventThread() {
  TraceLog().Write("\r\n==>Starting thread[_MxGsmBasicsEventThreadHandler]\r\n");
  auto stopRequested = [this] { return StopEvent().Wait(kPollMs) || m_eventThreadStop.load(); };
  for (;;) {
    if (IsOpened()) {
      CMxComPort* port = m_device->GetComPort();
      if (port && port->WaitEventRing() == 1) {
        const auto now = fonexa::platform::LocalNow();
        TraceLog().Write("\r\n_MxGsmBasicsEventThreadHandler>>Ringing[%02d:%02d:%02d]...\r\n", now.hour, now.minute,
                         now.second);
        bool attached = false;
        while (!(attached = Attach("_MxGsmBasicsEventThreadHandler", kAttachMs))) {
          if (m_eventThreadStop.load()) break;
        }
        if (!attached) continue;
        if (RingEventProcessed() != 0) {
          TraceLog().Write("_MxGsmBasicsEventThreadHandler>>Ring already processed...\n");
          Detach();
          continue;
        }
        const std::string answer = ReadAnswerString(3000, 1);
        if (_TestForRingCode(answer) == 0) {
          TraceLog().Write("_MxGsmBasicsEventThreadHandler>>ERROR: Could not encode ring[%s]\n", answer.c_str());
        }
        Detach();
      } else if (stopRequested()) {
        TraceLog().Write("\r\n<==Terminating thread[_MxGsmBasicsEventThreadHandler>>WaitEventRing false]\r\n");
        return;
      }
    } else if (stopRequested()) {
      break;
    }
    fonexa::platform::SleepMs(kPollMs);
  }
  TraceLog().Write("\r\n<==Terminating thread[_MxGsmBasicsEventThreadHandler]\r\n");
}
