#pragma once
// The operator names a phone carries in its memory (+COPN) and the networks
// that can be seen from where the virtual phone stands (+COPS=?).
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

struct OperatorName {
  std::string numeric;  // MCC and MNC digits
  std::string longName;
  std::string shortName;
};

const std::vector<OperatorName>& knownOperators();
const OperatorName* findOperator(std::string_view numeric);
const OperatorName* findOperatorByName(std::string_view name);  // long or short, exact

}  // namespace fonexa::sim
