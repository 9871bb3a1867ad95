// The keypad dialog of the PIN prompt: dialog template 129 as a modal Qt
// dialog. Every control carries its template id as its object name.
//
// Beyond the template, the caption becomes the window title and the message
// is shown above the keypad in a label of its own ("message"): users who
// never see why their PIN was refused or how many attempts are left lock
// their SIM cards.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>

class QLabel;
class QMouseEvent;
class QShowEvent;

namespace fonexa::keypad {

class CaretStyle;

// The code field. Like the keypad of a phone, it shows no caret while the
// keys are used; a click into the field brings the caret back for editing.
class CodeEdit : public QLineEdit {
 public:
  explicit CodeEdit(QWidget* parent);
  void HideCaret();
  bool CaretHidden() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  CaretStyle* caretStyle_;
};

}  // namespace fonexa::keypad

class CMxPinDialog : public QDialog {
 public:
  explicit CMxPinDialog(QWidget* parent = nullptr);

  // Stores both texts; the caption becomes the title, the message is shown
  // above the keypad (nothing is shown for an empty one).
  void SetTexts(const QString& caption, const QString& message);
  QString GetEnteredCode() const { return m_enteredCode; }

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnDigit(char digit);
  void OnBackspace();
  void LayOut();

  fonexa::keypad::CodeEdit* m_edit;
  QLabel* m_messageLabel;
  QString m_caption = QStringLiteral("Enter PIN:");
  QString m_message;
  QString m_enteredCode;
};
