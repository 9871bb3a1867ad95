#include "StopRequest.h"

#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "CommandError.h"

namespace fonexa::cli {

namespace {

// The signal thread is detached and lives until the process ends, so what it
// uses is never destroyed: a destructor run at exit would race with it.
std::mutex& lock = *new std::mutex;
std::condition_variable& changed = *new std::condition_variable;
bool stopRequested = false;

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void StopRequest::install() {
  const sigset_t signals = stopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals] {
    for (;;) {
      int number = 0;
      if (sigwait(&signals, &number) != 0) continue;
      std::unique_lock<std::mutex> guard(lock);
      if (stopRequested) {
        static const char kMessage[] = "\nfonexa: interrupted again, stopping at once\n";
        (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
        _exit(static_cast<int>(ExitCode::Interrupted));
      }
      stopRequested = true;
      guard.unlock();
      changed.notify_all();
    }
  }).detach();
}

bool StopRequest::requested() {
  std::lock_guard<std::mutex> guard(lock);
  return stopRequested;
}

bool StopRequest::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock);
  return changed.wait_for(guard, timeout, [] { return stopRequested; });
}

bool StopRequest::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock);
  return changed.wait_for(guard, timeout, [&done] { return stopRequested || done(); });
}

void StopRequest::wake() {
  // Taking the lock orders the waker's change before the waiter's next check.
  { std::lock_guard<std::mutex> guard(lock); }
  changed.notify_all();
}

}  // namespace fonexa::cli
