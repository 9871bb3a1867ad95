#include "PhonePanel.h"

#include <QColor>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "CallStates.h"
#include "SignalBars.h"
#include "SmsCounter.h"
#include "fonexa/Fonexa.h"

namespace {

// GSM 07.07 +CREG <stat>.
const char* const kRegistration[] = {
    "Not registered", "Home network", "Searching...", "Registration denied", "Registration unknown", "Roaming",
};

QString registrationText(int status) {
  if (status >= 0 && status < static_cast<int>(std::size(kRegistration))) return QLatin1String(kRegistration[status]);
  return QStringLiteral("Registration %1").arg(status);
}

// Every control the panel reads or drives carries its object name.
QLineEdit* makeLineEdit(const char* name, const char* placeholder) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QLatin1String(name));
  edit->setPlaceholderText(QLatin1String(placeholder));
  return edit;
}

QPushButton* makeButton(const char* name, const char* text) {
  auto* button = new QPushButton(QLatin1String(text));
  button->setObjectName(QLatin1String(name));
  return button;
}

QLabel* makeLabel(const char* name, const QString& text = QString()) {
  auto* label = new QLabel(text);
  label->setObjectName(QLatin1String(name));
  return label;
}

QTableWidget* makeTable(const QString& name, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setObjectName(name);
  table->setHorizontalHeaderLabels(headers);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setAlternatingRowColors(true);
  table->setWordWrap(false);
  return table;
}

// Only the digits (and a leading "+") matter when a number is looked up.
QString dialable(const QString& number) {
  QString digits;
  for (QChar c : number) {
    if (c.isDigit() || (c == QLatin1Char('+') && digits.isEmpty())) digits += c;
  }
  return digits;
}

constexpr const char* kStyle = R"(
  #phonePanel { background: #F4F6F9; }
  #phonePanel QGroupBox { font-weight: bold; border: 1px solid #D5DBE3; border-radius: 6px;
                          margin-top: 12px; background: white; }
  #phonePanel QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #1F4E79; }
  #statusBar { background: #1F4E79; border-radius: 6px; }
  #statusBar QLabel { color: #E8EEF4; }
  #incomingCall { background: #FFF4D6; border: 1px solid #F2A900; border-radius: 6px; }
  #callState { font-weight: bold; color: #1F4E79; }
  #smsCounter { color: #5B6B7C; }
)";

}  // namespace

PhonePanel::PhonePanel(PanelSettings settings, QWidget* parent)
    : QWidget(parent), line_(std::make_unique<PhoneLine>(std::move(settings))) {
  setObjectName(QStringLiteral("phonePanel"));
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(QLatin1String(kStyle));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(8);
  layout->addWidget(buildStatus());

  incoming_ = new QFrame;
  incoming_->setObjectName(QStringLiteral("incomingCall"));
  auto* incomingLayout = new QHBoxLayout(incoming_);
  incomingText_ = makeLabel("incomingCallText");
  auto* answer = makeButton("answerCall", "Answer");
  auto* reject = makeButton("rejectCall", "Reject");
  incomingLayout->addWidget(incomingText_, 1);
  incomingLayout->addWidget(answer);
  incomingLayout->addWidget(reject);
  incoming_->hide();
  layout->addWidget(incoming_);
  connect(answer, &QPushButton::clicked, this, [this] {
    line_->Answer();
    incoming_->hide();
  });
  connect(reject, &QPushButton::clicked, this, [this] {
    line_->HangUp();
    incoming_->hide();
  });

  auto* body = new QGridLayout;
  body->setSpacing(8);
  body->addWidget(buildMessages(), 0, 0, 2, 1);
  body->addWidget(buildPhoneBook(), 0, 1);
  body->addWidget(buildCall(), 1, 1);
  body->setColumnStretch(0, 3);
  body->setColumnStretch(1, 2);
  body->setRowStretch(0, 1);
  layout->addLayout(body, 1);
  wireLine();
  updateCounter();
}

PhonePanel::~PhonePanel() {
  // The engine and the modem go before the controls their answers would reach.
  line_->Close();
}

QWidget* PhonePanel::buildStatus() {
  auto* bar = new QFrame;
  bar->setObjectName(QStringLiteral("statusBar"));
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(10, 6, 10, 6);
  signal_ = new SignalBars;
  operator_ = makeLabel("operator", QStringLiteral("No network"));
  QFont big = operator_->font();
  big.setPointSizeF(big.pointSizeF() * 1.2);
  big.setBold(true);
  operator_->setFont(big);
  status_ = makeLabel("status", QStringLiteral("Starting..."));
  phone_ = makeLabel("phone");
  pinButton_ = makeButton("enterPin", "Enter PIN...");
  pinButton_->hide();
  connect(pinButton_, &QPushButton::clicked, this, [this] { askForPin(); });
  layout->addWidget(signal_);
  layout->addSpacing(6);
  layout->addWidget(operator_);
  layout->addSpacing(12);
  layout->addWidget(status_, 1);
  layout->addWidget(pinButton_);
  layout->addWidget(phone_);
  return bar;
}

