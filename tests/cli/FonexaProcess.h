// The fonexa program run as a process of its own, the way a shell runs it:
// arguments, environment, standard input, and standard output and error read
// through pipes, or standard error on a pseudo-terminal when a test needs a
// terminal there.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fonexa::clitest {

struct ProcessOptions {
  std::map<std::string, std::optional<std::string>> environment;  // nullopt removes a variable
  std::string input;                                              // standard input, then end of input
  bool stderrOnTerminal = false;
};

struct Finished {
  int exitCode = -1;  // 128 + the signal when a signal ended it
  std::string out;
  std::string err;
};

class FonexaProcess {
 public:
  FonexaProcess(const std::vector<std::string>& arguments, const ProcessOptions& options);
  ~FonexaProcess();
  FonexaProcess(const FonexaProcess&) = delete;
  FonexaProcess& operator=(const FonexaProcess&) = delete;

  // Reads until done(output so far) holds or the time is up; true when it held.
  bool waitForOutput(const std::function<bool(const std::string& out)>& done, std::chrono::milliseconds limit);
  // The same on standard error (the terminal, with stderrOnTerminal).
  bool waitForError(const std::function<bool(const std::string& err)>& done, std::chrono::milliseconds limit);
  // Keys typed on the terminal (stderrOnTerminal only).
  void type(const std::string& keys);
  void signal(int number);
  // Reads to the end and reaps the process; kills it when it outlives limit.
  Finished finish(std::chrono::milliseconds limit);

 private:
  bool readSome(std::chrono::milliseconds limit);
  bool waitFor(const std::string& text, const std::function<bool(const std::string&)>& done,
               std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string outText_;
  std::string errText_;
};

// Runs fonexa to its end.
Finished runFonexa(const std::vector<std::string>& arguments, const ProcessOptions& options = {},
                   std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace fonexa::clitest
