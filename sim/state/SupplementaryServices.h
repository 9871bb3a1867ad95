#pragma once
// Network-side supplementary services per basic-service class: call
// forwarding (+CCFC, GSM 02.82) and call barring (+CLCK with the barring
// facilities, GSM 02.88) with the network barring password.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sim/at/ResultCodes.h"

namespace fonexa::sim {

class SupplementaryServices {
 public:
  static constexpr int kDefaultClasses = 7;  // voice, data, fax

  struct Forwarding {
    bool active = false;
    std::string number;  // as registered, "+" kept for international numbers
    int type = 129;
    int time = 20;  // no-reply timer, seconds
  };

  std::string barringPassword = "0000";
  std::string homeCountryCode = "49";

  // +CCFC=<reason>,<mode>,... for modes 0 disable, 1 enable, 3 register, 4 erase.
  Outcome setForwarding(int reason, int mode, const std::string& number, int type, int classes, int time);
  // +CCFC=<reason>,2: the information lines, or the error.
  Outcome queryForwarding(int reason, int classes, std::vector<std::string>& lines) const;

  bool isBarringFacility(std::string_view facility) const;
  // +CLCK for the barring facilities: mode 0 unlock, 1 lock, 2 query.
  Outcome barring(std::string_view facility, int mode, std::string_view password, int classes,
                  std::vector<std::string>& lines);
  Outcome changeBarringPassword(std::string_view oldPassword, std::string_view newPassword);

  bool outgoingBarred(std::string_view number) const;
  bool incomingBarred(bool roaming) const;
  const Forwarding& forwarding(int reason, int classBit) const;

 private:
  static int classIndex(int classBit);
  std::array<std::array<Forwarding, 8>, 4> forwarding_{};
  // Barred classes per facility: AO OI OX AI IR.
  std::array<int, 5> barred_{};
};

}  // namespace fonexa::sim