QWidget* PhonePanel::buildMessages() {
  auto* box = new QGroupBox(QStringLiteral("Messages"));
  auto* layout = new QVBoxLayout(box);
  auto* to = new QHBoxLayout;
  smsNumber_ = makeLineEdit("smsNumber", "Phone number");
  to->addWidget(new QLabel(QStringLiteral("To:")));
  to->addWidget(smsNumber_, 1);
  layout->addLayout(to);
  smsText_ = new QPlainTextEdit;
  smsText_->setObjectName(QStringLiteral("smsText"));
  smsText_->setPlaceholderText(QStringLiteral("Message"));
  smsText_->setMaximumHeight(90);
  layout->addWidget(smsText_);
  auto* sendRow = new QHBoxLayout;
  smsCounter_ = makeLabel("smsCounter");
  smsSend_ = makeButton("smsSend", "Send");
  sendRow->addWidget(smsCounter_, 1);
  sendRow->addWidget(smsSend_);
  layout->addLayout(sendRow);
  smsStatus_ = makeLabel("smsStatus");
  layout->addWidget(smsStatus_);
  layout->addWidget(new QLabel(QStringLiteral("Inbox")));
  inbox_ = makeTable(QStringLiteral("inbox"), {QStringLiteral("From"), QStringLiteral("Received"), QStringLiteral("Text"),
                                               QStringLiteral("Parts")});
  inbox_->horizontalHeader()->setStretchLastSection(false);
  inbox_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  layout->addWidget(inbox_, 1);

  connect(smsText_, &QPlainTextEdit::textChanged, this, &PhonePanel::updateCounter);
  connect(smsNumber_, &QLineEdit::textChanged, this, &PhonePanel::updateCounter);
  connect(smsSend_, &QPushButton::clicked, this, [this] {
    smsSend_->setEnabled(false);
    smsStatus_->setText(QStringLiteral("Sending to %1...").arg(smsNumber_->text()));
    line_->SendMessage(dialable(smsNumber_->text()), smsText_->toPlainText());
  });
  connect(inbox_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    smsNumber_->setText(inbox_->item(row, 0)->data(Qt::UserRole).toString());
    smsText_->setFocus();
  });
  return box;
}

QWidget* PhonePanel::buildPhoneBook() {
  auto* box = new QGroupBox(QStringLiteral("Phone book"));
  auto* layout = new QVBoxLayout(box);
  search_ = makeLineEdit("phoneBookSearch", "Search name or number");
  search_->setClearButtonEnabled(true);
  layout->addWidget(search_);
  phoneBook_ = makeTable(QStringLiteral("phoneBook"), {QStringLiteral("Name"), QStringLiteral("Number")});
  layout->addWidget(phoneBook_, 1);
  auto* hint = new QLabel(QStringLiteral("Double-click an entry to dial it or write to it."));
  hint->setStyleSheet(QStringLiteral("color: #5B6B7C; font-weight: normal;"));
  layout->addWidget(hint);
  connect(search_, &QLineEdit::textChanged, this, &PhonePanel::applySearch);
  connect(phoneBook_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const QString number = phoneBook_->item(row, 1)->text();
    dialNumber_->setText(number);
    smsNumber_->setText(number);
  });
  return box;
}

QWidget* PhonePanel::buildCall() {
  auto* box = new QGroupBox(QStringLiteral("Call"));
  auto* layout = new QVBoxLayout(box);
  auto* row = new QHBoxLayout;
  dialNumber_ = makeLineEdit("dialNumber", "Number to call");
  dial_ = makeButton("dial", "Dial");
  hangUp_ = makeButton("hangUp", "Hang up");
  row->addWidget(dialNumber_, 1);
  row->addWidget(dial_);
  row->addWidget(hangUp_);
  layout->addLayout(row);
  callState_ = makeLabel("callState", QStringLiteral("No call"));
  layout->addWidget(callState_);
  connect(dial_, &QPushButton::clicked, this, [this] {
    const QString number = dialable(dialNumber_->text());
    if (number.isEmpty()) return;
    callState_->setText(QStringLiteral("Calling %1...").arg(number));
    line_->Dial(number);
  });
  connect(dialNumber_, &QLineEdit::returnPressed, dial_, &QPushButton::click);
  connect(hangUp_, &QPushButton::clicked, this, [this] { line_->HangUp(); });
  return box;
}

