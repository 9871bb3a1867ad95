#pragma once
// Where the state machines hand their unsolicited result codes. The sink
// frames them and decides when the line is free to carry them.
#include <string>

namespace fonexa::sim {

enum class UnsolicitedKind {
  General,            // RING, +CLIP, +CREG, NO CARRIER, ...
  MessageIndication,  // +CMTI, +CMT, +CDS, +CDSI: subject to the +CNMI mode
};

class UnsolicitedSink {
 public:
  virtual ~UnsolicitedSink() = default;
  // `text` is one or more lines joined by "\r\n", without the framing.
  virtual void unsolicited(const std::string& text, UnsolicitedKind kind) = 0;
};

}  // namespace fonexa::sim
