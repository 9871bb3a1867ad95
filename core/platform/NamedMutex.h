// A system-wide named mutex shared by every process of the same user.
//
// It behaves as the modem's line lock must: recursive for the owning thread,
// waited for with a time-out, and an owner that died while holding it leaves it
// "abandoned", which the next waiter receives as acquired. It lives in POSIX
// shared memory as a robust, recursive, process-shared pthread mutex. The
// environment variable FONEXA_MUTEX_NAMESPACE gives it a namespace of its own,
// so that test runs side by side do not contend.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace fonexa::platform {

class NamedMutex {
 public:
  static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

  enum class WaitResult { Acquired, Abandoned, TimedOut, Failed };

  NamedMutex() = default;
  ~NamedMutex();
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Opens the mutex of that name, creating it when it does not exist yet.
  bool Create(const std::string& name);
  bool IsCreated() const { return shared_ != nullptr; }
  // Waits up to timeoutMs (kInfinite: no limit).
  WaitResult Wait(uint32_t timeoutMs);
  // False when the calling thread does not own the mutex.
  bool Release();
  // Unmaps the mutex from this process; the mutex itself stays for the others.
  void Close();

  // The shared-memory object name used for a mutex name: user, namespace, name.
  static std::string ObjectName(const std::string& name);

 private:
  struct Shared;
  void Taken();  // records a successful wait of the calling thread
  Shared* shared_ = nullptr;
  // Who holds it through this object, and how often: a release by any other
  // thread is refused here rather than handed to the system as an unlock of a
  // mutex the caller does not own. depth_ is touched only by the owner.
  std::atomic<std::thread::id> owner_{};
  uint32_t depth_ = 0;
};

}  // namespace fonexa::platform
