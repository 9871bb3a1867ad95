#include "System/ServerWindowChannel.h"

#include <unistd.h>

#include <cerrno>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

namespace {

// A request is one short line; a peer that sends more, or nothing for this
// long, is dropped.
constexpr qint64 kMaxLine = 128;
constexpr int kPeerDeadlineMs = 5000;

// Reads one line ending in "\n" before the deadline; empty on time-out.
QByteArray readLine(QLocalSocket& socket, QDeadlineTimer deadline) {
  while (!socket.canReadLine()) {
    if (socket.bytesAvailable() > kMaxLine) return {};
    if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return {};
  }
  return socket.readLine(kMaxLine).trimmed();
}

}  // namespace

QString ServerWindowSocketPath(const QString& title) {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime + QLatin1Char('/') + title;
  return QDir::tempPath() + QLatin1Char('/') + title + QLatin1Char('-') + QString::number(getuid());
}

ServerWindowChannel::ServerWindowChannel(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &ServerWindowChannel::accept);
}

ServerWindowChannel::~ServerWindowChannel() {
  server_.close();
}

int ServerWindowChannel::Listen(const QString& title) {
  const QString path = ServerWindowSocketPath(title);
  // A window that answers keeps its name. A socket file where nobody answers
  // is a leftover of a copy that ended without closing it.
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(1000)) return EADDRINUSE;
  QLocalServer::removeServer(path);
  if (server_.listen(path)) return 0;
  // The listener's own error numbers start at 0; the window's errors are
  // never 0.
  return static_cast<int>(server_.serverError()) + 1;
}

void ServerWindowChannel::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kPeerDeadlineMs, socket, [socket] { socket->abort(); });
    const bool visible = handlers_.isVisible && handlers_.isVisible();
    const bool minimised = handlers_.isMinimised && handlers_.isMinimised();
    socket->write(QStringLiteral("state %1 %2\n").arg(visible ? 1 : 0).arg(minimised ? 1 : 0).toLatin1());
    socket->flush();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->abort();
        return;
      }
      const QList<QByteArray> words = socket->readLine(kMaxLine).trimmed().split(' ');
      std::function<void()> act;
      bool ok = false;
      const int number = words.size() == 2 ? words[1].toInt(&ok) : 0;
      if (words[0] == "quit" && ok) {
        act = [this, number] { if (handlers_.quit) handlers_.quit(number); };
      } else if (words[0] == "command" && ok) {
        act = [this, number] { if (handlers_.command) handlers_.command(number); };
      } else if (words[0] == "foreground" && words.size() == 1) {
        act = [this] { if (handlers_.foreground) handlers_.foreground(); };
      }
      if (act) act();
      socket->write(act ? "done\n" : "refused\n");
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

struct RemoteServerWindow::Connection {
  QLocalSocket socket;
};

std::unique_ptr<RemoteServerWindow> RemoteServerWindow::Find(const QString& title, int timeoutMs) {
  auto connection = std::make_unique<Connection>();
  connection->socket.connectToServer(ServerWindowSocketPath(title));
  const QDeadlineTimer deadline(timeoutMs);
  if (!connection->socket.waitForConnected(timeoutMs)) return nullptr;
  const QList<QByteArray> greeting = readLine(connection->socket, deadline).split(' ');
  if (greeting.size() != 3 || greeting[0] != "state") return nullptr;
  return std::unique_ptr<RemoteServerWindow>(
      new RemoteServerWindow(std::move(connection), greeting[1] == "1", greeting[2] == "1", timeoutMs));
}

RemoteServerWindow::RemoteServerWindow(std::unique_ptr<Connection> connection, bool visible, bool minimised,
                                       int timeoutMs)
    : connection_(std::move(connection)), visible_(visible), minimised_(minimised), timeoutMs_(timeoutMs) {}

RemoteServerWindow::~RemoteServerWindow() = default;

bool RemoteServerWindow::PostQuit(int value) {
  return request("quit " + QByteArray::number(value) + "\n");
}

bool RemoteServerWindow::SendCommand(int id) {
  return request("command " + QByteArray::number(id) + "\n");
}

bool RemoteServerWindow::SetForeground() {
  return request("foreground\n");
}

bool RemoteServerWindow::request(const QByteArray& line) {
  QLocalSocket& socket = connection_->socket;
  if (socket.state() != QLocalSocket::ConnectedState) return false;
  socket.write(line);
  if (!socket.waitForBytesWritten(timeoutMs_)) return false;
  return readLine(socket, QDeadlineTimer(timeoutMs_)) == "done";
}
