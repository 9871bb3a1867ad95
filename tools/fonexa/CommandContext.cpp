#include "CommandContext.h"

#include <unistd.h>

#include <cstdio>

#include "CommandError.h"
#include "SimCodes.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

constexpr const char* kPlugins[] = {"GenericPhone", "MotorolaPhone", "EricssonPhone", "NokiaPhone"};

}  // namespace

CommandContext::~CommandContext() {
  if (connected_) Module::Uninitialize();
  if (traceOpen_) Module::CloseDebugLog();
  builtIn_.reset();
}

Output& CommandContext::out() {
  if (!out_) out_ = std::make_unique<Output>(options_.json);
  return *out_;
}

std::string CommandContext::describePortFailure() const {
  const size_t at = spec_.find('@');
  const std::string plugin = spec_.substr(0, at);
  const std::string rest = at == std::string::npos ? "" : spec_.substr(at + 1);
  const std::string port = rest.substr(0, rest.find('@'));
  bool knownPlugin = false;
  for (const char* name : kPlugins) knownPlugin = knownPlugin || plugin == name;
  if (!knownPlugin) {
    return "the phone did not come up with the plug-in \"" + plugin +
           "\" (the plug-ins are GenericPhone, MotorolaPhone, EricssonPhone and NokiaPhone)";
  }
  if (!port.empty() && port.front() == '/') {
    if (access(port.c_str(), F_OK) != 0) return "there is no device " + port;
    if (access(port.c_str(), R_OK | W_OK) != 0) {
      return "no permission to use " + port + " (is this user in the dialout group?)";
    }
  }
  return "the phone on " + port +
         " does not answer (is it switched on, at the right speed, and not held by another program such as a "
         "modem daemon?)";
}

void CommandContext::connect(SimNeed need) {
  if (connected_) return;
  DeviceChoice choice = preferBuiltIn_ ? DeviceChoice{} : chooseDevice(options_.device);
  if (choice.builtIn()) {
    builtIn_ = std::make_unique<BuiltInModem>();
    std::string error;
    if (!builtIn_->start(error)) deviceFailed("the built-in virtual modem did not start: " + error);
    spec_ = builtIn_->spec();
    if (choice.source.empty() && !preferBuiltIn_) {
      std::fprintf(stderr,
                   "fonexa: no device given (--device, FONEXA_DEVICE or %s); using the built-in virtual modem "
                   "on %s for this command\n",
                   configPath().c_str(), builtIn_->devicePath().c_str());
    } else {
      std::fprintf(stderr, "fonexa: using the built-in virtual modem on %s\n", builtIn_->devicePath().c_str());
    }
  } else {
    spec_ = choice.spec;
  }
  if (!options_.trace.empty()) {
    if (!Module::OpenDebugLog(options_.trace.c_str())) {
      fileFailed("cannot write the trace log " + options_.trace);
    }
    traceOpen_ = true;
  }
  const int initialized = Module::Initialize(spec_.c_str());
  // The facade holds an instance from here on, even when the phone did not
  // come up: release it on every path.
  connected_ = true;
  if (!initialized) deviceFailed(describePortFailure());
  if (need == SimNeed::Any || Module::GetState(4) == 1) return;

  const int status = Protection::GetVerifyStatus();
  const SimStatus* known = findSimStatus(status);
  if (known && status != 1) {
    const std::string attempts = attemptsLeft(Protection::GetPinCounter());
    refused("the phone waits for " + std::string(known->waitsFor) + (attempts.empty() ? "" : " (" + attempts + ")") +
            "; enter it with \"fonexa pin enter\"");
  }
  if (!Module::GetState(2)) refused("the phone has no SIM card");
  refused("the SIM is not ready (status " + std::to_string(status) + ")");
}

}  // namespace fonexa::cli
