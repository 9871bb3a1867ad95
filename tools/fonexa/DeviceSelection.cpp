#include "DeviceSelection.h"

#include <cstdlib>
#include <fstream>

#include "CommandError.h"

namespace fonexa::cli {

namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string normaliseSpec(const std::string& text, const std::string& source) {
  const std::string spec = trimmed(text);
  if (spec == kVirtualDevice) return "";
  if (spec.empty()) badUsage("the device from " + source + " is empty");
  // "/dev/ttyUSB0" alone means the generic plug-in at the default speed.
  if (spec.front() == '/') return "GenericPhone@" + spec;
  const size_t at = spec.find('@');
  if (at == std::string::npos || at == 0 || at + 1 == spec.size()) {
    badUsage("the device \"" + spec + "\" from " + source +
             " is not PLUGIN@PORT[@BAUD] (for example GenericPhone@/dev/ttyUSB0@115200), a device path or \"virtual\"");
  }
  return spec;
}

ConfigFile parseConfig(std::istream& in, const std::string& path) {
  ConfigFile config;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string text = trimmed(line.substr(0, line.find('#')));
    if (text.empty()) continue;
    const size_t equals = text.find('=');
    const std::string where = path + " line " + std::to_string(number);
    if (equals == std::string::npos) badUsage(where + ": expected key = value");
    const std::string key = trimmed(text.substr(0, equals));
    const std::string value = trimmed(text.substr(equals + 1));
    if (key == "device") {
      config.device = value;
    } else {
      badUsage(where + ": unknown setting \"" + key + "\" (known: device)");
    }
  }
  return config;
}

std::string configPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) return std::string(xdg) + "/fonexa/config";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.config/fonexa/config";
  return "";
}

DeviceChoice chooseDevice(const std::string& option) {
  if (!option.empty()) return {normaliseSpec(option, "--device"), "--device"};
  const char* variable = std::getenv("FONEXA_DEVICE");
  if (variable && *variable) return {normaliseSpec(variable, "FONEXA_DEVICE"), "FONEXA_DEVICE"};
  const std::string path = configPath();
  if (!path.empty()) {
    std::ifstream file(path);
    if (file) {
      const ConfigFile config = parseConfig(file, path);
      if (config.device) return {normaliseSpec(*config.device, path), path};
    }
  }
  return {"", ""};
}

}  // namespace fonexa::cli
