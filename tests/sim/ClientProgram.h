#pragma once
// Running the outside programs of the interop tests: a client (gammu,
// gsmctl) to completion with its output, and fonexa-modemsim as a child
// with its standard input and output on pipes.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace fonexa::sim::test {

struct ProgramResult {
  int exitCode = -1;  // -1: killed after the time-out
  std::string output;  // standard output and standard error together
};

// Runs `argv` with extra environment entries ("NAME=value"), stdin closed.
ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                         std::chrono::seconds timeout = std::chrono::seconds(120));
// The full path of a program on PATH, or empty.
std::string findProgram(const std::string& name);

class ModemSimProcess {
 public:
  explicit ModemSimProcess(const std::vector<std::string>& arguments);
  ~ModemSimProcess();

  // The first line of standard output: the device path.
  const std::string& devicePath() const { return devicePath_; }
  // One control command; the answer up to and including its "ok" / "error:" line.
  std::string control(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  void closeInput();
  void signal(int number);
  // Waits for the program to end; its exit code, or -1 after the time-out.
  int wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  std::string readLine(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string buffer_;
  std::string devicePath_;
};

}  // namespace fonexa::sim::test
