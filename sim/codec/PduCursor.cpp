#include "sim/codec/PduCursor.h"

#include <algorithm>

namespace fonexa::sim {

uint8_t PduCursor::next() {
  if (position_ >= octets_.size()) {
    overrun_ = true;
    return 0;
  }
  return octets_[position_++];
}

std::vector<uint8_t> PduCursor::take(size_t count) {
  const size_t available = std::min(count, remaining());
  std::vector<uint8_t> out(octets_.begin() + static_cast<std::ptrdiff_t>(position_),
                           octets_.begin() + static_cast<std::ptrdiff_t>(position_ + available));
  position_ += available;
  if (available < count) overrun_ = true;
  return out;
}

void PduCursor::skip(size_t count) {
  if (count > remaining()) {
    position_ = octets_.size();
    overrun_ = true;
    return;
  }
  position_ += count;
}

}  // namespace fonexa::sim
