#pragma once
// Which phone a command talks to. In order: --device, the FONEXA_DEVICE
// variable, the "device" line of the configuration file
// ($XDG_CONFIG_HOME/fonexa/config, else ~/.config/fonexa/config); with none
// of them, the built-in virtual modem.
#include <istream>
#include <optional>
#include <string>

namespace fonexa::cli {

// The word that asks for the built-in virtual modem explicitly.
inline constexpr const char* kVirtualDevice = "virtual";

struct DeviceChoice {
  std::string spec;    // for the engine: "GenericPhone@/dev/ttyUSB0@115200"; empty for the built-in modem
  std::string source;  // where it came from: "--device", "FONEXA_DEVICE", the file's path, or ""
  bool builtIn() const { return spec.empty(); }
};

// Completes a specification: a bare device path gets the generic plug-in.
// Empty for "virtual". A CommandError (bad usage) for a text that cannot
// name a device.
std::string normaliseSpec(const std::string& text, const std::string& source);

struct ConfigFile {
  std::optional<std::string> device;
};
// Reads "key = value" lines; "#" starts a comment. A CommandError (bad usage)
// names the file and line of anything it does not understand.
ConfigFile parseConfig(std::istream& in, const std::string& path);

std::string configPath();

// The choice for this command; option is the --device value ("" when not given).
DeviceChoice chooseDevice(const std::string& option);

}  // namespace fonexa::cli
