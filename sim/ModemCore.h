#pragma once
// The phone without its line: the state, the command table and dispatcher,
// and the glue between the state machines and the unsolicited codes they
// cause (rings, caller identification, registration changes, the end of a
// dial). Everything here runs on the modem's thread.
#include <chrono>
#include <memory>
#include <string>

#include "sim/at/CommandDispatcher.h"
#include "sim/at/CommandTable.h"
#include "sim/state/ModemContext.h"

namespace fonexa::sim {

class ModemCore : private UnsolicitedSink, private CallEvents {
 public:
  ModemCore(const DeviceProfile& profile, Scheduler& scheduler, CommandDispatcher::Writer writer);
  ~ModemCore() override;
  ModemCore(const ModemCore&) = delete;
  ModemCore& operator=(const ModemCore&) = delete;

  ModemContext& context() { return *ctx_; }
  CommandDispatcher& dispatcher() { return *dispatcher_; }

  void receive(std::string_view bytes);
  // The phone comes up: SIM read, registration started when the SIM is usable.
  void powerOn();
  // A restart: calls and half-typed commands are lost, terminal settings go
  // back to the stored profile, and "^SYSSTART" announces the phone again.
  void reboot(std::chrono::milliseconds bootTime);
  bool booting() const { return booting_; }

  // Control surface.
  bool ring(const std::string& number);
  void emit(const std::string& text) { dispatcher_->unsolicited(text, UnsolicitedKind::General); }
  // State changed from outside: SIM readiness and +CNMI follow-ups.
  void settle();

 private:
  void unsolicited(const std::string& text, UnsolicitedKind kind) override;
  void dialFinished(const Call& call, FinalResult result) override;
  void alerting(const Call& call, bool waiting) override;
  void remoteEnded(const Call& call) override;
  void logCall(std::string_view list, const Call& call) override;
  bool autoAnswerAfter(int rings) override;
  void networkChanged();

  Scheduler& scheduler_;
  CommandTable table_;
  std::unique_ptr<ModemContext> ctx_;
  std::unique_ptr<CommandDispatcher> dispatcher_;
  bool lastSimReady_ = false;
  int lastCnmiMode_ = -1;
  int lastReportedRegistration_ = -1;
  bool booting_ = false;
  std::optional<Scheduler::TimerId> bootTimer_;
};

}  // namespace fonexa::sim
