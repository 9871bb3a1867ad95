// A program started from the engine: pppd for dial-up links, the sound player.
//
// The child gets the descriptors the caller maps for it and the default
// handling of every signal, whatever the application has set for itself, so
// that ending it behaves the same in every host program. Its end is collected
// by whichever thread looks first; the exit is kept, and the process is never
// signalled after that, because its id may already belong to another process.
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace fonexa::platform {

class ChildProcess {
 public:
  // A descriptor of the parent given to the child under another number.
  struct Descriptor {
    int parent;
    int child;
  };

  ChildProcess() = default;
  ~ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Runs program (a path, or a name searched in PATH) with args after argv[0].
  // The child's standard input and output are /dev/null unless mapped. With
  // ownGroup it leads a process group of its own, so that EndGroup reaches the
  // programs it starts in turn. False when the program could not be started.
  bool Start(const std::string& program, const std::vector<std::string>& args, const std::vector<Descriptor>& mapped,
             bool ownGroup);

  pid_t Pid() const { return pid_; }
  // Looks, without waiting, whether the child has ended, and collects it.
  bool HasEnded();
  // Waits until the child has ended and collects it.
  void WaitForEnd();
  // Its exit code, or 128 + the signal that ended it; -1 while it runs.
  int ExitStatus() const;

  // Sends sig to the child while it has not been collected.
  bool Signal(int sig);
  // Sends sig to the child's whole process group (started with ownGroup).
  bool SignalGroup(int sig);

 private:
  void Collect(int status);  // with mutex_ held

  mutable std::mutex mutex_;
  pid_t pid_ = -1;
  bool ownGroup_ = false;
  bool ended_ = false;
  int exitStatus_ = -1;
};

}  // namespace fonexa::platform
