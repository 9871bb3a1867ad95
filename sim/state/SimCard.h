#pragma once
// The SIM and the phone lock as a state machine: which code the phone waits
// for (+CPIN?), the attempts left on each code, and the SIM-side facility
// locks SC (PIN at power-up), FD (fixed dialling, guarded by PIN2) and PS
// (phone locked to this SIM).
#include <optional>
#include <string>
#include <string_view>

#include "sim/at/ResultCodes.h"

namespace fonexa::sim {

enum class SimState {
  Ready,
  PinRequired,
  PukRequired,
  PhoneCodeRequired,  // PH-SIM PIN
  Absent,
  Blocked,  // PUK attempts used up: the card is dead
};

struct SimCodes {
  std::string pin = "1234";
  std::string puk = "12345678";
  std::string pin2 = "5678";
  std::string puk2 = "87654321";
  std::string phoneCode = "0000";
};

class SimCard {
 public:
  static constexpr int kPinAttempts = 3;
  static constexpr int kPukAttempts = 10;

  SimCard() = default;
  SimCard(const SimCodes& codes, bool pinEnabled, bool present);

  // Power-up: the PIN is asked again when it is enabled, PIN2 forgotten.
  void powerOn();
  void insert(bool present);

  SimState state() const { return state_; }
  bool ready() const { return state_ == SimState::Ready; }
  // The +CPIN? word, or nothing when the answer is an error (absent, blocked).
  std::optional<std::string> cpinText() const;
  // The error a command that needs the SIM gets in the current state.
  std::optional<CmeError> accessError() const;

  // +CPIN=<code>[,<new>]: the code that the phone waits for; a PUK needs the
  // new PIN with it.
  Outcome enterCode(std::string_view code, std::optional<std::string_view> newCode);
  // +CPWD for "SC", "P2" and "PS".
  Outcome changeCode(std::string_view facility, std::string_view oldCode, std::string_view newCode);
  // +CLCK for "SC", "FD" and "PS": mode 0 unlock, 1 lock, 2 query (status out).
  Outcome lock(std::string_view facility, int mode, std::string_view password, int& status);

  // PIN2-guarded operations (writing FD) ask through this: OK when PIN2 was
  // given since power-up, else the error, and +CPIN? then reports SIM PIN2.
  std::optional<CmeError> requirePin2();

  bool pinEnabled() const { return pinEnabled_; }
  bool fixedDialling() const { return fixedDialling_; }
  bool phoneLocked() const { return phoneLocked_; }
  int pinAttempts() const { return pinAttempts_; }
  int pukAttempts() const { return pukAttempts_; }
  int pin2Attempts() const { return pin2Attempts_; }
  int puk2Attempts() const { return puk2Attempts_; }
  const SimCodes& codes() const { return codes_; }

  // Control surface: put the card into a state as if it got there itself.
  void force(SimState state);
  void setCodes(const SimCodes& codes) { codes_ = codes; }
  void setAttempts(int pin, int puk, int pin2, int puk2);
  void setPinEnabled(bool on) { pinEnabled_ = on; }
  void setPhoneLocked(bool on) { phoneLocked_ = on; }
  void setFixedDialling(bool on) { fixedDialling_ = on; }

 private:
  enum class Pin2Demand { None, Pin2, Puk2 };

  Outcome checkPin(std::string_view code);   // counts a wrong PIN
  Outcome checkPin2(std::string_view code);  // counts a wrong PIN2
  void afterPinAccepted();

  SimCodes codes_;
  SimState state_ = SimState::Ready;
  bool present_ = true;
  bool pinEnabled_ = true;
  bool fixedDialling_ = false;
  bool phoneLocked_ = false;
  bool pin2Verified_ = false;
  Pin2Demand pin2Demand_ = Pin2Demand::None;
  int pinAttempts_ = kPinAttempts;
  int pukAttempts_ = kPukAttempts;
  int pin2Attempts_ = kPinAttempts;
  int puk2Attempts_ = kPukAttempts;
};

bool isValidPinFormat(std::string_view code, size_t minLength, size_t maxLength);

}  // namespace fonexa::sim
