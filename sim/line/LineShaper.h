#pragma once
// The serial line between terminal and phone, with its speed and its faults:
// bytes take their time at a given rate in both directions, answers can come
// late or in pieces, a line can lose its end, the phone can go silent.
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sim/line/EventLoop.h"
#include "sim/line/OutputKind.h"

namespace fonexa::sim {

struct LineConditions {
  bool silent = false;                          // nothing is read or answered
  std::chrono::milliseconds responseDelay{0};   // before every answer to a command
  int bytesPerSecond = 0;                       // 0: as fast as the pty goes
  size_t chunkSize = 0;                         // split every output into pieces ...
  std::chrono::milliseconds chunkGap{0};        // ... this far apart
};

class LineShaper {
 public:
  using Clock = EventLoop::Clock;
  using Sink = std::function<void(std::string_view)>;

  LineShaper(EventLoop& loop, Sink transmit, Sink deliver);
  ~LineShaper();

  LineConditions conditions;
  // One-shot fault: the next answer goes out without its final line end.
  bool dropNextLineEnd = false;

  void send(std::string bytes, OutputKind kind);
  void receive(std::string_view bytes);
  void clear();

 private:
  struct Chunk {
    Clock::time_point notBefore;
    std::string bytes;
  };
  std::chrono::nanoseconds byteTime() const;
  void pumpOut();
  void pumpIn();

  EventLoop& loop_;
  Sink transmit_;
  Sink deliver_;
  std::deque<Chunk> out_;
  Clock::time_point outLineFree_{};
  std::optional<Scheduler::TimerId> outTimer_;
  std::string in_;
  Clock::time_point inLineFree_{};
  std::optional<Scheduler::TimerId> inTimer_;
};

}  // namespace fonexa::sim
