#include "sim/state/CallManager.h"

#include <algorithm>

namespace fonexa::sim {

CallManager::CallManager(Scheduler& scheduler, CallEvents& events) : scheduler_(scheduler), events_(events) {}

CallManager::~CallManager() { reset(); }

const Call* CallManager::find(int id) const {
  for (const auto& c : calls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

Call* CallManager::findMutable(int id) {
  for (auto& c : calls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

bool CallManager::hasCallIn(CallState state) const {
  return std::any_of(calls_.begin(), calls_.end(), [state](const Call& c) { return c.state == state; });
}

int CallManager::freeId() const {
  for (int id = 1; id <= kMaxCalls; ++id) {
    if (!find(id)) return id;
  }
  return 0;
}

void CallManager::cancelTimer(int id) {
  for (auto* timers : {&timers_, &giveUpTimers_}) {
    auto it = timers->find(id);
    if (it != timers->end()) {
      scheduler_.cancel(it->second);
      timers->erase(it);
    }
  }
}

void CallManager::setTimer(int id, std::chrono::milliseconds delay, std::function<void()> task) {
  auto it = timers_.find(id);
  if (it != timers_.end()) scheduler_.cancel(it->second);
  timers_[id] = scheduler_.schedule(delay, std::move(task));
}

void CallManager::remove(int id) {
  cancelTimer(id);
  calls_.erase(std::remove_if(calls_.begin(), calls_.end(), [id](const Call& c) { return c.id == id; }), calls_.end());
  normaliseMultiparty();
}

void CallManager::normaliseMultiparty() {
  for (CallState s : {CallState::Active, CallState::Held}) {
    const auto members = std::count_if(calls_.begin(), calls_.end(),
                                       [s](const Call& c) { return c.multiparty && c.state == s; });
    if (members < 2) {
      for (auto& c : calls_) {
        if (c.state == s) c.multiparty = false;
      }
    }
  }
}

void CallManager::setAll(CallState from, CallState to) {
  for (auto& c : calls_) {
    if (c.state == from) c.state = to;
  }
}

CallManager::DialStart CallManager::dial(const std::string& number, int type, bool networkAvailable, bool barred) {
  DialStart start;
  Call call;
  call.number = number;
  call.type = type;
  events_.logCall("LD", call);
  if (!networkAvailable) {
    start.immediate = Outcome::final(FinalResult::NoDialtone);
    return start;
  }
  const bool settingUp = hasCallIn(CallState::Dialling) || hasCallIn(CallState::Alerting) ||
                         hasCallIn(CallState::Incoming) || hasCallIn(CallState::Waiting);
  if (settingUp || (hasCallIn(CallState::Active) && hasCallIn(CallState::Held)) || freeId() == 0) {
    start.immediate = Outcome::cme(CmeError::OperationNotAllowed);
    return start;
  }
  if (barred) {
    start.immediate = Outcome::final(FinalResult::NoCarrier);
    return start;
  }
  const DialRule rule = rules.match(number);
  if (rule.outcome == DialOutcome::NoDialtone) {
    start.immediate = Outcome::final(FinalResult::NoDialtone);
    return start;
  }
  // A second call puts the one in conversation on hold, as GSM phones do.
  setAll(CallState::Active, CallState::Held);
  call.id = freeId();
  call.state = CallState::Dialling;
  calls_.push_back(call);
  start.callId = call.id;
  const int id = call.id;
  setTimer(id, rule.alertingAfter, [this, id, rule] { progress(id, rule); });
  return start;
}

void CallManager::progress(int id, DialRule rule) {
  Call* call = findMutable(id);
  if (!call) return;
  timers_.erase(id);
  if (call->state == CallState::Dialling) {
    if (rule.outcome == DialOutcome::NoCarrier) {
      const Call ended = *call;
      remove(id);
      events_.dialFinished(ended, FinalResult::NoCarrier);
      return;
    }
    call->state = CallState::Alerting;
    const auto wait = rule.outcome == DialOutcome::NoAnswer ? rules.noAnswerTimeout : rule.answerAfter;
    setTimer(id, wait, [this, id, rule] { progress(id, rule); });
    return;
  }
  if (call->state != CallState::Alerting) return;
  if (rule.outcome == DialOutcome::Connect) {
    call->state = CallState::Active;
    events_.dialFinished(*call, FinalResult::Ok);
    return;
  }
  const Call ended = *call;
  remove(id);
  events_.dialFinished(ended, rule.outcome == DialOutcome::Busy ? FinalResult::Busy : FinalResult::NoAnswer);
}

void CallManager::abortDial(int callId) {
  const Call* call = find(callId);
  if (call && (call->state == CallState::Dialling || call->state == CallState::Alerting)) remove(callId);
}

Outcome CallManager::answer() {
  for (auto& c : calls_) {
    if (c.state != CallState::Incoming) continue;
    cancelTimer(c.id);
    c.state = CallState::Active;
    events_.logCall("RC", c);
    return Outcome::ok();
  }
  return Outcome::final(FinalResult::NoCarrier);
}

void CallManager::hangUpAll() {
  for (const auto& c : calls_) {
    if (c.state == CallState::Incoming || c.state == CallState::Waiting) events_.logCall("MC", c);
  }
  for (const auto& c : std::vector<Call>(calls_)) remove(c.id);
}

Outcome CallManager::hold(std::string_view op) {
  const Outcome notAllowed = Outcome::cme(CmeError::OperationNotAllowed);
  if (op.empty() || op.size() > 2 || op[0] < '0' || op[0] > '4') return Outcome::error();
  const bool active = hasCallIn(CallState::Active);
  const bool held = hasCallIn(CallState::Held);
  const bool waiting = hasCallIn(CallState::Waiting);
  auto other = [&]() -> CallState { return waiting ? CallState::Waiting : CallState::Held; };

  if (op.size() == 2) {
    const int x = op[1] - '0';
    Call* target = findMutable(x);
    if (x < 1 || x > kMaxCalls || !target) return notAllowed;
    if (op[0] == '1') {  // release call x
      if (target->state == CallState::Incoming || target->state == CallState::Waiting) events_.logCall("MC", *target);
      remove(x);
      return Outcome::ok();
    }
    if (op[0] == '2') {  // private consultation with x: the others go on hold
      if (target->state != CallState::Active && target->state != CallState::Held) return notAllowed;
      if (target->state == CallState::Held && active) return notAllowed;
      for (auto& c : calls_) {
        if (c.id != x && c.state == CallState::Active) c.state = CallState::Held;
      }
      target->state = CallState::Active;
      target->multiparty = false;
      normaliseMultiparty();
      return Outcome::ok();
    }
    return notAllowed;
  }

  switch (op[0]) {
    case '0':  // release held calls, or busy for a waiting call (UDUB)
      if (waiting) {
        for (const auto& c : std::vector<Call>(calls_)) {
          if (c.state == CallState::Waiting) {
            events_.logCall("MC", c);
            remove(c.id);
          }
        }
        return Outcome::ok();
      }
      if (!held) return notAllowed;
      for (const auto& c : std::vector<Call>(calls_)) {
        if (c.state == CallState::Held) remove(c.id);
      }
      return Outcome::ok();
    case '1': {  // release active calls, accept the other one
      if (!active && !held && !waiting) return notAllowed;
      const CallState accept = other();
      for (const auto& c : std::vector<Call>(calls_)) {
        if (c.state == CallState::Active) remove(c.id);
      }
      for (auto& c : calls_) {
        if (c.state == accept) {
          if (accept == CallState::Waiting) events_.logCall("RC", c);
          cancelTimer(c.id);
          c.state = CallState::Active;
        }
      }
      normaliseMultiparty();
      return Outcome::ok();
    }
    case '2': {  // hold the active calls, accept the other one
      if (!active && !held && !waiting) return notAllowed;
      if (waiting && active && held) return notAllowed;
      const CallState accept = other();
      for (auto& c : calls_) {
        if (c.state == CallState::Active) {
          c.state = CallState::Held;
        } else if (c.state == accept) {
          if (accept == CallState::Waiting) {
            events_.logCall("RC", c);
            cancelTimer(c.id);
          }
          c.state = CallState::Active;
        }
      }
      normaliseMultiparty();
      return Outcome::ok();
    }
    case '3':  // join the held call to the conversation
      if (!active || !held) return notAllowed;
      for (auto& c : calls_) {
        if (c.state == CallState::Active || c.state == CallState::Held) {
          c.state = CallState::Active;
          c.multiparty = true;
        }
      }
      return Outcome::ok();
    default:
      return notAllowed;  // explicit call transfer is not offered
  }
}

int CallManager::incoming(const std::string& number, int type, const std::string& alpha) {
  if (freeId() == 0 || hasCallIn(CallState::Incoming) || hasCallIn(CallState::Waiting)) return 0;
  Call call;
  call.id = freeId();
  call.incoming = true;
  call.number = number;
  call.type = type;
  call.alpha = alpha;
  call.state = calls_.empty() ? CallState::Incoming : CallState::Waiting;
  calls_.push_back(call);
  const int id = call.id;
  giveUpTimers_[id] = scheduler_.schedule(ringTimeout, [this, id] {
    giveUpTimers_.erase(id);
    const Call* c = find(id);
    if (!c || (c->state != CallState::Incoming && c->state != CallState::Waiting)) return;
    events_.logCall("MC", *c);
    remove(id);
  });
  if (call.state == CallState::Waiting) {
    events_.alerting(call, true);
  } else {
    ring(id, 1);
  }
  return id;
}

void CallManager::ring(int id, int rings) {
  const Call* call = find(id);
  if (!call || call->state != CallState::Incoming) return;
  events_.alerting(*call, false);
  if (events_.autoAnswerAfter(rings)) {
    answer();
    return;
  }
  setTimer(id, ringInterval, [this, id, rings] {
    timers_.erase(id);
    ring(id, rings + 1);
  });
}

bool CallManager::remoteAnswer() {
  for (auto& c : calls_) {
    if (!c.incoming && (c.state == CallState::Dialling || c.state == CallState::Alerting)) {
      cancelTimer(c.id);
      c.state = CallState::Active;
      events_.dialFinished(c, FinalResult::Ok);
      return true;
    }
  }
  return false;
}

bool CallManager::remoteHangUp(int id) {
  bool any = false;
  for (const auto& c : std::vector<Call>(calls_)) {
    if (id != 0 && c.id != id) continue;
    any = true;
    remove(c.id);
    if (!c.incoming && (c.state == CallState::Dialling || c.state == CallState::Alerting)) {
      events_.dialFinished(c, FinalResult::NoCarrier);
    } else if (c.state == CallState::Incoming || c.state == CallState::Waiting) {
      events_.logCall("MC", c);
    } else {
      events_.remoteEnded(c);
    }
  }
  return any;
}

void CallManager::reset() {
  for (const auto& [id, timer] : timers_) scheduler_.cancel(timer);
  for (const auto& [id, timer] : giveUpTimers_) scheduler_.cancel(timer);
  timers_.clear();
  giveUpTimers_.clear();
  calls_.clear();
}

}  // namespace fonexa::sim