void PhonePanel::wireLine() {
  PhoneLine* line = line_.get();
  connect(line, &PhoneLine::connected, this, [this](const QString& identity) {
    phone_->setText(identity);
    status_->setText(line_->UsesVirtualModem() ? QStringLiteral("Virtual modem on %1").arg(line_->DevicePath())
                                               : QStringLiteral("Phone on %1").arg(line_->DevicePath()));
  });
  connect(line, &PhoneLine::failed, this, [this](const QString& reason) { status_->setText(reason); });
  connect(line, &PhoneLine::pinNeeded, this, [this] {
    status_->setText(QStringLiteral("The SIM card asks for its PIN"));
    pinButton_->show();
    // Once by itself; the button asks again after a cancel.
    QTimer::singleShot(0, this, [this] { askForPin(); });
  });
  connect(line, &PhoneLine::moduleStateChanged, this, [this](bool ready) {
    if (ready) pinButton_->hide();
  });
  connect(line, &PhoneLine::signalChanged, signal_, &SignalBars::SetRssi);
  connect(line, &PhoneLine::registrationChanged, this, [this](int status) {
    if (status != 1 && status != 5) operator_->setText(registrationText(status));
    operator_->setToolTip(registrationText(status));
  });
  connect(line, &PhoneLine::operatorChanged, this, [this](const QString& name) { operator_->setText(name); });
  connect(line, &PhoneLine::messagesListed, this, [this](const std::vector<InboxMessage>& messages) {
    // The listing stands for the store; messages delivered to the panel
    // itself are in no store and stay on top, where they came in.
    for (int row = inbox_->rowCount() - 1; row >= 0; --row) {
      if (inbox_->item(row, 2)->data(Qt::UserRole).toInt() >= 0) inbox_->removeRow(row);
    }
    const int delivered = inbox_->rowCount();
    for (const InboxMessage& message : messages) addInboxRow(message, delivered);
  });
  connect(line, &PhoneLine::messageArrived, this, [this](const InboxMessage& message) {
    // The row comes with the listing that follows, long messages joined.
    smsStatus_->setText(QStringLiteral("New message from %1").arg(message.sender));
  });
  connect(line, &PhoneLine::joinedMessageArrived, this, [this](const InboxMessage& message) {
    if (inboxHolds(message)) return;
    addInboxRow(message);
  });
  connect(line, &PhoneLine::messageSent, this, [this](bool ok, const QString& number) {
    smsSend_->setEnabled(true);
    if (ok) {
      smsStatus_->setText(QStringLiteral("Sent to %1").arg(number));
      smsText_->clear();
    } else {
      smsStatus_->setText(QStringLiteral("Could not send to %1").arg(number));
    }
    updateCounter();
  });
  connect(line, &PhoneLine::phoneBookListed, this, [this](const std::vector<PhoneContact>& contacts) {
    contacts_ = contacts;
    phoneBook_->setRowCount(0);
    for (const PhoneContact& contact : contacts_) {
      const int row = phoneBook_->rowCount();
      phoneBook_->insertRow(row);
      phoneBook_->setItem(row, 0, new QTableWidgetItem(contact.name));
      phoneBook_->setItem(row, 1, new QTableWidgetItem(contact.number));
    }
    phoneBook_->resizeColumnToContents(0);
    applySearch();
  });
  connect(line, &PhoneLine::ringing, this, [this] { showIncoming(lastCaller_); });
  connect(line, &PhoneLine::callerIdentified, this, [this](const QString& number) {
    lastCaller_ = number;
    showIncoming(number);
  });
  connect(line, &PhoneLine::callChanged, this, [this](const QString& number, quint32 value) {
    const CallChange change = DecodeCallChange(number, value);
    callState_->setText(DescribeCallChange(change, NameFor(number)));
    if (change.state == static_cast<int>(CallState::Incoming) || change.state == static_cast<int>(CallState::Waiting)) {
      showIncoming(number);
    } else {
      incoming_->hide();
      lastCaller_.clear();
    }
  });
  connect(line, &PhoneLine::callRequestDone, this, [this](const QString& what, bool ok) {
    if (!ok) callState_->setText(QStringLiteral("The phone refused to %1").arg(what));
  });
}

void PhonePanel::Start() {
  line_->Connect();
}

void PhonePanel::askForPin() {
  status_->setText(QStringLiteral("Entering the PIN..."));
  if (line_->EnterPin()) {
    pinButton_->hide();
    status_->setText(QStringLiteral("SIM unlocked"));
  } else {
    status_->setText(QStringLiteral("The SIM card is locked: no PIN was entered"));
    pinButton_->show();
  }
}

