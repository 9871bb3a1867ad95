#include "sim/state/SupplementaryServices.h"

#include <algorithm>
#include <cctype>

namespace fonexa::sim {
namespace {

constexpr std::array<std::string_view, 5> kBarring = {"AO", "OI", "OX", "AI", "IR"};

int barringIndex(std::string_view facility) {
  for (size_t i = 0; i < kBarring.size(); ++i) {
    if (kBarring[i] == facility) return static_cast<int>(i);
  }
  return -1;
}

// The facilities a composite one stands for (only unlocking is defined for them).
std::vector<int> compositeMembers(std::string_view facility) {
  if (facility == "AB") return {0, 1, 2, 3, 4};
  if (facility == "AG") return {0, 1, 2};
  if (facility == "AC") return {3, 4};
  return {};
}

bool isPassword(std::string_view p) {
  return p.size() == 4 && std::all_of(p.begin(), p.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string quotedNumber(const SupplementaryServices::Forwarding& f) { return "\"" + f.number + "\"," + std::to_string(f.type); }

}  // namespace

int SupplementaryServices::classIndex(int classBit) {
  int i = 0;
  while (classBit > 1) {
    classBit >>= 1;
    ++i;
  }
  return std::min(i, 7);
}

const SupplementaryServices::Forwarding& SupplementaryServices::forwarding(int reason, int classBit) const {
  return forwarding_[static_cast<size_t>(std::clamp(reason, 0, 3))][static_cast<size_t>(classIndex(classBit))];
}

Outcome SupplementaryServices::setForwarding(int reason, int mode, const std::string& number, int type,
                                             int classes, int time) {
  std::vector<int> reasons;
  if (reason >= 0 && reason <= 3) reasons = {reason};
  if (reason == 4) reasons = {0, 1, 2, 3};
  if (reason == 5) reasons = {1, 2, 3};
  if (reasons.empty() || classes <= 0 || classes > 255) return Outcome::error();
  if (mode == 3 && number.empty()) return Outcome::error();
  // Enabling without a registered number has nothing to forward to.
  if (mode == 1) {
    for (int r : reasons) {
      for (int bit = 1; bit <= 128; bit <<= 1) {
        if ((classes & bit) && forwarding_[static_cast<size_t>(r)][static_cast<size_t>(classIndex(bit))].number.empty()) {
          return Outcome::cme(CmeError::OperationNotAllowed);
        }
      }
    }
  }
  for (int r : reasons) {
    for (int bit = 1; bit <= 128; bit <<= 1) {
      if (!(classes & bit)) continue;
      Forwarding& f = forwarding_[static_cast<size_t>(r)][static_cast<size_t>(classIndex(bit))];
      switch (mode) {
        case 0: f.active = false; break;
        case 1: f.active = true; break;
        case 3:
          f.number = number;
          f.type = type > 0 ? type : (!number.empty() && number[0] == '+' ? 145 : 129);
          f.active = true;
          if (r == 2 && time > 0) f.time = std::clamp(time, 5, 30);
          break;
        case 4: f = Forwarding{}; break;
        default: return Outcome::error();
      }
    }
  }
  return Outcome::ok();
}

Outcome SupplementaryServices::queryForwarding(int reason, int classes, std::vector<std::string>& lines) const {
  if (reason < 0 || reason > 3) return Outcome::cme(CmeError::OperationNotAllowed);
  if (classes <= 0 || classes > 255) return Outcome::error();
  for (int bit = 1; bit <= 128; bit <<= 1) {
    if (!(classes & bit)) continue;
    const Forwarding& f = forwarding(reason, bit);
    if (!f.active) continue;
    std::string line = "+CCFC: 1," + std::to_string(bit) + "," + quotedNumber(f);
    if (reason == 2) line += ",,," + std::to_string(f.time);
    lines.push_back(line);
  }
  if (lines.empty()) lines.push_back("+CCFC: 0," + std::to_string(classes));
  return Outcome::ok();
}

bool SupplementaryServices::isBarringFacility(std::string_view facility) const {
  return barringIndex(facility) >= 0 || !compositeMembers(facility).empty();
}

Outcome SupplementaryServices::barring(std::string_view facility, int mode, std::string_view password, int classes,
                                       std::vector<std::string>& lines) {
  if (classes <= 0 || classes > 255) return Outcome::error();
  const int index = barringIndex(facility);
  const auto members = compositeMembers(facility);
  if (index < 0 && members.empty()) return Outcome::cme(CmeError::OperationNotSupported);
  if (mode == 2) {
    if (index < 0) return Outcome::cme(CmeError::OperationNotAllowed);
    for (int bit = 1; bit <= 128; bit <<= 1) {
      if ((classes & bit) && (barred_[static_cast<size_t>(index)] & bit)) lines.push_back("+CLCK: 1," + std::to_string(bit));
    }
    if (lines.empty()) lines.push_back("+CLCK: 0," + std::to_string(classes));
    return Outcome::ok();
  }
  if (mode != 0 && mode != 1) return Outcome::error();
  if (password != barringPassword) return Outcome::cme(CmeError::IncorrectPassword);
  if (index < 0) {
    if (mode == 1) return Outcome::cme(CmeError::OperationNotAllowed);
    for (int m : members) barred_[static_cast<size_t>(m)] &= ~classes;
    return Outcome::ok();
  }
  if (mode == 1) {
    barred_[static_cast<size_t>(index)] |= classes;
  } else {
    barred_[static_cast<size_t>(index)] &= ~classes;
  }
  return Outcome::ok();
}

Outcome SupplementaryServices::changeBarringPassword(std::string_view oldPassword, std::string_view newPassword) {
  if (oldPassword != barringPassword) return Outcome::cme(CmeError::IncorrectPassword);
  if (!isPassword(newPassword)) return Outcome::cme(CmeError::OperationNotAllowed);
  barringPassword = std::string(newPassword);
  return Outcome::ok();
}

bool SupplementaryServices::outgoingBarred(std::string_view number) const {
  const int voice = 1;
  if (barred_[0] & voice) return true;
  const bool international = number.substr(0, 1) == "+" || number.substr(0, 2) == "00";
  if (!international) return false;
  if (barred_[1] & voice) return true;
  const std::string_view digits = number.substr(number[0] == '+' ? 1 : 2);
  return (barred_[2] & voice) && digits.substr(0, homeCountryCode.size()) != homeCountryCode;
}

bool SupplementaryServices::incomingBarred(bool roaming) const {
  return (barred_[3] & 1) || (roaming && (barred_[4] & 1));
}

}  // namespace fonexa::sim
