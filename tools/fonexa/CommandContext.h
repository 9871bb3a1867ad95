#pragma once
// What every subcommand works with: the global options, the output, and the
// phone, brought up on first use and released in order when the command ends.
#include <memory>
#include <string>

#include "BuiltInModem.h"
#include "DeviceSelection.h"
#include "Output.h"

namespace fonexa::cli {

struct GlobalOptions {
  std::string device;  // --device; empty: FONEXA_DEVICE, the config file, the built-in modem
  std::string trace;   // --trace FILE
  bool json = false;   // --json
};

enum class SimNeed {
  Ready,  // the SIM must be ready: everything but the PIN commands
  Any,    // a SIM that waits for a code will do
};

class CommandContext {
 public:
  explicit CommandContext(GlobalOptions& options) : options_(options) {}
  ~CommandContext();
  CommandContext(const CommandContext&) = delete;
  CommandContext& operator=(const CommandContext&) = delete;

  Output& out();
  bool json() const { return options_.json; }

  // Brings the phone up once per command. Throws CommandError: a device
  // failure when nothing usable answers, a refusal when the SIM needs a code.
  void connect(SimNeed need = SimNeed::Ready);
  // The next connect uses the built-in modem whatever device is configured.
  void preferBuiltInModem() { preferBuiltIn_ = true; }
  // The built-in modem, or null when the command talks to a phone.
  BuiltInModem* builtInModem() { return builtIn_.get(); }
  // A stop request (Ctrl-C) is how this command ends, not an interruption.
  void endsOnStop() { endsOnStop_ = true; }
  bool stopIsNormal() const { return endsOnStop_; }
  // What the command is talking to, for messages.
  const std::string& spec() const { return spec_; }

 private:
  std::string describePortFailure() const;

  GlobalOptions& options_;
  std::unique_ptr<Output> out_;
  std::unique_ptr<BuiltInModem> builtIn_;
  std::string spec_;
  bool preferBuiltIn_ = false;
  bool connected_ = false;
  bool traceOpen_ = false;
  bool endsOnStop_ = false;
};

}  // namespace fonexa::cli
