// The host's single-instance link. The first copy's server window listens on a
// local socket named after its title in a folder private to the user; a later
// copy finds the window by connecting there, learns whether it is shown, and
// asks it for one thing: quit with a value, run a menu command, or come to the
// front. It is the counterpart of looking up a window by its title and posting
// it a message.
//
// The exchange is one line each way and then one more: the window greets with
// "state <visible> <minimised>", the caller sends "quit <value>", "command
// <id>" or "foreground", and the window answers "done" once it has acted.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "System/SystemApi.h"

// The socket path for a window title: $XDG_RUNTIME_DIR/<title> when that
// folder exists (it belongs to the user), else <temp>/<title>-<uid>.
MX_SYSTEM_API QString ServerWindowSocketPath(const QString& title);

class MX_SYSTEM_API ServerWindowChannel : public QObject {
  Q_OBJECT

 public:
  struct Handlers {
    std::function<bool()> isVisible;
    std::function<bool()> isMinimised;
    std::function<void(int value)> quit;
    std::function<void(int id)> command;
    std::function<void()> foreground;
  };

  explicit ServerWindowChannel(Handlers handlers, QObject* parent = nullptr);
  ~ServerWindowChannel() override;

  // Takes the title's socket (a file left by a copy that died is removed).
  // 0 on success, EADDRINUSE when a window with that title already answers,
  // else the listener's error code plus one.
  int Listen(const QString& title);
  QString ErrorText() const { return server_.errorString(); }

 private:
  void accept();
  Handlers handlers_;
  QLocalServer server_;
};

// A running copy's server window as seen from another process.
class MX_SYSTEM_API RemoteServerWindow {
 public:
  // The window with that title, or null when no copy listens for it.
  static std::unique_ptr<RemoteServerWindow> Find(const QString& title, int timeoutMs = 3000);
  ~RemoteServerWindow();

  bool IsVisible() const { return visible_; }
  bool IsMinimised() const { return minimised_; }
  // Each returns true once the window has acted; one request per window found.
  bool PostQuit(int value);
  bool SendCommand(int id);
  bool SetForeground();

 private:
  struct Connection;
  RemoteServerWindow(std::unique_ptr<Connection> connection, bool visible, bool minimised, int timeoutMs);
  bool request(const QByteArray& line);

  std::unique_ptr<Connection> connection_;
  bool visible_;
  bool minimised_;
  int timeoutMs_;
};
