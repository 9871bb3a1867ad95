#pragma once
// A read cursor over the octets of a PDU. It never reads past the end: a read
// beyond it yields 0 and marks the cursor as overrun, so a decoder reads its
// fields in the order of the TPDU layout and checks once at the end.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fonexa::sim {

class PduCursor {
 public:
  explicit PduCursor(const std::vector<uint8_t>& octets) : octets_(octets) {}

  uint8_t next();
  // Copies `count` octets (fewer when the PDU ends first, marking overrun).
  std::vector<uint8_t> take(size_t count);
  void skip(size_t count);

  size_t position() const { return position_; }
  size_t remaining() const { return octets_.size() - position_; }
  bool overrun() const { return overrun_; }

 private:
  const std::vector<uint8_t>& octets_;
  size_t position_ = 0;
  bool overrun_ = false;
};

}  // namespace fonexa::sim
