#include "CMxPinDialog.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "KeypadTemplate.h"

namespace fonexa::keypad {

// The caret is drawn as wide as the style says, and the field asks without
// naming itself; so each field has a style of its own that knows its state.
class CaretStyle : public QProxyStyle {
 public:
  bool hidden = false;

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_TextCursorWidth && hidden) return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

CodeEdit::CodeEdit(QWidget* parent) : QLineEdit(parent), caretStyle_(new CaretStyle) {
  caretStyle_->setParent(this);
  setStyle(caretStyle_);
}

void CodeEdit::HideCaret() {
  caretStyle_->hidden = true;
  update();
}

bool CodeEdit::CaretHidden() const { return caretStyle_->hidden; }

void CodeEdit::mousePressEvent(QMouseEvent* event) {
  caretStyle_->hidden = false;
  QLineEdit::mousePressEvent(event);
}

}  // namespace fonexa::keypad

using fonexa::keypad::ControlKind;
using fonexa::keypad::DialogUnits;
using fonexa::keypad::kKeypadControls;

namespace {

// The space between the message and the keypad, in dialog units.
constexpr int kMessageGap = 5;

}  // namespace

CMxPinDialog::CMxPinDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_edit(new fonexa::keypad::CodeEdit(this)),
      m_messageLabel(new QLabel(this)) {
  setObjectName(QString::number(fonexa::keypad::kTemplateId));
  setModal(true);
  setWindowTitle(QString::fromLatin1(fonexa::keypad::kTemplateCaption));
  QFont font(QString::fromLatin1(fonexa::keypad::kTemplateFontFamily));
  font.setPointSize(fonexa::keypad::kTemplateFontPoints);
  setFont(font);

  m_messageLabel->setObjectName(QStringLiteral("message"));
  m_messageLabel->setTextFormat(Qt::PlainText);
  m_messageLabel->setWordWrap(true);
  m_messageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_messageLabel->hide();

  for (const auto& control : kKeypadControls) {
    if (control.kind == ControlKind::Edit) {
      m_edit->setObjectName(QString::number(control.id));
      m_edit->setEchoMode(QLineEdit::Password);
      continue;
    }
    auto* button = new QPushButton(QString::fromLatin1(control.text), this);
    button->setObjectName(QString::number(control.id));
    // Enter means OK wherever the focus is, as in the template.
    button->setAutoDefault(false);
    if (const char digit = fonexa::keypad::DigitOf(control.id)) {
      connect(button, &QPushButton::clicked, this, [this, digit] { OnDigit(digit); });
    } else if (control.id == fonexa::keypad::kIdBackspace) {
      connect(button, &QPushButton::clicked, this, [this] { OnBackspace(); });
    } else if (control.id == fonexa::keypad::kIdOk) {
      button->setDefault(true);
      connect(button, &QPushButton::clicked, this, &CMxPinDialog::accept);
    } else if (control.id == fonexa::keypad::kIdCancel) {
      connect(button, &QPushButton::clicked, this, &CMxPinDialog::reject);
    }
  }
  setTabOrder(m_edit, findChild<QPushButton*>(QString::number(fonexa::keypad::kIdBackspace)));
  m_edit->setFocus();
  m_edit->HideCaret();
  LayOut();
}

void CMxPinDialog::SetTexts(const QString& caption, const QString& message) {
  m_caption = caption;
  m_message = message;
  setWindowTitle(caption);
  m_messageLabel->setText(message);
  m_messageLabel->setVisible(!message.isEmpty());
  LayOut();
}

void CMxPinDialog::accept() {
  m_enteredCode.clear();
  m_enteredCode = m_edit->text();
  QDialog::accept();
}

void CMxPinDialog::showEvent(QShowEvent* event) {
  // Centred on its screen: the prompt has no owner window to sit over.
  if (!event->spontaneous()) {
    if (const QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

void CMxPinDialog::OnDigit(char digit) {
  m_edit->setText(m_edit->text() + QLatin1Char(digit));
  m_edit->setFocus();
  m_edit->HideCaret();
}

void CMxPinDialog::OnBackspace() {
  QString text = m_edit->text();
  if (!text.isEmpty()) {
    text.chop(1);
    m_edit->setText(text);
  }
  m_edit->setFocus();
  m_edit->HideCaret();
}

void CMxPinDialog::LayOut() {
  const DialogUnits units(font());
  // The template's controls keep their places; a message pushes them down by
  // its own height.
  int shift = 0;
  if (!m_message.isEmpty()) {
    const QRect area = units.ToPixels(QRect(5, 7, fonexa::keypad::kTemplateWidth - 10, 0));
    const int height = m_messageLabel->heightForWidth(area.width());
    m_messageLabel->setGeometry(area.x(), area.y(), area.width(), height);
    shift = height + units.Y(kMessageGap);
  }
  for (const auto& control : kKeypadControls) {
    if (auto* widget = findChild<QWidget*>(QString::number(control.id), Qt::FindDirectChildrenOnly)) {
      widget->setGeometry(units.ToPixels(control.units).translated(0, shift));
    }
  }
  setFixedSize(units.X(fonexa::keypad::kTemplateWidth), units.Y(fonexa::keypad::kTemplateHeight) + shift);
}
