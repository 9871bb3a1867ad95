// What a decoded entry's text may be besides user data: a status report's
// text is the outcome it reports ("delivered", "pending", ...).
#pragma once
#include <string>

#include "codec/DeliveryReports.h"

inline bool IsOutcomeName(const std::string& text) {
  using fonexa::DeliveryOutcome;
  for (DeliveryOutcome o : {DeliveryOutcome::Unknown, DeliveryOutcome::Waiting, DeliveryOutcome::Delivered,
                            DeliveryOutcome::Pending, DeliveryOutcome::Failed}) {
    if (text == fonexa::DeliveryOutcomeName(o)) return true;
  }
  return false;
}
