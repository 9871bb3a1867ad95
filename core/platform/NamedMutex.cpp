#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/Tick.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace fonexa::platform {

struct NamedMutex::Shared {
  std::atomic<uint32_t> ready;  // set once the creator has initialised the mutex
  pthread_mutex_t mutex;
};

namespace {

constexpr uint32_t kReadyMark = 0x4D784D75;  // "MxMu"
constexpr uint32_t kInitWaitMs = 2000;

std::string SanitizedPart(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.';
    out.push_back(plain ? c : '_');
  }
  return out;
}

bool InitialiseMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
            pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
            pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 && pthread_mutex_init(mutex, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

// A wait with a deadline on the monotonic clock, so that setting the wall
// clock neither shortens nor stretches it. ThreadSanitizer does not see
// pthread_mutex_clocklock; under it the lock is announced by hand, or every
// release would look like the release of a mutex nobody holds.
int ClockLock(pthread_mutex_t* mutex, const timespec* deadline) {
#if defined(__SANITIZE_THREAD__)
  __tsan_mutex_pre_lock(mutex, __tsan_mutex_try_lock);
  const int rc = pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, deadline);
  const bool taken = rc == 0 || rc == EOWNERDEAD;
  __tsan_mutex_post_lock(mutex, __tsan_mutex_try_lock | (taken ? 0u : __tsan_mutex_try_lock_failed), 0);
  return rc;
#else
  return pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, deadline);
#endif
}

}  // namespace

NamedMutex::~NamedMutex() { Close(); }

std::string NamedMutex::ObjectName(const std::string& name) {
  std::string object = "/fonexa." + std::to_string(getuid());
  if (const char* ns = std::getenv("FONEXA_MUTEX_NAMESPACE"); ns && *ns) object += "." + SanitizedPart(ns);
  object += "." + SanitizedPart(name.c_str());
  return object;
}

bool NamedMutex::Create(const std::string& name) {
  if (shared_) return true;
  const std::string object = ObjectName(name);
  bool creator = true;
  int fd = shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) {
    creator = false;
    fd = shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0600);
  }
  if (fd < 0) return false;
  if (creator && ftruncate(fd, sizeof(Shared)) != 0) {
    close(fd);
    shm_unlink(object.c_str());
    return false;
  }
  if (!creator) {
    // The creator may still be sizing the object.
    const uint32_t start = TickCount();
    struct stat st{};
    while (fstat(fd, &st) == 0 && st.st_size < static_cast<off_t>(sizeof(Shared))) {
      if (TickCount() - start > kInitWaitMs) {
        close(fd);
        return false;
      }
      SleepMs(1);
    }
  }
  void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (memory == MAP_FAILED) return false;
  auto* shared = static_cast<Shared*>(memory);
  if (creator) {
    if (!InitialiseMutex(&shared->mutex)) {
      munmap(memory, sizeof(Shared));
      shm_unlink(object.c_str());
      return false;
    }
    shared->ready.store(kReadyMark, std::memory_order_release);
  } else {
    const uint32_t start = TickCount();
    while (shared->ready.load(std::memory_order_acquire) != kReadyMark) {
      if (TickCount() - start > kInitWaitMs) {
        munmap(memory, sizeof(Shared));
        return false;
      }
      SleepMs(1);
    }
  }
  shared_ = shared;
  return true;
}

NamedMutex::WaitResult NamedMutex::Wait(uint32_t timeoutMs) {
  if (!shared_) return WaitResult::Failed;
  int rc;
  if (timeoutMs == kInfinite) {
    rc = pthread_mutex_lock(&shared_->mutex);
  } else {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += timeoutMs / 1000;
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
      deadline.tv_sec += 1;
      deadline.tv_nsec -= 1000000000L;
    }
    rc = ClockLock(&shared_->mutex, &deadline);
  }
  switch (rc) {
    case 0:
      Taken();
      return WaitResult::Acquired;
    case EOWNERDEAD:
      // The previous owner died holding it: the state it protected (a line
      // dialogue) ended with that process, so the mutex is simply taken over.
      pthread_mutex_consistent(&shared_->mutex);
      Taken();
      return WaitResult::Abandoned;
    case ETIMEDOUT:
      return WaitResult::TimedOut;
    default:
      return WaitResult::Failed;
  }
}

void NamedMutex::Taken() {
  if (owner_.load() == std::this_thread::get_id()) {
    ++depth_;
    return;
  }
  owner_.store(std::this_thread::get_id());
  depth_ = 1;
}

bool NamedMutex::Release() {
  if (!shared_ || owner_.load() != std::this_thread::get_id()) return false;
  if (--depth_ == 0) owner_.store(std::thread::id{});
  return pthread_mutex_unlock(&shared_->mutex) == 0;
}

void NamedMutex::Close() {
  if (!shared_) return;
  munmap(shared_, sizeof(Shared));
  shared_ = nullptr;
}

}  // namespace fonexa::platform
