// The keypad module as the core uses it: found by name in the plug-in folder,
// called through its one export, on the offscreen platform.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

#include "PtyPeer.h"
#include "ScopedEnvironment.h"
#include "platform/CodePrompt.h"
#include "platform/CodePromptModule.h"
#include "platform/SharedLibrary.h"

using fonexa::platform::CodePrompt;
using fonexa::platform::SharedLibrary;
using fonexa::testing::PtyPeer;
using fonexa::testing::ScopedEnvironment;

namespace {

int argc = 1;
char name[] = "prompt_module_tests";
char* argv[] = {name, nullptr};

const CodePrompt keypadOnly({CodePrompt::Backend::KeypadDialog});

// What the user saw on the keypad.
struct Seen {
  bool shown = false;
  std::string title;
  std::string message;
};

// Acts on the keypad once it is on screen: from the GUI thread, inside the
// dialog's own loop. Gives up after five seconds.
void WhenKeypadShows(Seen& seen, const std::function<void(QDialog&)>& act, int triesLeft = 500) {
  QTimer::singleShot(10, [&seen, act, triesLeft] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) {
      if (triesLeft > 0) WhenKeypadShows(seen, act, triesLeft - 1);
      return;
    }
    seen.shown = true;
    seen.title = dialog->windowTitle().toStdString();
    if (auto* label = dialog->findChild<QLabel*>("message"); label && label->isVisible())
      seen.message = label->text().toStdString();
    act(*dialog);
  });
}

void Press(QDialog& dialog, std::initializer_list<int> ids) {
  for (int id : ids) QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
}

class KeypadModule : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_.Set("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

  ScopedEnvironment environment_;
  std::unique_ptr<QApplication> application_;
};

}  // namespace

// ---- the module beside the plug-ins ----

TEST(KeypadModuleFile, IsFoundByNameInThePluginFolderWithItsOneExport) {
  SharedLibrary::Handle module = SharedLibrary::Load(fonexa::platform::kKeypadModuleName);
  ASSERT_NE(module, nullptr) << SharedLibrary::LastError();
  EXPECT_NE(SharedLibrary::Symbol(module, fonexa::platform::kKeypadPromptSymbol), nullptr);
  // Qt cannot be unloaded once it ran; the core keeps the module, and so does this test.
}

TEST(KeypadModuleFile, TheCoreLibraryLinksNoGui) {
  FILE* pipe = popen("readelf -d " FONEXA_CORE_LIBRARY, "r");
  ASSERT_NE(pipe, nullptr);
  std::string needed;
  char line[512];
  while (fgets(line, sizeof line, pipe))
    if (std::string(line).find("(NEEDED)") != std::string::npos) needed += line;
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_NE(needed.find("libc.so"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("Qt"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("libX"), std::string::npos) << needed;
}

// ---- in a program with an application of its own ----

TEST_F(KeypadModule, ShowsCaptionAndMessageAndReturnsTheKeyedCode) {
  Seen seen;
  WhenKeypadShows(seen, [](QDialog& dialog) { Press(dialog, {1007, 1016, 1007, 1012, 1015, 1008, 1}); });
  // The core's texts are Latin-1 bytes: "\xFC" is u-umlaut.
  EXPECT_EQ(keypadOnly.PromptForCode("Enter PUK code", "Sim card blocked.\n\nPUK f\xFCr SIM 1"), "2023");
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, "Enter PUK code");
  EXPECT_EQ(seen.message, "Sim card blocked.\n\nPUK f\u00fcr SIM 1");
}

TEST_F(KeypadModule, TypedCodeIsReturned) {
  Seen seen;
  WhenKeypadShows(seen, [](QDialog& dialog) {
    QTest::keyClicks(dialog.findChild<QWidget*>("1005"), "99887766");
    QTest::keyClick(dialog.findChild<QWidget*>("1005"), Qt::Key_Return);
  });
  EXPECT_EQ(keypadOnly.PromptForCode("Enter PIN code", ""), "99887766");
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.message, "");
}

// A cancel on the keypad is the user's answer: the terminal is not asked next.
TEST_F(KeypadModule, CancelIsFinal) {
  PtyPeer terminal;
  Seen seen;
  WhenKeypadShows(seen, [](QDialog& dialog) { Press(dialog, {1006, 1006, 2}); });
  const CodePrompt prompt({CodePrompt::Backend::KeypadDialog, CodePrompt::Backend::Terminal}, terminal.SlavePath());
  EXPECT_EQ(prompt.PromptForCode("Enter PIN code", ""), "");
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(terminal.ReadAvailable(50), "");
}

TEST_F(KeypadModule, OkOnAnEmptyFieldCancels) {
  Seen seen;
  WhenKeypadShows(seen, [](QDialog& dialog) { Press(dialog, {1009, 1015, 1}); });
  EXPECT_EQ(keypadOnly.PromptForCode("Enter PIN code", ""), "");
  EXPECT_TRUE(seen.shown);
}

// Widgets live on the GUI thread; a worker thread of a GUI program is asked
// on the terminal instead.
TEST_F(KeypadModule, WorkerThreadOfAGuiProgramIsAskedOnTheTerminal) {
  PtyPeer terminal;
  std::string code = "not asked";
  std::thread worker([&] {
    code = CodePrompt({CodePrompt::Backend::KeypadDialog, CodePrompt::Backend::Terminal}, terminal.SlavePath())
               .PromptForCode("Enter PIN code", "");
  });
  EXPECT_EQ(terminal.ReadUntil("Enter PIN code: ", 5000), "Enter PIN code: ");
  terminal.Write("1357\r");
  worker.join();
  EXPECT_EQ(code, "1357");
}

// ---- in a program without Qt ----

// The module makes an application for the prompt and removes it afterwards.
TEST(KeypadModuleAlone, RunsItsOwnApplicationForThePrompt) {
  ScopedEnvironment environment;
  environment.Set("QT_QPA_PLATFORM", "offscreen");
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  static Seen seen;
  // Runs in the constructor of the module's application, on this thread.
  qAddPreRoutine([] { WhenKeypadShows(seen, [](QDialog& dialog) { Press(dialog, {1014, 1013, 1}); }); });
  EXPECT_EQ(keypadOnly.PromptForCode("Enter PIN code", ""), "98");
  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, "Enter PIN code");
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
}
