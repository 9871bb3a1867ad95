// The panel's side of the phone: one engine instance through the SDK's static
// facade, a worker thread that makes every call on it (they wait on the
// serial line, some for a minute), and, unless the description names a
// device, a virtual modem of its own on a pseudo-terminal.
//
// Results and events come back as signals on the thread that owns the line
// (the GUI thread). The one call made on the GUI thread is the PIN entry:
// the keypad dialog belongs to the GUI.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "JobQueue.h"
#include "PanelSettings.h"

namespace fonexa::sim {
class VirtualModem;
}

// One message of the inbox, the parts of a long one joined.
struct InboxMessage {
  int index = -1;  // its first part's place in the store; -1 for one delivered to the panel
  QString sender;
  QString text;
  QDateTime time;
  int parts = 1;  // 0 when not known (a message delivered to the panel)
  int missingParts = 0;
};

struct PhoneContact {
  int position = 0;
  QString name;
  QString number;
};

class PhoneLine : public QObject {
  Q_OBJECT

 public:
  explicit PhoneLine(PanelSettings settings, QObject* parent = nullptr);
  ~PhoneLine() override;

  // Starts the virtual modem when no device is named and brings the phone up
  // on the worker. Answers with connected() or failed().
  void Connect();
  // Asks for the PIN with the engine's prompt (the keypad dialog); on the GUI
  // thread. True when the SIM is ready afterwards.
  bool EnterPin();
  void Refresh();
  void SendMessage(const QString& number, const QString& text);
  void Dial(const QString& number);
  void HangUp();
  void Answer();
  // The device the panel talks to ("" before Connect).
  QString DevicePath() const { return devicePath_; }
  bool UsesVirtualModem() const { return modem_ != nullptr; }
  // Stops the worker and releases the engine and the modem; the destructor
  // does it too.
  void Close();

 signals:
  void connected(const QString& identity);
  void pinNeeded();
  void failed(const QString& reason);
  void moduleStateChanged(bool ready);
  void signalChanged(int rssi);
  void registrationChanged(int status);
  void operatorChanged(const QString& name);
  void messagesListed(const std::vector<InboxMessage>& messages);
  // A new message announced (each part of a long one): for the status line;
  // the inbox is listed again behind it.
  void messageArrived(const InboxMessage& message);
  // A message delivered to the panel rather than stored, its parts joined.
  void joinedMessageArrived(const InboxMessage& message);
  void messageSent(bool ok, const QString& number);
  void phoneBookListed(const std::vector<PhoneContact>& contacts);
  void callChanged(const QString& number, quint32 value);
  void callerIdentified(const QString& number);
  void ringing();
  void callRequestDone(const QString& what, bool ok);

 private:
  void onWorker(std::function<void()> job);
  void onOwner(std::function<void()> job);
  void registerEvents();
  void refreshNetwork();
  // On the worker: the stored messages, long ones joined, as messagesListed.
  void listInbox();
  bool startVirtualModem(QString* error);

  PanelSettings settings_;
  QString devicePath_;
  std::unique_ptr<fonexa::sim::VirtualModem> modem_;
  QThread worker_;
  JobQueue* workerContext_ = nullptr;  // lives on the worker
  JobQueue* ownerJobs_ = nullptr;      // a child: lives on the owner's thread
  std::atomic<bool> closing_{false};
  bool closed_ = false;
};
