#include "port/ByteBuffer.h"

#include <cstring>

namespace fonexa {

ByteBuffer::ByteBuffer(size_t capacity, size_t step, size_t limit)
    : data_(new uint8_t[capacity]), capacity_(capacity), step_(step), limit_(limit) {}

ByteBuffer::~ByteBuffer() { delete[] data_; }

bool ByteBuffer::Append(const uint8_t* bytes, size_t count) {
  if (count == 0) return true;
  // One byte always stays spare behind the data.
  if (position_ + count >= capacity_) {
    size_t capacity = capacity_ + (count > step_ ? count : step_);
    if (limit_ != 0 && capacity > limit_) capacity = limit_;
    if (position_ + count >= capacity) return false;
    auto* grown = new uint8_t[capacity];
    std::memcpy(grown, data_, length_);
    delete[] data_;
    data_ = grown;
    capacity_ = capacity;
  }
  std::memcpy(data_ + position_, bytes, count);
  position_ += count;
  if (position_ > length_) length_ = position_;
  return true;
}

uint8_t* ByteBuffer::TakeCopy() const {
  auto* copy = new uint8_t[length_ + 4];
  std::memcpy(copy, data_, length_);
  std::memset(copy + length_, 0, 4);
  return copy;
}

}  // namespace fonexa
