#pragma once
// Voice calls as GSM 02.30 and 07.07 describe them: up to seven calls, each
// dialling, alerting, active, held, incoming or waiting; timed progress of
// dialled calls by the dial rules; ringing of incoming calls; the
// supplementary-service hold and multiparty operations of +CHLD.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/at/ResultCodes.h"
#include "sim/line/Scheduler.h"
#include "sim/state/DialRules.h"

namespace fonexa::sim {

// +CLCC <stat>
enum class CallState { Active = 0, Held = 1, Dialling = 2, Alerting = 3, Incoming = 4, Waiting = 5 };

struct Call {
  int id = 0;
  bool incoming = false;
  CallState state = CallState::Dialling;
  int mode = 0;  // voice
  bool multiparty = false;
  std::string number;
  int type = 129;
  std::string alpha;
};

class CallEvents {
 public:
  virtual ~CallEvents() = default;
  // The result a dialled call ends its set-up with (OK once answered).
  virtual void dialFinished(const Call& call, FinalResult result) = 0;
  // One ring of an incoming call, or the alert of a waiting one.
  virtual void alerting(const Call& call, bool waiting) = 0;
  virtual void remoteEnded(const Call& call) = 0;
  // A call for the call lists: "LD" dialled, "RC" received, "MC" missed.
  virtual void logCall(std::string_view list, const Call& call) = 0;
  // Rings so far of the call; returns true when the phone answers by itself (S0).
  virtual bool autoAnswerAfter(int rings) = 0;
};

class CallManager {
 public:
  static constexpr int kMaxCalls = 7;

  CallManager(Scheduler& scheduler, CallEvents& events);
  ~CallManager();
  CallManager(const CallManager&) = delete;
  CallManager& operator=(const CallManager&) = delete;

  DialRules rules;
  std::chrono::milliseconds ringInterval{3000};
  std::chrono::milliseconds ringTimeout{30000};

  const std::vector<Call>& calls() const { return calls_; }
  const Call* find(int id) const;
  bool hasCallIn(CallState state) const;

  // ATD: the id of the new call, or the result the dial ends with at once.
  struct DialStart {
    int callId = 0;
    std::optional<Outcome> immediate;
  };
  DialStart dial(const std::string& number, int type, bool networkAvailable, bool barred);
  // A character from the terminal aborted the dial.
  void abortDial(int callId);
  // ATA: OK, or NO CARRIER when nothing rings.
  Outcome answer();
  // ATH: every call ends, an incoming one is rejected.
  void hangUpAll();
  // +CHLD=<n>
  Outcome hold(std::string_view operation);

  // Control surface.
  int incoming(const std::string& number, int type, const std::string& alpha);
  bool remoteAnswer();
  bool remoteHangUp(int id);  // 0: every call
  void reset();               // power loss: every call vanishes silently

 private:
  Call* findMutable(int id);
  int freeId() const;
  void remove(int id);
  void cancelTimer(int id);
  void setTimer(int id, std::chrono::milliseconds delay, std::function<void()> task);
  void progress(int id, DialRule rule);
  void ring(int id, int rings);
  void normaliseMultiparty();
  void setAll(CallState from, CallState to);

  Scheduler& scheduler_;
  CallEvents& events_;
  std::vector<Call> calls_;
  std::map<int, Scheduler::TimerId> timers_;
  std::map<int, Scheduler::TimerId> giveUpTimers_;
};

}  // namespace fonexa::sim
