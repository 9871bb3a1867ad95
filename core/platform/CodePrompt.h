// The built-in prompt for a SIM code, used when the application installed no
// code retrieval function of its own.
//
// Three ways to ask, tried in order: the keypad dialog (a module loaded only
// when a display is there), the controlling terminal with echo off, and none.
// The first one that can be shown answers; a cancel there is final, it does
// not fall through to the next way. An empty result means cancel.
#pragma once

#include <string>
#include <vector>

namespace fonexa::platform {

class CodePrompt {
 public:
  enum class Backend { KeypadDialog, Terminal };

  // Both backends, the terminal being the process's controlling terminal.
  CodePrompt();
  // Only the given backends, in the given order; terminalPath names the
  // terminal device to ask on (tests hand in a pseudo-terminal).
  explicit CodePrompt(std::vector<Backend> backends, std::string terminalPath = "/dev/tty");

  std::string PromptForCode(const std::string& caption, const std::string& message) const;

  // Whether a GUI can be shown: QT_QPA_PLATFORM names a platform, or the X
  // server of DISPLAY or the Wayland compositor of WAYLAND_DISPLAY answers.
  static bool DisplayAvailable();

 private:
  enum class Outcome { Entered, Cancelled, Unavailable };

  Outcome AskWithKeypad(const std::string& caption, const std::string& message, std::string& code) const;
  Outcome AskOnTerminal(const std::string& caption, const std::string& message, std::string& code) const;

  std::vector<Backend> backends_;
  std::string terminalPath_;
};

// The default prompt: PromptForCode of a CodePrompt with both backends.
std::string PromptForCode(const std::string& caption, const std::string& message);

}  // namespace fonexa::platform
