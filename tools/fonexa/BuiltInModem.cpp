#include "BuiltInModem.h"

#include <chrono>

namespace fonexa::cli {

namespace {

sim::ModemOptions builtInOptions() {
  sim::ModemOptions options;
  // A command is over in a second or two: the network is there at once
  // rather than after the usual short search, so "operator" and "status"
  // show a registered phone.
  options.registrationDelay = std::chrono::milliseconds(0);
  return options;
}

}  // namespace

BuiltInModem::BuiltInModem() : modem_(std::make_unique<sim::VirtualModem>(builtInOptions())) {}

BuiltInModem::~BuiltInModem() { modem_->stop(); }

bool BuiltInModem::start(std::string& error) { return modem_->start(&error); }

}  // namespace fonexa::cli
