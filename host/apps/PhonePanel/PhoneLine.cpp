#include "PhoneLine.h"

#include <QMetaObject>
#include <future>

#include "fonexa/Fonexa.h"
#include "sim/VirtualModem.h"

namespace fx = Mebrix::Fonexa;

namespace {

QString fromLatin1(const char* text) {
  return QString::fromLatin1(text != nullptr ? text : "");
}

QString fromUtf8(const char* text) {
  return QString::fromUtf8(text != nullptr ? text : "");
}

QDateTime toDateTime(const fx::SYSTEMTIME& t) {
  if (t.wYear == 0) return QDateTime();
  return QDateTime(QDate(t.wYear, t.wMonth, t.wDay), QTime(t.wHour, t.wMinute, t.wSecond));
}

// The events the panel shows, each turned into a signal on the owner's thread.
constexpr uint32_t kPanelEvents[] = {
    FONEXA_EVENT_RING,         FONEXA_EVENT_CALLER_ID, FONEXA_EVENT_SIGNAL,       FONEXA_EVENT_NEW_MESSAGE,
    FONEXA_EVENT_REGISTRATION, FONEXA_EVENT_CALL_LIST, FONEXA_EVENT_MODULE_STATE, FONEXA_EVENT_JOINED_MESSAGE,
};

}  // namespace

PhoneLine::PhoneLine(PanelSettings settings, QObject* parent) : QObject(parent), settings_(std::move(settings)) {
  ownerJobs_ = new JobQueue(this);
  workerContext_ = new JobQueue;
  workerContext_->moveToThread(&worker_);
  connect(&worker_, &QThread::finished, workerContext_, &QObject::deleteLater);
  worker_.setObjectName(QStringLiteral("phone-panel-line"));
  worker_.start();
}

PhoneLine::~PhoneLine() {
  Close();
}

void PhoneLine::onWorker(std::function<void()> job) { workerContext_->Post(std::move(job)); }

void PhoneLine::onOwner(std::function<void()> job) {
  if (closing_) return;
  ownerJobs_->Post(std::move(job));
}

bool PhoneLine::startVirtualModem(QString* error) {
  fonexa::sim::ModemOptions options;
  options.profile = settings_.profile.toStdString();
  if (!settings_.pin.isEmpty()) {
    options.pinRequired = true;
    options.codes.pin = settings_.pin.toStdString();
  }
  modem_ = std::make_unique<fonexa::sim::VirtualModem>(options);
  std::string why;
  if (!modem_->start(&why)) {
    *error = QStringLiteral("The virtual modem did not start: %1").arg(QString::fromStdString(why));
    modem_.reset();
    return false;
  }
  const std::vector<PanelContact> contacts = settings_.contacts;
  modem_->update([&contacts](fonexa::sim::ModemContext& context) {
    fonexa::sim::PhoneBook* book = context.phoneBooks.find("SM");
    if (book == nullptr) return;
    int position = 1;
    for (const PanelContact& contact : contacts) {
      if (!book->validIndex(position)) break;
      fonexa::sim::PhoneBookEntry entry;
      entry.number = contact.number.toStdString();
      entry.type = contact.number.startsWith(QLatin1Char('+')) ? 145 : 129;
      entry.text = contact.name.toStdString();
      book->entries[position++] = entry;
    }
  });
  devicePath_ = QString::fromStdString(modem_->devicePath());
  return true;
}

void PhoneLine::Connect() {
  QString specification = settings_.device;
  if (specification.isEmpty()) {
    QString error;
    if (!startVirtualModem(&error)) {
      emit failed(error);
      return;
    }
    specification = PluginForProfile(settings_.profile) + QLatin1Char('@') + devicePath_;
  } else {
    devicePath_ = specification.section(QLatin1Char('@'), 1, 1);
  }
  const QByteArray text = specification.toLatin1();
  onWorker([this, text] {
    if (!fx::Module::Initialize(text.constData())) {
      onOwner([this, text] { emit failed(QStringLiteral("Could not reach the phone at %1").arg(QString::fromLatin1(text))); });
      return;
    }
    registerEvents();
    char manufacturer[FONEXA_IDENTITY_SIZE] = "";
    char model[FONEXA_IDENTITY_SIZE] = "";
    fx::Module::GetManufacturer(manufacturer);
    fx::Module::GetModel(model);
    const QString identity = (fromLatin1(manufacturer) + QLatin1Char(' ') + fromLatin1(model)).simplified();
    const bool ready = fx::Module::GetState(4) != 0;
    onOwner([this, identity, ready] {
      emit connected(identity);
      if (!ready) emit pinNeeded();
    });
    if (ready) Refresh();
  });
}

