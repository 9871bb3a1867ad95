#pragma once
// How a command fails: a message for stderr and the exit code that tells a
// script what kind of failure it was. The codes are part of the command's
// interface (docs/fonexa-command.md lists them) and never change meaning.
#include <stdexcept>
#include <string>

namespace fonexa::cli {

enum class ExitCode : int {
  Ok = 0,
  Refused = 1,      // the phone refused the operation or did not carry it out
  Usage = 2,        // bad arguments, an unusable text, a bad configuration
  Device = 3,       // no phone: the port cannot be opened or nothing answers
  File = 4,         // a file to import, export or trace into cannot be used
  Interrupted = 130 // stopped by SIGINT or SIGTERM before it was done
};

class CommandError : public std::runtime_error {
 public:
  CommandError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ExitCode code() const { return code_; }

 private:
  ExitCode code_;
};

[[noreturn]] inline void refused(const std::string& message) { throw CommandError(ExitCode::Refused, message); }
[[noreturn]] inline void badUsage(const std::string& message) { throw CommandError(ExitCode::Usage, message); }
[[noreturn]] inline void deviceFailed(const std::string& message) { throw CommandError(ExitCode::Device, message); }
[[noreturn]] inline void fileFailed(const std::string& message) { throw CommandError(ExitCode::File, message); }

}  // namespace fonexa::cli
