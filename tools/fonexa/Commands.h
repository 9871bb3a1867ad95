#pragma once
// The subcommand families of fonexa, one file each. Every family adds its
// subcommands to the application; a subcommand's callback does the work
// with the context's phone and output.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "CommandContext.h"

namespace fonexa::cli {

// Names accepted on the command line for an engine number, in the engine's order.
using NameTable = std::vector<std::pair<std::string, int>>;

// The name of value in table, or the number itself when it has none.
std::string nameOf(const NameTable& table, int value);

void addDeviceCommands(CLI::App& app, CommandContext& context);       // identify, status, signal
void addOperatorCommands(CLI::App& app, CommandContext& context);     // operator
void addSmsCommands(CLI::App& app, CommandContext& context);          // sms
void addPhoneBookCommands(CLI::App& app, CommandContext& context);    // phonebook
void addCallCommands(CLI::App& app, CommandContext& context);         // call
void addPinCommands(CLI::App& app, CommandContext& context);          // pin
void addServiceCommands(CLI::App& app, CommandContext& context);      // forward, bar
void addMaintenanceCommands(CLI::App& app, CommandContext& context);  // at, diagnostics
void addMonitorCommand(CLI::App& app, CommandContext& context);       // monitor

// Runs one fonexa command line (without the program name) on the same
// context, as the demo does to show each command at work.
using CommandRunner = std::function<void(const std::vector<std::string>& arguments)>;
void addDemoCommand(CLI::App& app, CommandContext& context, CommandRunner run);

// Everything above on one application, with the global options.
void buildApplication(CLI::App& app, CommandContext& context, GlobalOptions& options);

}  // namespace fonexa::cli
