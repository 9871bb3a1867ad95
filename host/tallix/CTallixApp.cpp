#include "CTallixApp.h"

#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <cstdio>

#include "Gui/CMxFileLoader.h"
#include "StartScreen.h"
#include "System/CMxServer.h"
#include "System/ServerWindowChannel.h"
#include "fonexa/Fonexa.h"

namespace {

constexpr const char* kSwitchBackground = " -background";
constexpr const char* kSwitchQuit = " -quit";
constexpr const char* kDescriptionPath = "skin\\tallix.xml";
constexpr const char* kHostLogPath = "logs\\tallix.txt";
constexpr const char* kGsmLogPath = "logs\\gsm.txt";

// The message boxes of a failed start; the text goes to the terminal too,
// where a host started from a script is watched.
void showMessageBox(const char* text) {
  std::fprintf(stderr, "tallix: %s\n", text);
  QMessageBox::critical(nullptr, QStringLiteral("tallix"), QString::fromLatin1(text));
}

std::string absolutePath(const char* relative) {
  return CMxFileLoader::GetAbsolutePath(QLatin1String(relative)).toStdString();
}

}  // namespace

std::string ProgramDirectory() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  const std::string program(path, static_cast<size_t>(length));
  const size_t slash = program.rfind('/');
  return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1F, 0x4E, 0x79));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
    painter.setBrush(QColor(0xF2, 0xA9, 0x00));
    painter.drawEllipse(QRectF(size * 0.18, size * 0.6, size * 0.22, size * 0.22));
    painter.setPen(QPen(QColor(0xE8, 0xEE, 0xF4), size / 10.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(size * 0.05, size * 0.25, size * 0.7, size * 0.7), 0, 90 * 16);
    painter.drawArc(QRectF(size * -0.15, size * 0.05, size * 1.1, size * 1.1), 0, 90 * 16);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

CTallixApp::CTallixApp() = default;

CTallixApp::~CTallixApp() = default;

bool CTallixApp::fail(const char* message) {
  showMessageBox(message);
  startExitCode_ = 1;
  return false;
}

bool CTallixApp::InitInstance(const std::string& commandLine) {
  // The named mutex "dotTallixRunning" of the original host is not made here:
  // nothing tests it, and the engine does not export its named mutex.
  icon_ = ProgramIcon();

  const bool background = commandLine.find(kSwitchBackground) != std::string::npos;
  const bool quit = commandLine.find(kSwitchQuit) != std::string::npos;

  const std::string directory = ProgramDirectory();
  if (directory.empty()) return fail("Could not retrieve path to application executable file.");
  CMxFileLoader::SetTallixInstallDir(QString::fromStdString(directory));
  log_.Open(absolutePath(kHostLogPath));
  log_.Write("%s\r\n", commandLine.c_str());

  if (const auto running = RemoteServerWindow::Find(QLatin1String(CMxServer::kTitle))) {
    if (quit) {
      running->PostQuit(1);
    } else if (!running->IsVisible() || running->IsMinimised()) {
      running->SendCommand(CMxServer::kCommandRestore);
    } else {
      running->SetForeground();
    }
    return false;
  }
  if (quit) return false;

  log_.Write("Initializing XML and loading file...");
  if (!description_.LoadFromFile(QString::fromStdString(absolutePath(kDescriptionPath)))) {
    return fail("Could not find default XML file.");
  }
  log_.Write("OK\r\n");

  int gsmDebug = 0;
  if (!description_.LoadNodeTag(QStringLiteral("/tallix")).GetAttributeBool(QStringLiteral("enable-gsm-debug"), gsmDebug)) {
    gsmDebug = 0;
  }

  loadApplications();
  createStartScreen(background);

  if (gsmDebug) Mebrix::Fonexa::Module::OpenDebugLog(absolutePath(kGsmLogPath).c_str());

  log_.Write("Creating server... ");
  server_ = new CMxServer;
  if (!server_->Create(description_)) {
    log_.Write("\r\nError creating CMxServer window (%d)...\r\nExiting...\r\n", server_->GetLastError());
    startExitCode_ = 1;
    startScreen_.reset();
    return false;
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = server_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    server_->move(frame.topLeft());
  }
  description_.Release();
  server_->setWindowIcon(icon_);
  QApplication::setWindowIcon(icon_);
  log_.Write("OK\r\n");

  startApplications();

  startScreen_->Advance();
  if (!background) server_->show();
  server_->ActivateFirstApplication();
  log_.Write("\r\nDestroying start screen... ");
  startScreen_.reset();
  log_.Write("OK\r\n");
  return true;
}

void CTallixApp::loadApplications() {
  QString names;
  description_.LoadNodeTag(QStringLiteral("//client-applications")).GetText(names);
  LoadClientLibraries(names, log_, applications_);
}

void CTallixApp::createStartScreen(bool background) {
  log_.Write("Creating and setting up start screen... ");
  startScreen_ = std::make_unique<StartScreen>();
  startScreen_->Setup(description_.LoadNodeTag(QStringLiteral("//client-applications")));
  if (!background && !startScreen_->IsEmpty()) {
    startScreen_->show();
    // Nothing else runs the window system's queue until start-up is over.
    QCoreApplication::processEvents();
  }
  log_.Write("OK\r\n");
}

void CTallixApp::startApplications() {
  int number = 0;
  for (const ApplicationEntry& entry : applications_) {
    log_.Write("\r\nLoading application %d\r\n", ++number);
    startScreen_->Advance();
    QCoreApplication::processEvents();
    if (entry.module == nullptr) {
      log_.Write("DLL not loaded into memory\r\n");
    } else if (entry.factory == nullptr) {
      log_.Write("ERROR: GetApplicationInstance() function not found in DLL\r\n");
    } else if (IMxApplication* application = entry.factory(server_)) {
      log_.Write("Application loaded\r\n");
      application->Start();
    } else {
      log_.Write("ERROR: Could not retrieve application's instance\r\n");
    }
  }
}

void CTallixApp::ExitInstance() {
  log_.Write("\r\n\r\nExiting application\r\n");
  log_.Write("Deleting main frame... ");
  delete server_;
  server_ = nullptr;
  log_.Write("OK\r\n");
  log_.Write("Freeing loaded libraries... ");
  UnloadClientLibraries(applications_);
  log_.Write("OK\r\n");
  log_.Close();
}
