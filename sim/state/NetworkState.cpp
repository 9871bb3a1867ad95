#include "sim/state/NetworkState.h"

namespace fonexa::sim {

NetworkState::NetworkState(Scheduler& scheduler, std::function<void()> onChange)
    : scheduler_(scheduler), onChange_(std::move(onChange)) {}

NetworkState::~NetworkState() {
  if (searchTimer_) scheduler_.cancel(*searchTimer_);
}

const VisibleNetwork* NetworkState::find(const std::string& numeric) const {
  for (const auto& n : visible) {
    if (n.numeric == numeric) return &n;
  }
  return nullptr;
}

void NetworkState::set(Registration status, const std::string& numeric) {
  const bool changed = status != registration_ || numeric != current_;
  registration_ = status;
  current_ = numeric;
  if (changed && onChange_) onChange_();
}

void NetworkState::settle(const std::string& numeric) {
  const VisibleNetwork* n = find(numeric);
  if (!n) {
    set(Registration::NotRegistered, "");
  } else if (n->forbidden) {
    set(Registration::Denied, "");
  } else {
    set(numeric == homeNetwork ? Registration::Home : Registration::Roaming, numeric);
  }
}

void NetworkState::startSearch(const std::string& target) {
  if (searchTimer_) scheduler_.cancel(*searchTimer_);
  set(Registration::Searching, "");
  searchTimer_ = scheduler_.schedule(registrationDelay, [this, target] {
    searchTimer_.reset();
    settle(target);
  });
}

void NetworkState::simReady(bool ready) {
  simReady_ = ready;
  if (!ready) {
    powerOff();
    return;
  }
  if (selectionMode_ == 2) return;
  startSearch(selectionMode_ == 1 ? manualTarget_ : homeNetwork);
}

void NetworkState::powerOff() {
  if (searchTimer_) scheduler_.cancel(*searchTimer_);
  searchTimer_.reset();
  set(Registration::NotRegistered, "");
}

Outcome NetworkState::selectAutomatic() {
  selectionMode_ = 0;
  if (!simReady_) return Outcome::ok();
  if (current_ != homeNetwork) startSearch(homeNetwork);
  return Outcome::ok();
}

Outcome NetworkState::selectManual(const std::string& numeric, bool fallBackToAutomatic) {
  const VisibleNetwork* n = find(numeric);
  if (!n || n->forbidden) {
    if (fallBackToAutomatic) return selectAutomatic();
    return Outcome::cme(n ? CmeError::NetworkNotAllowed : CmeError::NoNetworkService);
  }
  selectionMode_ = fallBackToAutomatic ? 4 : 1;
  manualTarget_ = numeric;
  if (simReady_) {
    if (searchTimer_) scheduler_.cancel(*searchTimer_);
    searchTimer_.reset();
    settle(numeric);
  }
  return Outcome::ok();
}

Outcome NetworkState::deregister() {
  selectionMode_ = 2;
  powerOff();
  return Outcome::ok();
}

void NetworkState::force(Registration status, const std::string& numeric) {
  if (searchTimer_) scheduler_.cancel(*searchTimer_);
  searchTimer_.reset();
  std::string op = numeric;
  const bool registeredState = status == Registration::Home || status == Registration::Roaming;
  if (registeredState && op.empty()) {
    op = status == Registration::Home ? homeNetwork : current_;
    for (const auto& n : visible) {
      if (op.empty() && !n.forbidden && n.numeric != homeNetwork) op = n.numeric;
    }
  }
  if (!registeredState) op.clear();
  set(status, op);
}

}  // namespace fonexa::sim
