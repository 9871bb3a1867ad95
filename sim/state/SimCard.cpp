#include "sim/state/SimCard.h"

#include <cctype>

namespace fonexa::sim {

bool isValidPinFormat(std::string_view code, size_t minLength, size_t maxLength) {
  if (code.size() < minLength || code.size() > maxLength) return false;
  for (char c : code) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

SimCard::SimCard(const SimCodes& codes, bool pinEnabled, bool present)
    : codes_(codes), present_(present), pinEnabled_(pinEnabled) {
  powerOn();
}

void SimCard::powerOn() {
  pin2Verified_ = false;
  pin2Demand_ = Pin2Demand::None;
  if (!present_) {
    state_ = SimState::Absent;
  } else if (pukAttempts_ == 0) {
    state_ = SimState::Blocked;
  } else if (pinAttempts_ == 0) {
    state_ = SimState::PukRequired;
  } else if (pinEnabled_) {
    state_ = SimState::PinRequired;
  } else {
    afterPinAccepted();
  }
}

void SimCard::insert(bool present) {
  present_ = present;
  powerOn();
}

void SimCard::afterPinAccepted() { state_ = phoneLocked_ ? SimState::PhoneCodeRequired : SimState::Ready; }

std::optional<std::string> SimCard::cpinText() const {
  switch (state_) {
    case SimState::Ready:
      if (pin2Demand_ == Pin2Demand::Pin2) return "SIM PIN2";
      if (pin2Demand_ == Pin2Demand::Puk2) return "SIM PUK2";
      return "READY";
    case SimState::PinRequired: return "SIM PIN";
    case SimState::PukRequired: return "SIM PUK";
    case SimState::PhoneCodeRequired: return "PH-SIM PIN";
    case SimState::Absent:
    case SimState::Blocked: return std::nullopt;
  }
  return std::nullopt;
}

std::optional<CmeError> SimCard::accessError() const {
  switch (state_) {
    case SimState::Ready: return std::nullopt;
    case SimState::PinRequired: return CmeError::SimPinRequired;
    case SimState::PukRequired: return CmeError::SimPukRequired;
    case SimState::PhoneCodeRequired: return CmeError::PhSimPinRequired;
    case SimState::Absent: return CmeError::SimNotInserted;
    case SimState::Blocked: return CmeError::SimFailure;
  }
  return CmeError::SimFailure;
}

Outcome SimCard::checkPin(std::string_view code) {
  if (pinAttempts_ == 0) return Outcome::cme(CmeError::SimPukRequired);
  if (code == codes_.pin) {
    pinAttempts_ = kPinAttempts;
    return Outcome::ok();
  }
  if (--pinAttempts_ == 0) state_ = SimState::PukRequired;
  return Outcome::cme(CmeError::IncorrectPassword);
}

Outcome SimCard::checkPin2(std::string_view code) {
  if (pin2Attempts_ == 0) {
    pin2Demand_ = Pin2Demand::Puk2;
    return Outcome::cme(CmeError::SimPuk2Required);
  }
  if (code == codes_.pin2) {
    pin2Attempts_ = kPinAttempts;
    pin2Verified_ = true;
    pin2Demand_ = Pin2Demand::None;
    return Outcome::ok();
  }
  if (--pin2Attempts_ == 0) pin2Demand_ = Pin2Demand::Puk2;
  return Outcome::cme(CmeError::IncorrectPassword);
}

Outcome SimCard::enterCode(std::string_view code, std::optional<std::string_view> newCode) {
  switch (state_) {
    case SimState::Absent: return Outcome::cme(CmeError::SimNotInserted);
    case SimState::Blocked: return Outcome::cme(CmeError::SimFailure);
    case SimState::PinRequired: {
      Outcome r = checkPin(code);
      if (r.isOk()) afterPinAccepted();
      return r;
    }
    case SimState::PukRequired: {
      // The PUK form sets a new PIN at the same time (GSM 02.17).
      if (!newCode || !isValidPinFormat(*newCode, 4, 8)) return Outcome::cme(CmeError::OperationNotAllowed);
      if (code != codes_.puk) {
        if (--pukAttempts_ == 0) state_ = SimState::Blocked;
        return Outcome::cme(CmeError::IncorrectPassword);
      }
      codes_.pin = std::string(*newCode);
      pukAttempts_ = kPukAttempts;
      pinAttempts_ = kPinAttempts;
      afterPinAccepted();
      return Outcome::ok();
    }
    case SimState::PhoneCodeRequired:
      if (code != codes_.phoneCode) return Outcome::cme(CmeError::IncorrectPassword);
      state_ = SimState::Ready;
      return Outcome::ok();
    case SimState::Ready:
      if (pin2Demand_ == Pin2Demand::Pin2) return checkPin2(code);
      if (pin2Demand_ == Pin2Demand::Puk2) {
        if (!newCode || !isValidPinFormat(*newCode, 4, 8)) return Outcome::cme(CmeError::OperationNotAllowed);
        if (puk2Attempts_ == 0) return Outcome::cme(CmeError::SimFailure);
        if (code != codes_.puk2) {
          --puk2Attempts_;
          return Outcome::cme(CmeError::IncorrectPassword);
        }
        codes_.pin2 = std::string(*newCode);
        puk2Attempts_ = kPukAttempts;
        pin2Attempts_ = kPinAttempts;
        pin2Verified_ = true;
        pin2Demand_ = Pin2Demand::None;
        return Outcome::ok();
      }
      // Nothing is asked for: entering a code now is not allowed.
      return Outcome::cme(CmeError::OperationNotAllowed);
  }
  return Outcome::error();
}

std::optional<CmeError> SimCard::requirePin2() {
  if (pin2Verified_) return std::nullopt;
  if (pin2Attempts_ == 0) {
    pin2Demand_ = Pin2Demand::Puk2;
    return CmeError::SimPuk2Required;
  }
  pin2Demand_ = Pin2Demand::Pin2;
  return CmeError::SimPin2Required;
}

Outcome SimCard::changeCode(std::string_view facility, std::string_view oldCode, std::string_view newCode) {
  if (auto e = accessError()) return Outcome::cme(*e);
  if (facility == "SC") {
    // The PIN can only be changed while it is in use.
    if (!pinEnabled_) return Outcome::cme(CmeError::OperationNotAllowed);
    if (!isValidPinFormat(newCode, 4, 8)) return Outcome::cme(CmeError::OperationNotAllowed);
    Outcome r = checkPin(oldCode);
    if (r.isOk()) codes_.pin = std::string(newCode);
    return r;
  }
  if (facility == "P2") {
    if (!isValidPinFormat(newCode, 4, 8)) return Outcome::cme(CmeError::OperationNotAllowed);
    Outcome r = checkPin2(oldCode);
    if (r.isOk()) codes_.pin2 = std::string(newCode);
    return r;
  }
  if (facility == "PS") {
    if (!isValidPinFormat(newCode, 4, 8)) return Outcome::cme(CmeError::OperationNotAllowed);
    if (oldCode != codes_.phoneCode) return Outcome::cme(CmeError::IncorrectPassword);
    codes_.phoneCode = std::string(newCode);
    return Outcome::ok();
  }
  return Outcome::cme(CmeError::OperationNotSupported);
}

Outcome SimCard::lock(std::string_view facility, int mode, std::string_view password, int& status) {
  bool* flag = nullptr;
  if (facility == "SC") flag = &pinEnabled_;
  if (facility == "FD") flag = &fixedDialling_;
  if (facility == "PS") flag = &phoneLocked_;
  if (!flag) return Outcome::cme(CmeError::OperationNotSupported);
  if (auto e = accessError()) return Outcome::cme(*e);
  if (mode == 2) {
    status = *flag ? 1 : 0;
    return Outcome::ok();
  }
  Outcome check = Outcome::ok();
  if (facility == "SC") check = checkPin(password);
  if (facility == "FD") check = checkPin2(password);
  if (facility == "PS" && password != codes_.phoneCode) check = Outcome::cme(CmeError::IncorrectPassword);
  if (!check.isOk()) return check;
  *flag = mode == 1;
  return Outcome::ok();
}

void SimCard::force(SimState state) {
  present_ = state != SimState::Absent;
  pin2Demand_ = Pin2Demand::None;
  state_ = state;
  if (state == SimState::PukRequired) pinAttempts_ = 0;
  if (state == SimState::Blocked) {
    pinAttempts_ = 0;
    pukAttempts_ = 0;
  }
  if (state == SimState::PinRequired) pinEnabled_ = true;
}

void SimCard::setAttempts(int pin, int puk, int pin2, int puk2) {
  pinAttempts_ = pin;
  pukAttempts_ = puk;
  pin2Attempts_ = pin2;
  puk2Attempts_ = puk2;
}

}  // namespace fonexa::sim
