// The phone panel as a client application of the tallix host.
#include <QApplication>

#include "PanelSettings.h"
#include "PhonePanel.h"
#include "System/CMxServer.h"
#include "System/IMxApplication.h"

namespace {

class PhonePanelApplication : public IMxApplication {
 public:
  void SetServer(CMxServer* server) { server_ = server; }

  int Start() override {
    auto* panel = new PhonePanel(ReadPanelSettings(server_->GetDescription()));
    if (server_->AddApplication(QStringLiteral("Phone"), panel) < 0) {
      delete panel;
      return 0;
    }
    panel->Start();
    return 1;
  }

 private:
  CMxServer* server_ = nullptr;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IMxApplication* GetApplicationInstance(CMxServer* server) {
  if (server == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  // The object lives until the library goes, and the library may outlive one
  // host's server window (a library with unique symbols is never unloaded),
  // so each call points it at the server it is given.
  static PhonePanelApplication application;
  application.SetServer(server);
  return &application;
}
