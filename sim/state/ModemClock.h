#pragma once
// The phone's real-time clock (+CCLK): the host's clock plus whatever offset
// the terminal set, with the time zone the terminal gave.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/codec/SmsPdu.h"

namespace fonexa::sim {

class ModemClock {
 public:
  SmsTimestamp now() const;
  // "yy/MM/dd,hh:mm:ss" with an optional "+zz"/"-zz" in quarter hours.
  bool set(std::string_view text);
  void resetToHost() { offsetSeconds_ = 0; zoneQuarters_.reset(); }
  int64_t offsetSeconds() const { return offsetSeconds_; }
  void setOffsetSeconds(int64_t s) { offsetSeconds_ = s; }

  static std::optional<SmsTimestamp> parse(std::string_view text);

 private:
  int64_t offsetSeconds_ = 0;
  std::optional<int> zoneQuarters_;
};

}  // namespace fonexa::sim
