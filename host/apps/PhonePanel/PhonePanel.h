// The phone panel: the page the phone application adds to the server window.
// Status (signal, operator, phone), a message composer with its counter, the
// inbox, the phone book with a search, and the call controls with the call
// state and a notice for incoming calls. Every control carries an object name
// (listed in the constructor) so that scripts and tests can find it.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "PanelSettings.h"
#include "PhoneLine.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class SignalBars;

class PhonePanel : public QWidget {
 public:
  explicit PhonePanel(PanelSettings settings, QWidget* parent = nullptr);
  ~PhonePanel() override;

  // Brings the phone up; the page fills in as answers come.
  void Start();
  PhoneLine& Line() { return *line_; }
  // The name the phone book holds for a number, "" if none.
  QString NameFor(const QString& number) const;

 private:
  QWidget* buildStatus();
  QWidget* buildMessages();
  QWidget* buildPhoneBook();
  QWidget* buildCall();
  void wireLine();
  void updateCounter();
  void applySearch();
  // Puts the message at row (the top: the newest first).
  void addInboxRow(const InboxMessage& message, int row = 0);
  bool inboxHolds(const InboxMessage& message) const;
  void showIncoming(const QString& number);
  void askForPin();

  std::unique_ptr<PhoneLine> line_;
  std::vector<PhoneContact> contacts_;
  QString lastCaller_;

  SignalBars* signal_ = nullptr;
  QLabel* operator_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* phone_ = nullptr;
  QPushButton* pinButton_ = nullptr;
  QFrame* incoming_ = nullptr;
  QLabel* incomingText_ = nullptr;
  QLineEdit* smsNumber_ = nullptr;
  QPlainTextEdit* smsText_ = nullptr;
  QLabel* smsCounter_ = nullptr;
  QPushButton* smsSend_ = nullptr;
  QLabel* smsStatus_ = nullptr;
  QTableWidget* inbox_ = nullptr;
  QLineEdit* search_ = nullptr;
  QTableWidget* phoneBook_ = nullptr;
  QLineEdit* dialNumber_ = nullptr;
  QPushButton* dial_ = nullptr;
  QPushButton* hangUp_ = nullptr;
  QLabel* callState_ = nullptr;
};
