// PDU test vectors kept as data: one per line of a tab-separated file under
// tests/coding/data (see the header of each file).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace fonexa::test {

struct PduVector {
  std::string name;
  std::string pdu;
  std::string providerPhone;
  std::string phoneNumber;
  bool hasTimeStamp = false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string text;  // Latin-1
};

// Test output names the vector rather than dumping its bytes.
inline void PrintTo(const PduVector& v, std::ostream* out) { *out << v.name; }

// Reads the vectors of one file of tests/coding/data; an unreadable file or a
// malformed line throws std::runtime_error naming it.
std::vector<PduVector> LoadPduVectors(const std::string& fileName);

// UTF-8 text with the escapes \n \r \f \t \\ \xHH to Latin-1 bytes; a
// character beyond Latin-1 throws.
std::string Latin1FromEscapedUtf8(const std::string& text);

}  // namespace fonexa::test
