// The keypad dialog on the offscreen platform, driven as a user would.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <cmath>

#include "CMxPinDialog.h"
#include "KeypadTemplate.h"

using fonexa::keypad::CodeEdit;
using fonexa::keypad::ControlKind;
using fonexa::keypad::DialogUnits;
using fonexa::keypad::kKeypadControls;

namespace {

QString Id(int id) { return QString::number(id); }

}  // namespace

class KeypadDialogTest : public QObject {
  Q_OBJECT

 private:
  CMxPinDialog* dialog_ = nullptr;

  CodeEdit* Edit() const { return dialog_->findChild<CodeEdit*>(Id(1005)); }
  QPushButton* Button(int id) const { return dialog_->findChild<QPushButton*>(Id(id)); }
  void Show() {
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_));
  }

 private slots:
  void init() { dialog_ = new CMxPinDialog; }
  void cleanup() {
    delete dialog_;
    dialog_ = nullptr;
  }

  // ---- the template's controls ----

  void controlsCarryTheTemplateIdsAndTexts() {
    QCOMPARE(dialog_->objectName(), QStringLiteral("129"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Enter PIN code"));
    for (const auto& control : kKeypadControls) {
      QWidget* widget = dialog_->findChild<QWidget*>(Id(control.id));
      QVERIFY2(widget, qPrintable(Id(control.id)));
      if (control.kind == ControlKind::Edit) {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        QVERIFY(edit);
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QVERIFY(edit->focusPolicy() & Qt::TabFocus);
      } else {
        auto* button = qobject_cast<QPushButton*>(widget);
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromLatin1(control.text));
      }
    }
    QVERIFY(Button(1)->isDefault());
    QCOMPARE(Button(2)->text(), QStringLiteral("Cancel"));
  }

  void digitButtonsAppendTheirDigit_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("digit");
    for (int id = 1006; id <= 1014; ++id) QTest::newRow(qPrintable(Id(id))) << id << QString::number(id - 1005);
    QTest::newRow("1016") << 1016 << QStringLiteral("0");
  }
  void digitButtonsAppendTheirDigit() {
    QFETCH(int, id);
    QFETCH(QString, digit);
    Show();
    Edit()->setText(QStringLiteral("12"));
    QTest::mouseClick(Button(id), Qt::LeftButton);
    QCOMPARE(Edit()->text(), QStringLiteral("12") + digit);
    QVERIFY(Edit()->hasFocus());
    QVERIFY(Edit()->CaretHidden());
  }

  void keysEnterACodeInOrder() {
    Show();
    for (int id : {1007, 1016, 1014, 1006}) QTest::mouseClick(Button(id), Qt::LeftButton);
    QCOMPARE(Edit()->text(), QStringLiteral("2091"));
    // The field shows password characters, never the digits.
    QVERIFY(Edit()->displayText() != Edit()->text());
    QCOMPARE(Edit()->displayText().size(), 4);
  }

  void backspaceRemovesTheLastCharacter() {
    Show();
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QCOMPARE(Edit()->text(), QString());
    QVERIFY(Edit()->hasFocus());
    Edit()->setText(QStringLiteral("4711"));
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QCOMPARE(Edit()->text(), QStringLiteral("471"));
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QCOMPARE(Edit()->text(), QString());
    QVERIFY(Edit()->CaretHidden());
  }

  // The caret does not blink in these tests, so a drawn caret always shows.
  void caretIsHiddenForTheKeysAndBackForTyping() {
    Show();
    QVERIFY(Edit()->hasFocus());
    QVERIFY(Edit()->CaretHidden());
    const QImage withoutCaret = Edit()->grab().toImage();
    QTest::mouseClick(Edit(), Qt::LeftButton);
    QVERIFY(!Edit()->CaretHidden());
    QVERIFY(Edit()->grab().toImage() != withoutCaret);
    QTest::mouseClick(Button(1015), Qt::LeftButton);
    QVERIFY(Edit()->CaretHidden());
    QCOMPARE(Edit()->grab().toImage(), withoutCaret);
  }

  // ---- closing ----

  void okReturnsTheCode() {
    Show();
    for (int id : {1009, 1010, 1011, 1012}) QTest::mouseClick(Button(id), Qt::LeftButton);
    QTest::mouseClick(Button(1), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->GetEnteredCode(), QStringLiteral("4567"));
  }

  void cancelReturnsNothing() {
    Show();
    QTest::mouseClick(Button(1013), Qt::LeftButton);
    QTest::mouseClick(Button(2), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->GetEnteredCode(), QString());
  }

  void typedCodeAndEnterAreAccepted() {
    Show();
    QTest::keyClicks(Edit(), QStringLiteral("8642"));
    QTest::keyClick(Edit(), Qt::Key_Backspace);
    QTest::keyClicks(Edit(), QStringLiteral("19"));
    QCOMPARE(Edit()->text(), QStringLiteral("86419"));
    QTest::keyClick(Edit(), Qt::Key_Return);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->GetEnteredCode(), QStringLiteral("86419"));
  }

  void escapeCancels() {
    Show();
    QTest::keyClicks(Edit(), QStringLiteral("1234"));
    QTest::keyClick(Edit(), Qt::Key_Escape);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(dialog_->GetEnteredCode(), QString());
  }

  void enterAfterAKeypadButtonMeansOk() {
    Show();
    QTest::mouseClick(Button(1008), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->GetEnteredCode(), QStringLiteral("3"));
  }

  // ---- layout ----

  // Every control sits where the template puts it: its dialog units scaled by
  // the dialog's own width and height per unit, within a pixel of rounding.
  void layoutFollowsTheTemplateProportions() {
    const double perUnitX = dialog_->width() / double(fonexa::keypad::kTemplateWidth);
    const double perUnitY = dialog_->height() / double(fonexa::keypad::kTemplateHeight);
    QVERIFY(perUnitX > 1.0 && perUnitY > 1.0);
    for (const auto& control : kKeypadControls) {
      const QRect pixels = dialog_->findChild<QWidget*>(Id(control.id))->geometry();
      const QRect units = control.units;
      const auto near = [](int actual, double expected) { return std::abs(actual - expected) <= 1.5; };
      QVERIFY2(near(pixels.x(), units.x() * perUnitX) && near(pixels.width(), units.width() * perUnitX),
               qPrintable(Id(control.id)));
      QVERIFY2(near(pixels.y(), units.y() * perUnitY) && near(pixels.height(), units.height() * perUnitY),
               qPrintable(Id(control.id)));
    }
    // The keypad's own proportions: three equal columns, Cancel and OK as wide as the digits.
    QCOMPARE(Button(1006)->size(), Button(1016)->size());
    QCOMPARE(Button(2)->size(), Button(1)->size());
    QCOMPARE(Button(1008)->x() - Button(1007)->x(), Button(1007)->x() - Button(1006)->x());
  }

  void dialogUnitsConvertAsTheDialogManagerRounds_data() {
    QTest::addColumn<int>("baseWidth");
    QTest::addColumn<int>("baseHeight");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // 6 x 13: the classic 8-point dialog font at 96 dpi.
    QTest::newRow("whole template at 6x13") << 6 << 13 << QRect(0, 0, 114, 106) << QRect(0, 0, 171, 172);
    QTest::newRow("digit button at 6x13") << 6 << 13 << QRect(40, 24, 34, 18) << QRect(60, 39, 51, 29);
    QTest::newRow("halves round up") << 6 << 13 << QRect(5, 4, 1, 12) << QRect(8, 7, 2, 20);
    QTest::newRow("edit at 7x16") << 7 << 16 << QRect(5, 7, 75, 12) << QRect(9, 14, 131, 24);
  }
  void dialogUnitsConvertAsTheDialogManagerRounds() {
    QFETCH(int, baseWidth);
    QFETCH(int, baseHeight);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnits(baseWidth, baseHeight).ToPixels(units), pixels);
  }

  // ---- caption and message ----

  void captionBecomesTheTitleAndMessageSitsAboveTheKeypad() {
    const QSize plain = dialog_->size();
    QMap<int, QPoint> before;
    for (const auto& control : kKeypadControls) before[control.id] = dialog_->findChild<QWidget*>(Id(control.id))->pos();
    auto* label = dialog_->findChild<QLabel*>(QStringLiteral("message"));
    QVERIFY(label);
    QVERIFY(label->isHidden());

    dialog_->SetTexts(QStringLiteral("Enter PUK code"),
                      QStringLiteral("Sim card blocked.\n\n10 attempt(s) left for entering PUK code."));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Enter PUK code"));
    QVERIFY(!label->isHidden());
    QCOMPARE(label->text(), QStringLiteral("Sim card blocked.\n\n10 attempt(s) left for entering PUK code."));
    QVERIFY(label->geometry().bottom() < Edit()->geometry().top());
    QVERIFY(label->height() >= 3 * label->fontMetrics().height());
    const int shift = dialog_->height() - plain.height();
    QVERIFY(shift > label->height());
    QCOMPARE(dialog_->width(), plain.width());
    for (const auto& control : kKeypadControls)
      QCOMPARE(dialog_->findChild<QWidget*>(Id(control.id))->pos(), before[control.id] + QPoint(0, shift));

    dialog_->SetTexts(QStringLiteral("Enter PIN code"), QString());
    QVERIFY(label->isHidden());
    QCOMPARE(dialog_->size(), plain);
  }

  // Renders the dialog as a user sees it after a wrong PIN, to
  // FONEXA_SCREENSHOT (the documentation's picture).
  void screenshot() {
    dialog_->SetTexts(QStringLiteral("Enter PIN code"),
                      QStringLiteral("The PIN you entered was incorrect. Try again or press Cancel to continue "
                                     "with GSM blocked.\n\n2 attempt(s) left for entering PIN code."));
    Show();
    for (int id : {1006, 1007, 1008}) QTest::mouseClick(Button(id), Qt::LeftButton);
    const QImage image = dialog_->grab().toImage();
    QCOMPARE(image.size(), dialog_->size() * image.devicePixelRatio());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() > 8, "the dialog rendered blank");
    const QString path = qEnvironmentVariable("FONEXA_SCREENSHOT");
    if (!path.isEmpty()) {
      QVERIFY(image.save(path, "PNG"));
      QCOMPARE(QImage(path).size(), image.size());
    }
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setCursorFlashTime(0);
  KeypadDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "KeypadDialogTest.moc"
