#include "FonexaProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace fonexa::clitest {

namespace {

using Clock = std::chrono::steady_clock;

// The master side of a fresh pseudo-terminal and the path of its slave.
int openTerminal(std::string& slavePath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  slavePath = ptsname(master);
  return master;
}

}  // namespace

FonexaProcess::FonexaProcess(const std::vector<std::string>& arguments, const ProcessOptions& options) {
  int out[2], err[2] = {-1, -1}, in[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0) return;
  std::string slavePath;
  if (options.stderrOnTerminal) {
    err[0] = openTerminal(slavePath);
  } else if (pipe2(err, O_CLOEXEC) != 0) {
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    // A session of its own: no controlling terminal but the one given here,
    // so that nothing asks on the terminal the tests were started from.
    setsid();
    if (options.stderrOnTerminal) {
      const int slave = open(slavePath.c_str(), O_RDWR);
      ioctl(slave, TIOCSCTTY, 0);
      dup2(slave, STDERR_FILENO);
    } else {
      dup2(err[1], STDERR_FILENO);
    }
    dup2(out[1], STDOUT_FILENO);
    dup2(in[0], STDIN_FILENO);
    for (const auto& [name, value] : options.environment) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::vector<char*> argv;
    static char program[] = FONEXA_COMMAND;
    argv.push_back(program);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
    _exit(127);
  }
  close(out[1]);
  if (!options.stderrOnTerminal) close(err[1]);
  close(in[0]);
  out_ = out[0];
  err_ = err[0];
  // Small inputs only: they fit the pipe, so writing cannot block.
  if (!options.input.empty()) (void)!write(in[1], options.input.data(), options.input.size());
  close(in[1]);
}

FonexaProcess::~FonexaProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
  if (err_ >= 0) close(err_);
}

bool FonexaProcess::readSome(std::chrono::milliseconds limit) {
  pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
  if (poll(fds, 2, static_cast<int>(limit.count())) <= 0) return false;
  bool any = false;
  int* ends[2] = {&out_, &err_};
  std::string* texts[2] = {&outText_, &errText_};
  for (int i = 0; i < 2; ++i) {
    if (*ends[i] < 0 || fds[i].revents == 0) continue;
    char buffer[4096];
    const ssize_t n = read(*ends[i], buffer, sizeof buffer);
    if (n > 0) {
      texts[i]->append(buffer, static_cast<size_t>(n));
      any = true;
    } else if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
      // End of a pipe, or EIO once the last holder of a terminal closed it.
      close(*ends[i]);
      *ends[i] = -1;
      any = true;
    }
  }
  return any;
}

bool FonexaProcess::waitForOutput(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds limit) {
  return waitFor(outText_, done, limit);
}

bool FonexaProcess::waitForError(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds limit) {
  return waitFor(errText_, done, limit);
}

void FonexaProcess::type(const std::string& keys) {
  if (err_ >= 0) (void)!write(err_, keys.data(), keys.size());
}

bool FonexaProcess::waitFor(const std::string& text, const std::function<bool(const std::string&)>& done,
                            std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!done(text)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || (out_ < 0 && err_ < 0)) return false;
    readSome(left);
  }
  return true;
}

void FonexaProcess::signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

Finished FonexaProcess::finish(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (out_ >= 0 || err_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    readSome(left);
  }
  Finished finished;
  if (out_ >= 0 || err_ >= 0) kill(pid_, SIGKILL);
  int status = 0;
  if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) {
    finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  pid_ = -1;
  finished.out = outText_;
  finished.err = errText_;
  return finished;
}

Finished runFonexa(const std::vector<std::string>& arguments, const ProcessOptions& options,
                   std::chrono::milliseconds limit) {
  FonexaProcess process(arguments, options);
  return process.finish(limit);
}

}  // namespace fonexa::clitest
