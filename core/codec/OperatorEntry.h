// One operator as the network service lists and reads it: an entry of the
// phone's name table (+COPN), a network in reach (+COPS=?) or the network in
// use (+COPS?). Fields a listing does not carry stay at their defaults.
#pragma once

#include <string>

namespace fonexa {

struct OperatorEntry {
  // Alphanumeric name: the +COPN name, the long name of +COPS=?, or the
  // operator of +COPS? read in an alphanumeric format.
  std::string Name;
  // Numeric operator code (MCC and MNC digits as one number), -1 when not known.
  int CodeNumber = -1;
  // +COPS? <mode>: 0 automatic, 1 manual, ...; -1 when not read.
  int Mode = -1;
  // +COPS=? <stat>: 0 unknown, 1 available, 2 current, 3 forbidden; -1 when not read.
  int State = -1;
};

}  // namespace fonexa
