#include "PduVectors.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fonexa::sim::test {

std::vector<PduVector> loadPduVectors(const std::string& file) {
  std::ifstream in(std::string(FONEXA_SIM_TEST_DATA) + "/" + file);
  if (!in) throw std::runtime_error("missing test data " + file);
  std::vector<PduVector> out;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '|')) f.push_back(field);
    if (f.size() != 9) throw std::runtime_error("bad vector line: " + line);
    PduVector v;
    v.name = f[0];
    v.pdu = f[1];
    v.tpduLength = std::stoi(f[2]);
    v.number = f[3];
    v.alphabet = f[4];
    v.messageClass = std::stoi(f[5]);
    if (f[6] != "-") {
      std::sscanf(f[6].c_str(), "%d/%d/%d", &v.concatReference, &v.concatTotal, &v.concatSequence);
    }
    v.statusReport = f[7] == "1";
    for (size_t i = 0; i + 1 < f[8].size(); i += 2) v.text += static_cast<char>(std::stoi(f[8].substr(i, 2), nullptr, 16));
    out.push_back(v);
  }
  return out;
}

}  // namespace fonexa::sim::test
