// The server window: the main window of the host, titled ".tallix", in which
// the client applications live, one page each. Only one exists per user at a
// time; later copies of the host reach it through its ServerWindowChannel.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "Gui/CMxXMLDocument.h"
#include "System/SystemApi.h"

class QTabWidget;
class ServerWindowChannel;

class MX_SYSTEM_API CMxServer : public QMainWindow {
 public:
  // The menu command that brings the window back from the tray or from being
  // minimised.
  static constexpr int kCommandRestore = 40005;
  static constexpr const char* kTitle = ".tallix";

  CMxServer();
  ~CMxServer() override;

  // Builds the window from the description ("//server": "width", "height")
  // and starts listening for later copies. Non-zero when the window exists;
  // otherwise GetLastError tells why.
  int Create(const CMxXMLDocument& description);
  int GetLastError() const { return lastError_; }
  // Shows the first application's page and gives it the focus.
  void ActivateFirstApplication();
  // Runs a menu command; unknown ids are ignored. Returns 1 when handled.
  int OnCommand(int id);
  // Adds an application's page; the window owns it from now on. The page's
  // index.
  int AddApplication(const QString& title, QWidget* page);
  int GetApplicationCount() const;
  // The description Create was given, kept for the applications (the host
  // releases its own copy after Create).
  const CMxXMLDocument& GetDescription() const { return description_; }

 protected:
  // Closing the window ends the host.
  void closeEvent(QCloseEvent* event) override;

 private:
  void bringToFront();

  CMxXMLDocument description_;
  QTabWidget* pages_ = nullptr;
  std::unique_ptr<ServerWindowChannel> channel_;
  int lastError_ = 0;
};
