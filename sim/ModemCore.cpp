#include "sim/ModemCore.h"

#include "sim/commands/CommandModules.h"

namespace fonexa::sim {

ModemCore::ModemCore(const DeviceProfile& profile, Scheduler& scheduler, CommandDispatcher::Writer writer)
    : scheduler_(scheduler), table_(buildCommandTable()) {
  UnsolicitedSink& sink = *this;
  CallEvents& callEvents = *this;
  ctx_ = std::make_unique<ModemContext>(profile, scheduler, sink, callEvents, [this] { networkChanged(); });
  dispatcher_ = std::make_unique<CommandDispatcher>(*ctx_, table_, std::move(writer));
  dispatcher_->afterCommandLine = [this] { settle(); };
  lastCnmiMode_ = ctx_->settings.cnmi.mode;
}

ModemCore::~ModemCore() {
  if (bootTimer_) scheduler_.cancel(*bootTimer_);
  ctx_->calls.reset();
  ctx_->centre.reset();
}

void ModemCore::unsolicited(const std::string& text, UnsolicitedKind kind) {
  if (dispatcher_) dispatcher_->unsolicited(text, kind);
}

void ModemCore::receive(std::string_view bytes) {
  if (booting_) return;  // a starting phone reads nothing
  dispatcher_->receive(bytes);
}

void ModemCore::powerOn() {
  ctx_->sim.powerOn();
  lastSimReady_ = false;
  settle();
}

void ModemCore::reboot(std::chrono::milliseconds bootTime) {
  booting_ = true;
  dispatcher_->reset();
  ctx_->calls.reset();
  ctx_->centre.reset();
  ctx_->pendingDial.reset();
  ctx_->pendingDialCall = 0;
  ctx_->settings = ctx_->saved;
  ctx_->network.powerOff();
  lastSimReady_ = false;
  lastReportedRegistration_ = -1;
  if (bootTimer_) scheduler_.cancel(*bootTimer_);
  bootTimer_ = scheduler_.schedule(bootTime, [this] {
    bootTimer_.reset();
    booting_ = false;
    emit("^SYSSTART");
    powerOn();
  });
}

void ModemCore::settle() {
  const bool ready = ctx_->sim.ready();
  if (ready != lastSimReady_) {
    lastSimReady_ = ready;
    ctx_->network.simReady(ready);
  }
  const auto& cnmi = ctx_->settings.cnmi;
  if (lastCnmiMode_ == 0 && cnmi.mode != 0) dispatcher_->releaseMessageBuffer(cnmi.bfr == 1);
  lastCnmiMode_ = cnmi.mode;
}

bool ModemCore::ring(const std::string& number) {
  if (booting_ || !ctx_->sim.ready() || !ctx_->network.registered()) return false;
  if (ctx_->services.incomingBarred(ctx_->network.registration() == Registration::Roaming)) return false;
  const int type = !number.empty() && number[0] == '+' ? 145 : 129;
  return ctx_->calls.incoming(number, type, ctx_->phoneBooks.nameFor(number)) != 0;
}

void ModemCore::dialFinished(const Call& call, FinalResult result) {
  if (ctx_->pendingDial && ctx_->pendingDialCall == call.id) {
    auto pending = std::move(ctx_->pendingDial);
    ctx_->pendingDialCall = 0;
    pending->finish({}, Outcome::final(result));
    return;
  }
  // Phones that end ATD at once report a failed set-up afterwards.
  if (result != FinalResult::Ok) emit(std::string(finalResultText(result)));
}

void ModemCore::alerting(const Call& call, bool waiting) {
  const auto& s = ctx_->settings;
  std::string identity = quoted(call.number) + "," + std::to_string(call.type);
  if (waiting) {
    if (s.ccwa) emit("+CCWA: " + identity + ",1" + (call.alpha.empty() ? "" : "," + quoted(call.alpha)));
    return;
  }
  emit(s.crc ? "+CRING: VOICE" : "RING");
  if (s.clip) emit("+CLIP: " + identity + (call.alpha.empty() ? "" : ",,," + quoted(call.alpha)));
}

void ModemCore::remoteEnded(const Call&) { emit("NO CARRIER"); }

void ModemCore::logCall(std::string_view list, const Call& call) {
  PhoneBookEntry e;
  e.number = call.number;
  e.type = call.type;
  e.text = call.alpha.empty() ? ctx_->phoneBooks.nameFor(call.number) : call.alpha;
  e.time = ctx_->clock.now();
  ctx_->phoneBooks.logCall(list, e);
}

bool ModemCore::autoAnswerAfter(int rings) {
  const int s0 = ctx_->settings.s[0];
  return s0 > 0 && rings >= s0;
}

void ModemCore::networkChanged() {
  ctx_->centre.setReachable(ctx_->network.registered());
  const int stat = static_cast<int>(ctx_->network.registration());
  const int mode = ctx_->settings.cregMode;
  if (booting_ || stat == lastReportedRegistration_) return;
  lastReportedRegistration_ = stat;
  if (mode == 1) emit("+CREG: " + std::to_string(stat));
  if (mode == 2) {
    std::string line = "+CREG: " + std::to_string(stat);
    if (ctx_->network.registered()) {
      line += "," + quoted(ctx_->network.locationArea) + "," + quoted(ctx_->network.cellId);
    }
    emit(line);
  }
}

}  // namespace fonexa::sim
