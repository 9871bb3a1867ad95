#pragma once
// Every byte the modem read and wrote, with the time it crossed the line, and
// notes about what happened on the line (a client closed, a fault fired).
// Tests wait on it for traffic instead of sleeping.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

enum class Direction { In, Out, Note };

struct TranscriptEntry {
  std::chrono::steady_clock::time_point time;
  Direction direction;
  std::string bytes;
};

class Transcript {
 public:
  Transcript();

  void record(Direction direction, std::string_view bytes);
  std::vector<TranscriptEntry> entries() const;
  // All bytes of one direction, in order.
  std::string text(Direction direction) const;
  size_t size(Direction direction) const;
  // Waits until the bytes of one direction, from `offset` on, contain `needle`.
  bool waitFor(Direction direction, std::string_view needle, std::chrono::milliseconds timeout,
               size_t offset = 0) const;
  // "+0.012345 > AT\r" lines, with control characters escaped.
  std::string render() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::chrono::steady_clock::time_point start_;
  std::vector<TranscriptEntry> entries_;
  std::string in_;
  std::string out_;
  std::string notes_;
};

std::string escapeBytes(std::string_view bytes);

}  // namespace fonexa::sim
