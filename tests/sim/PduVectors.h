#pragma once
// PDU test vectors built by python3-gammu, read from tests/sim/data.
#include <string>
#include <vector>

namespace fonexa::sim::test {

struct PduVector {
  std::string name;
  std::string pdu;
  int tpduLength = 0;
  std::string number;
  std::string alphabet;  // gsm7, 8bit, ucs2
  int messageClass = -1;
  int concatReference = -1;  // -1: not concatenated
  int concatTotal = 0;
  int concatSequence = 0;
  bool statusReport = false;
  std::string text;  // UTF-8, or the raw octets of 8-bit data
};

std::vector<PduVector> loadPduVectors(const std::string& file);

}  // namespace fonexa::sim::test
