#include "System/CMxServer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTabBar>
#include <QTabWidget>

#include "System/ServerWindowChannel.h"

namespace {

constexpr int kDefaultWidth = 960;
constexpr int kDefaultHeight = 640;

int sizeAttribute(const CMxXMLNode& node, const char* name, int fallback) {
  QString text;
  if (!node.GetAttribute(QLatin1String(name), text)) return fallback;
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok && value >= 200 && value <= 10000 ? value : fallback;
}

}  // namespace

CMxServer::CMxServer() {
  setWindowTitle(QLatin1String(kTitle));
}

CMxServer::~CMxServer() {
  channel_.reset();
  // The pages belong to applications whose libraries the host unloads right
  // after this; they go now, while their code is still there.
  delete takeCentralWidget();
}

int CMxServer::Create(const CMxXMLDocument& description) {
  description_ = description;
  ServerWindowChannel::Handlers handlers;
  handlers.isVisible = [this] { return isVisible(); };
  handlers.isMinimised = [this] { return isMinimized(); };
  // Queued, so that a request that arrives while the host is still starting
  // (its start-up lets the window system's queue run) ends the loop that
  // follows instead of being lost before it.
  handlers.quit = [](int value) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), [value] { QCoreApplication::exit(value); },
                              Qt::QueuedConnection);
  };
  handlers.command = [this](int id) { OnCommand(id); };
  handlers.foreground = [this] { bringToFront(); };
  channel_ = std::make_unique<ServerWindowChannel>(std::move(handlers));
  lastError_ = channel_->Listen(QLatin1String(kTitle));
  if (lastError_ != 0) {
    channel_.reset();
    return 0;
  }

  pages_ = new QTabWidget;
  pages_->setObjectName(QStringLiteral("applications"));
  pages_->setDocumentMode(true);
  pages_->tabBar()->setAutoHide(true);
  setCentralWidget(pages_);
  const CMxXMLNode server = description_.LoadNodeTag(QStringLiteral("//server"));
  resize(sizeAttribute(server, "width", kDefaultWidth), sizeAttribute(server, "height", kDefaultHeight));
  return 1;
}

void CMxServer::ActivateFirstApplication() {
  if (pages_ == nullptr || pages_->count() == 0) return;
  pages_->setCurrentIndex(0);
  pages_->currentWidget()->setFocus(Qt::OtherFocusReason);
}

int CMxServer::OnCommand(int id) {
  if (id != kCommandRestore) return 0;
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  bringToFront();
  return 1;
}

int CMxServer::AddApplication(const QString& title, QWidget* page) {
  if (pages_ == nullptr || page == nullptr) return -1;
  return pages_->addTab(page, title);
}

int CMxServer::GetApplicationCount() const {
  return pages_ == nullptr ? 0 : pages_->count();
}

void CMxServer::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::exit(0);
}

void CMxServer::bringToFront() {
  raise();
  activateWindow();
}
