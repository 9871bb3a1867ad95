#pragma once
// The radio side: signal quality, the networks in reach, operator selection
// and the registration state machine (searching after power-up or a new
// selection, then home, roaming or denied).
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/at/ResultCodes.h"
#include "sim/line/Scheduler.h"

namespace fonexa::sim {

// +CREG <stat>
enum class Registration { NotRegistered = 0, Home = 1, Searching = 2, Denied = 3, Unknown = 4, Roaming = 5 };

struct VisibleNetwork {
  std::string numeric;
  bool forbidden = false;
};

class NetworkState {
 public:
  NetworkState(Scheduler& scheduler, std::function<void()> onChange);
  ~NetworkState();
  NetworkState(const NetworkState&) = delete;
  NetworkState& operator=(const NetworkState&) = delete;

  int rssi = 21;
  int ber = 99;
  std::string homeNetwork = "26201";
  std::vector<VisibleNetwork> visible = {{"26201", false}, {"26202", false}, {"26203", true}, {"26207", false}};
  std::string locationArea = "00C3";
  std::string cellId = "1A2B";
  std::chrono::milliseconds registrationDelay{200};

  Registration registration() const { return registration_; }
  bool registered() const { return registration_ == Registration::Home || registration_ == Registration::Roaming; }
  int selectionMode() const { return selectionMode_; }
  const std::string& currentOperator() const { return current_; }

  // The SIM became usable (registration starts) or went away.
  void simReady(bool ready);
  void powerOff();

  // +COPS=0, +COPS=1 / 4 with a numeric code, +COPS=2.
  Outcome selectAutomatic();
  Outcome selectManual(const std::string& numeric, bool fallBackToAutomatic);
  Outcome deregister();

  // Control surface: the network changes under the phone.
  void force(Registration status, const std::string& numeric = "");

 private:
  void startSearch(const std::string& target);
  void settle(const std::string& numeric);
  void set(Registration status, const std::string& numeric);
  const VisibleNetwork* find(const std::string& numeric) const;

  Scheduler& scheduler_;
  std::function<void()> onChange_;
  Registration registration_ = Registration::NotRegistered;
  int selectionMode_ = 0;
  std::string current_;
  std::string manualTarget_;
  bool simReady_ = false;
  std::optional<Scheduler::TimerId> searchTimer_;
};

}  // namespace fonexa::sim
