// The module's one export: the keypad dialog, run modally.
#include <QApplication>
#include <QByteArray>
#include <QThread>

#include <memory>
#include <type_traits>

#include "CMxPinDialog.h"
#include "platform/CodePromptModule.h"

namespace {

// Qt keeps a reference to the count for the application's lifetime.
int applicationArgc = 1;
char applicationName[] = "fonexa";
char* applicationArgv[] = {applicationName, nullptr};

}  // namespace

extern "C" __attribute__((visibility("default"))) int FonexaKeypadPrompt(const char* caption, const char* message,
                                                                        FonexaKeypadAcceptFunc accept,
                                                                        void* context) {
  using namespace fonexa::platform;
  if (!accept) return kKeypadUnavailable;
  // A program with a GUI of its own gets the dialog in its application, but
  // widgets live on the GUI thread only; from any other thread (or in a
  // program without widgets) the caller asks in another way.
  std::unique_ptr<QApplication> ownApplication;
  if (QCoreApplication* running = QCoreApplication::instance()) {
    if (!qobject_cast<QApplication*>(running) || QThread::currentThread() != running->thread()) {
      return kKeypadUnavailable;
    }
  } else {
    ownApplication = std::make_unique<QApplication>(applicationArgc, applicationArgv);
  }
  CMxPinDialog dialog;
  dialog.SetTexts(QString::fromLatin1(caption ? caption : ""), QString::fromLatin1(message ? message : ""));
  if (dialog.exec() != QDialog::Accepted) return kKeypadCancelled;
  QByteArray code = dialog.GetEnteredCode().toLatin1();
  accept(context, code.constData());
  code.fill('\0');
  return kKeypadEntered;
}

// The export matches the type the core calls it through.
static_assert(std::is_same_v<decltype(&FonexaKeypadPrompt), FonexaKeypadPromptFunc>);
