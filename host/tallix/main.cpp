// tallix: the desktop host of the Fonexa client applications.
//
//   tallix [-background] [-quit]
//
// Reads skin/tallix.xml beside the program, loads the client libraries named
// there behind a start screen and opens the server window they live in. Only
// one copy runs per user: starting another brings the first to the front,
// "-quit" asks it to end, "-background" starts without showing a window.
#include <QApplication>
#include <string>

#include "CTallixApp.h"

int main(int argc, char** argv) {
  std::string commandLine = argc > 0 ? argv[0] : "tallix";
  for (int i = 1; i < argc; ++i) commandLine += std::string(" ") + argv[i];

  QApplication application(argc, argv);
  // The host ends when its server window closes or a later copy asks it to,
  // not when the last window goes (in the background there is none).
  QApplication::setQuitOnLastWindowClosed(false);
  CTallixApp tallix;
  const int code = tallix.InitInstance(commandLine) ? QApplication::exec() : tallix.GetStartExitCode();
  tallix.ExitInstance();
  return code;
}
