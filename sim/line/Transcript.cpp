#include "sim/line/Transcript.h"

#include <cstdio>

namespace fonexa::sim {

std::string escapeBytes(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

Transcript::Transcript() : start_(std::chrono::steady_clock::now()) {}

void Transcript::record(Direction direction, std::string_view bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({std::chrono::steady_clock::now(), direction, std::string(bytes)});
    (direction == Direction::In ? in_ : direction == Direction::Out ? out_ : notes_).append(bytes);
  }
  changed_.notify_all();
}

std::vector<TranscriptEntry> Transcript::entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

std::string Transcript::text(Direction direction) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return direction == Direction::In ? in_ : direction == Direction::Out ? out_ : notes_;
}

size_t Transcript::size(Direction direction) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return (direction == Direction::In ? in_ : direction == Direction::Out ? out_ : notes_).size();
}

bool Transcript::waitFor(Direction direction, std::string_view needle, std::chrono::milliseconds timeout,
                         size_t offset) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    const std::string& s = direction == Direction::In ? in_ : direction == Direction::Out ? out_ : notes_;
    return offset <= s.size() && s.find(needle, offset) != std::string::npos;
  });
}

std::string Transcript::render() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string out;
  for (const auto& e : entries_) {
    const double seconds = std::chrono::duration<double>(e.time - start_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "+%.6f ", seconds);
    out += stamp;
    out += e.direction == Direction::In ? "> " : e.direction == Direction::Out ? "< " : "# ";
    out += escapeBytes(e.bytes);
    out += '\n';
  }
  return out;
}

void Transcript::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
  in_.clear();
  out_.clear();
  notes_.clear();
}

}  // namespace fonexa::sim
