// The host program: start-up and exit in their fixed order. InitInstance runs
// before the event loop and ExitInstance after it (also when start-up failed
// or this copy only passed a request to a running one).
#pragma once

#include <QIcon>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "ClientLibraries.h"
#include "Gui/CMxXMLDocument.h"
#include "HostLog.h"

class CMxServer;
class StartScreen;

class CTallixApp {
 public:
  CTallixApp();
  ~CTallixApp();

  // commandLine: the program name and its arguments joined by single spaces.
  // True when the host runs (the event loop follows); false when it ends now.
  bool InitInstance(const std::string& commandLine);
  // The exit status of a start that ended in InitInstance.
  int GetStartExitCode() const { return startExitCode_; }
  void ExitInstance();

 private:
  bool fail(const char* message);
  void loadApplications();
  void createStartScreen(bool background);
  void startApplications();

  HostLog log_;
  CMxXMLDocument description_;
  std::vector<ApplicationEntry> applications_;
  std::unique_ptr<StartScreen> startScreen_;
  CMxServer* server_ = nullptr;  // owned; deleted at exit
  QIcon icon_;
  int startExitCode_ = 0;
};

// The path of the running program's folder, "" when it cannot be found.
std::string ProgramDirectory();
// The program's icon, drawn rather than read so that it is always there.
QIcon ProgramIcon();