void PhoneLine::registerEvents() {
  // On the worker, after Initialize, which drops the facade's registrations.
  for (uint32_t id : kPanelEvents) {
    fx::Events::Register(id, [this](uint32_t event, const std::string& text, uint32_t value) {
      if (closing_) return;
      const QString words = QString::fromStdString(text);
      switch (event) {
        case FONEXA_EVENT_RING:
          onOwner([this] { emit ringing(); });
          break;
        case FONEXA_EVENT_CALLER_ID:
          onOwner([this, words] { emit callerIdentified(words); });
          break;
        case FONEXA_EVENT_SIGNAL:
          onOwner([this, value] { emit signalChanged(static_cast<int>(value)); });
          break;
        case FONEXA_EVENT_NEW_MESSAGE: {
          const fx::Events::SmsEvent sms(text.c_str(), value);
          InboxMessage message;
          message.sender = fromLatin1(sms.GetSender());
          message.text = fromLatin1(sms.GetText());
          message.time = toDateTime(sms.GetTime());
          onOwner([this, message] { emit messageArrived(message); });
          // The event is one part; the listing joins a long message.
          onWorker([this] { listInbox(); });
          break;
        }
        case FONEXA_EVENT_JOINED_MESSAGE: {
          const fx::Events::JoinedMessageEvent joined(text.c_str(), value);
          InboxMessage message;
          message.sender = fromUtf8(joined.GetSender());
          message.text = fromUtf8(joined.GetText());
          message.time = QDateTime::currentDateTime();
          message.parts = 0;
          message.missingParts = joined.GetMissingParts();
          onOwner([this, message] { emit joinedMessageArrived(message); });
          break;
        }
        case FONEXA_EVENT_REGISTRATION:
          onOwner([this, value] { emit registrationChanged(static_cast<int>(value)); });
          // The operator may have changed with the registration.
          if (value == 1 || value == 5) onWorker([this] { refreshNetwork(); });
          break;
        case FONEXA_EVENT_CALL_LIST:
          onOwner([this, words, value] { emit callChanged(words, value); });
          break;
        case FONEXA_EVENT_MODULE_STATE:
          onOwner([this, value] { emit moduleStateChanged(value == 1); });
          break;
        default:
          break;
      }
    });
  }
  fx::Events::EnableClip(1);
}

bool PhoneLine::EnterPin() {
  const bool ready = fx::Protection::AutoVerify() != 0;
  if (ready) Refresh();
  return ready;
}

void PhoneLine::refreshNetwork() {
  int rssi = 99;
  if (fx::Network::GetSignalQuality(rssi)) onOwner([this, rssi] { emit signalChanged(rssi); });
  int status = 0;
  if (fx::Network::GetRegistrationStatus(status)) onOwner([this, status] { emit registrationChanged(status); });
  fx::Network::NetworkEntry entry;
  if (fx::Network::GetCurrentOperator(entry)) {
    const QString name = fromLatin1(entry.GetName());
    onOwner([this, name] { emit operatorChanged(name); });
  }
}

void PhoneLine::Refresh() {
  onWorker([this] {
    refreshNetwork();
    listInbox();
    std::vector<fx::PhoneBook::PhoneBookEntry> book;
    if (fx::PhoneBook::SetStorage(0) && fx::PhoneBook::ListEntries(-1, -1, book)) {
      std::vector<PhoneContact> contacts;
      for (const fx::PhoneBook::PhoneBookEntry& entry : book) {
        contacts.push_back({entry.GetPosition(), fromLatin1(entry.GetName()), fromLatin1(entry.GetPhoneNumber())});
      }
      onOwner([this, contacts] { emit phoneBookListed(contacts); });
    }
  });
}

void PhoneLine::listInbox() {
  if (closing_) return;
  std::vector<fx::Sms::JoinedSmsEntry> entries;
  if (!fx::Sms::ListJoinedMessages(4, entries)) return;
  std::vector<InboxMessage> messages;
  for (const fx::Sms::JoinedSmsEntry& entry : entries) {
    // Delivery reports the phone stored are not messages to read.
    if (entry.GetKind() == FONEXA_SMS_KIND_STATUS_REPORT) continue;
    InboxMessage message;
    for (const int index : entry.GetPartIndices()) {
      if (index >= 0) {
        message.index = index;
        break;
      }
    }
    message.sender = fromUtf8(entry.GetPhoneNumber());
    message.text = fromUtf8(entry.GetMessageText());
    message.time = toDateTime(entry.GetTime());
    message.parts = entry.GetPartCount();
    message.missingParts = entry.GetMissingParts();
    messages.push_back(message);
  }
  onOwner([this, messages] { emit messagesListed(messages); });
}

void PhoneLine::SendMessage(const QString& number, const QString& text) {
  const QByteArray to = number.toLatin1();
  const QByteArray body = text.toLatin1();
  onWorker([this, to, body, number] {
    const bool ok = fx::Sms::SendMessageA(to.constData(), body.constData()) != 0;
    onOwner([this, ok, number] { emit messageSent(ok, number); });
  });
}

void PhoneLine::Dial(const QString& number) {
  const QByteArray to = number.toLatin1();
  onWorker([this, to] {
    const bool ok = fx::Call::Dial(to.constData()) != 0;
    onOwner([this, ok] { emit callRequestDone(QStringLiteral("dial"), ok); });
  });
}

void PhoneLine::HangUp() {
  onWorker([this] {
    const bool ok = fx::Call::Hangup() != 0;
    onOwner([this, ok] { emit callRequestDone(QStringLiteral("hang up"), ok); });
  });
}

void PhoneLine::Answer() {
  onWorker([this] {
    const bool ok = fx::Call::Answer() != 0;
    onOwner([this, ok] { emit callRequestDone(QStringLiteral("answer"), ok); });
  });
}

void PhoneLine::Close() {
  if (closed_) return;
  closed_ = true;
  closing_ = true;
  // The engine goes on the thread that made it, after whatever it was doing.
  // The wait is ours rather than Qt's blocking call, so that everything the
  // engine's threads did before they ended is seen to happen before what
  // follows here.
  std::promise<void> released;
  workerContext_->Post([&released] {
    fx::Module::Uninitialize();
    released.set_value();
  });
  released.get_future().wait();
  worker_.quit();
  worker_.wait();
  if (modem_) modem_->stop();
  modem_.reset();
}