QString PhonePanel::NameFor(const QString& number) const {
  const QString wanted = dialable(number);
  if (wanted.isEmpty()) return QString();
  for (const PhoneContact& contact : contacts_) {
    const QByteArray a = dialable(contact.number).toLatin1();
    const QByteArray b = wanted.toLatin1();
    if (Mebrix::Fonexa::Other::CompareNumbers(a.constData(), b.constData())) return contact.name;
  }
  return QString();
}

void PhonePanel::updateCounter() {
  const QByteArray text = smsText_->toPlainText().toLatin1();
  const SmsLength length = MeasureSms(std::string_view(text.constData(), static_cast<size_t>(text.size())));
  QString words = QStringLiteral("%1 character%2").arg(length.characters).arg(length.characters == 1 ? "" : "s");
  if (length.parts > 0) words += QStringLiteral(" · %1 part%2").arg(length.parts).arg(length.parts == 1 ? "" : "s");
  words += QStringLiteral(" · %1 left · %2").arg(length.remainingInPart).arg(length.sevenBit ? "GSM 7-bit" : "16-bit");
  smsCounter_->setText(words);
  smsSend_->setEnabled(length.characters > 0 && !dialable(smsNumber_->text()).isEmpty());
}

void PhonePanel::applySearch() {
  const QString needle = search_->text().trimmed();
  const QString digits = dialable(needle);
  for (int row = 0; row < phoneBook_->rowCount(); ++row) {
    const QString name = phoneBook_->item(row, 0)->text();
    const QString number = phoneBook_->item(row, 1)->text();
    const bool match = needle.isEmpty() || name.contains(needle, Qt::CaseInsensitive) ||
                       (!digits.isEmpty() && dialable(number).contains(digits.startsWith('+') ? digits.mid(1) : digits));
    phoneBook_->setRowHidden(row, !match);
  }
}

void PhonePanel::addInboxRow(const InboxMessage& message, int row) {
  // Newest first: the listing comes in storage order, events as they happen.
  inbox_->insertRow(row);
  const QString name = NameFor(message.sender);
  auto* from = new QTableWidgetItem(name.isEmpty() ? message.sender : QStringLiteral("%1 (%2)").arg(name, message.sender));
  from->setData(Qt::UserRole, message.sender);
  inbox_->setItem(row, 0, from);
  auto* received = new QTableWidgetItem(message.time.isValid() ? message.time.toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QString());
  received->setData(Qt::UserRole, message.time);
  inbox_->setItem(row, 1, received);
  auto* text = new QTableWidgetItem(message.text);
  text->setToolTip(message.text);
  text->setData(Qt::UserRole, message.index);
  inbox_->setItem(row, 2, text);
  // A long message shows its part count; one with parts missing says how
  // many arrived, so that a gap in the text is not taken for the sender's.
  // A message delivered to the panel comes without its count.
  const int arrived = message.parts - message.missingParts;
  QString shownParts;
  if (message.parts == 0) {
    if (message.missingParts > 0) shownParts = QStringLiteral("%1 missing").arg(message.missingParts);
  } else if (message.missingParts > 0) {
    shownParts = QStringLiteral("%1 of %2").arg(arrived).arg(message.parts);
  } else if (message.parts > 1) {
    shownParts = QString::number(message.parts);
  }
  auto* parts = new QTableWidgetItem(shownParts);
  if (message.missingParts > 0) {
    parts->setToolTip(message.missingParts == 1 ? QStringLiteral("1 part missing")
                                                : QStringLiteral("%1 parts missing").arg(message.missingParts));
    parts->setForeground(QColor(0xB0, 0x30, 0x20));
  }
  inbox_->setItem(row, 3, parts);
  inbox_->resizeColumnToContents(0);
  inbox_->resizeColumnToContents(1);
}

bool PhonePanel::inboxHolds(const InboxMessage& message) const {
  for (int row = 0; row < inbox_->rowCount(); ++row) {
    if (inbox_->item(row, 0)->data(Qt::UserRole).toString() == message.sender &&
        inbox_->item(row, 2)->text() == message.text &&
        inbox_->item(row, 1)->data(Qt::UserRole).toDateTime() == message.time) {
      return true;
    }
  }
  return false;
}

void PhonePanel::showIncoming(const QString& number) {
  const QString name = NameFor(number);
  QString who = number.isEmpty() ? QStringLiteral("an unknown number") : number;
  if (!name.isEmpty()) who = QStringLiteral("%1 (%2)").arg(name, number);
  incomingText_->setText(QStringLiteral("Incoming call from %1").arg(who));
  incoming_->show();
}
