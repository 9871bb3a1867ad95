#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace fonexa::platform {

namespace {

// Frees the spawn attributes and file actions on every path out of Start.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
};

bool IsMapped(const std::vector<ChildProcess::Descriptor>& mapped, int child) {
  for (const auto& d : mapped) {
    if (d.child == child) return true;
  }
  return false;
}

}  // namespace

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<Descriptor>& mapped, bool ownGroup) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ > 0 || program.empty()) return false;

  SpawnSetup setup;
  for (int standard = 0; standard <= 2; ++standard) {
    if (!IsMapped(mapped, standard)) {
      posix_spawn_file_actions_addopen(&setup.actions, standard, "/dev/null", standard == 0 ? O_RDONLY : O_WRONLY, 0);
    }
  }
  for (const auto& d : mapped) posix_spawn_file_actions_adddup2(&setup.actions, d.parent, d.child);

  sigset_t defaults;
  sigfillset(&defaults);
  sigdelset(&defaults, SIGKILL);
  sigdelset(&defaults, SIGSTOP);
  sigset_t none;
  sigemptyset(&none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  if (ownGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&setup.attributes, 0);
  }
  posix_spawnattr_setflags(&setup.attributes, flags);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  if (posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) != 0) return false;
  pid_ = pid;
  ownGroup_ = ownGroup;
  ended_ = false;
  exitStatus_ = -1;
  return true;
}

void ChildProcess::Collect(int status) {
  ended_ = true;
  exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

bool ChildProcess::HasEnded() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ <= 0 || ended_) return true;
  int status = 0;
  const pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == pid_) {
    Collect(status);
  } else if (r < 0 && errno == ECHILD) {
    // Someone else collected it (a host that reaps every child): it is gone.
    ended_ = true;
  }
  return ended_;
}

void ChildProcess::WaitForEnd() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (pid_ <= 0 || ended_) return;
  const pid_t pid = pid_;
  lock.unlock();
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid, &status, 0);
  } while (r < 0 && errno == EINTR);
  lock.lock();
  if (ended_) return;
  if (r == pid) {
    Collect(status);
  } else {
    ended_ = true;
  }
}

int ChildProcess::ExitStatus() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return exitStatus_;
}

bool ChildProcess::Signal(int sig) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ <= 0 || ended_) return false;
  return kill(pid_, sig) == 0;
}

bool ChildProcess::SignalGroup(int sig) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ <= 0 || ended_) return false;
  return kill(ownGroup_ ? -pid_ : pid_, sig) == 0;
}

}  // namespace fonexa::platform
