#pragma once
// Ctrl-C and SIGTERM. The first asks the command to stop where it can: the
// monitor ends, a listing stops between two reads, and the phone is released
// in order. A second one ends the program at once.
#include <chrono>
#include <functional>

namespace fonexa::cli {

class StopRequest {
 public:
  // Call before any other thread starts: the threads made afterwards (the
  // engine's among them) inherit the blocked signals, so only the waiting
  // thread started here sees them.
  static void install();
  static bool requested();
  // Waits until a stop is requested or the time has passed; true when requested.
  static bool waitFor(std::chrono::milliseconds timeout);
  // Waits until a stop is requested, done() holds (checked again after each
  // wake()), or the time has passed; true unless the time ran out.
  static bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  static void wake();
};

}  // namespace fonexa::cli
