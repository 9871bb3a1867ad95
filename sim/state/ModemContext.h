#pragma once
// Everything a command handler may read or change: the phone's identity, the
// terminal settings and the state machines of SIM, network, calls, messages
// and phone books.
#include <memory>

#include "sim/line/Scheduler.h"
#include "sim/profiles/DeviceProfiles.h"
#include "sim/state/CallManager.h"
#include "sim/state/MessageCentre.h"
#include "sim/state/ModemClock.h"
#include "sim/state/NetworkState.h"
#include "sim/state/PhoneBookStore.h"
#include "sim/state/SimCard.h"
#include "sim/state/SmsStore.h"
#include "sim/state/SupplementaryServices.h"
#include "sim/state/TerminalSettings.h"
#include "sim/state/UnsolicitedSink.h"

namespace fonexa::sim {

class DeferredReply;

struct ModemContext {
  ModemContext(const DeviceProfile& deviceProfile, Scheduler& timers, UnsolicitedSink& sink, CallEvents& callEvents,
               std::function<void()> onNetworkChange)
      : profile(deviceProfile),
        settings(TerminalSettings::factory(deviceProfile)),
        saved(settings),
        network(timers, std::move(onNetworkChange)),
        calls(timers, callEvents),
        messages(deviceProfile.smsSimCapacity, deviceProfile.smsPhoneCapacity),
        centre(timers, sink, messages, settings),
        phoneBooks(deviceProfile),
        scheduler(timers),
        unsolicited(sink) {
    centre.serviceCentre = deviceProfile.serviceCentre;
    centre.ownNumber = deviceProfile.ownNumber;
  }

  DeviceProfile profile;
  TerminalSettings settings;
  TerminalSettings saved;  // AT&W, restored by ATZ
  SimCard sim;
  NetworkState network;
  SupplementaryServices services;
  CallManager calls;
  SmsStore messages;
  MessageCentre centre;
  PhoneBookStore phoneBooks;
  ModemClock clock;
  Scheduler& scheduler;
  UnsolicitedSink& unsolicited;

  // The dial whose ATD still waits for its result.
  int pendingDialCall = 0;
  std::shared_ptr<DeferredReply> pendingDial;
  // The phone answers +COPS=? after scanning the bands for this long.
  std::chrono::milliseconds networkScanTime{300};
};

}  // namespace fonexa::sim
