// The command line of fonexa: the global options and every subcommand family.
#include <string>

#include "CommandError.h"
#include "Commands.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

namespace {

constexpr const char* kExitCodes =
    "\nExit codes: 0 done, 1 the phone refused or did not carry out the operation, 2 bad usage,\n"
    "3 no phone (the port cannot be opened or nothing answers), 4 a file cannot be used,\n"
    "130 interrupted.\n";

}  // namespace

void buildApplication(CLI::App& app, CommandContext& context, GlobalOptions& options) {
  app.description(
      "Drives a GSM phone or module on a serial port through the Fonexa SDK.\n"
      "Without a device (--device, FONEXA_DEVICE or ~/.config/fonexa/config) it uses the built-in virtual modem.");
  app.footer(kExitCodes);
  // Global options may come after the subcommand too: fonexa sms list --json.
  app.fallthrough();
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("fonexa ") + Mebrix::Fonexa::Other::GetFonexaCoreVersion());
  app.add_option("--device", options.device,
                 "PLUGIN@PORT[@BAUD] (GenericPhone@/dev/ttyUSB0@115200), a device path, or \"virtual\"");
  app.add_option("--trace", options.trace, "write the engine's debug log to FILE (and com.txt beside it)");
  app.add_flag("--json", options.json, "print data as JSON");

  addDeviceCommands(app, context);
  addOperatorCommands(app, context);
  addSmsCommands(app, context);
  addPhoneBookCommands(app, context);
  addCallCommands(app, context);
  addPinCommands(app, context);
  addServiceCommands(app, context);
  addMaintenanceCommands(app, context);
  addMonitorCommand(app, context);
  addDemoCommand(app, context, [&context](const std::vector<std::string>& arguments) {
    // A command line of the tour, on the same phone and output.
    GlobalOptions ignored;
    CLI::App step;
    buildApplication(step, context, ignored);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
      step.parse(reversed);
    } catch (const CLI::ParseError& error) {
      throw CommandError(ExitCode::Usage, error.what());
    }
  });
}

}  // namespace fonexa::cli
