// The growable receive buffer of the serial channel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fonexa {

class ByteBuffer {
 public:
  static constexpr size_t kInitialCapacity = 32;
  static constexpr size_t kGrowthStep = 32;

  // limit 0: no limit on the capacity.
  explicit ByteBuffer(size_t capacity = kInitialCapacity, size_t step = kGrowthStep, size_t limit = 0);
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // False when the limit does not allow the growth the bytes need.
  bool Append(const uint8_t* bytes, size_t count);
  size_t Length() const { return length_; }
  size_t Capacity() const { return capacity_; }
  const uint8_t* Data() const { return data_; }
  // A fresh copy of the contents followed by four zero bytes, so that it is
  // always NUL-terminated; the caller frees it with delete[].
  uint8_t* TakeCopy() const;

 private:
  uint8_t* data_;
  size_t length_ = 0;
  size_t position_ = 0;
  size_t capacity_;
  size_t step_;
  size_t limit_;
};

}  // namespace fonexa
