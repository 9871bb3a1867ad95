// The phone panel as the host runs it: the library loaded by the host's own
// loader, its application started in a server window, talking through the
// engine to a virtual modem that the test holds (named in the description as
// a device), on a real X server (the test runs under xvfb-run). The modem
// side checks what the phone received; the panel side is read and driven
// through its controls' object names.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "CallStates.h"
#include "ClientLibraries.h"
#include "Gui/CMxXMLDocument.h"
#include "HostLog.h"
#include "SignalBars.h"
#include "SmsCounter.h"
#include "System/CMxServer.h"
#include "sim/VirtualModem.h"
#include "sim/codec/SmsPdu.h"

using fonexa::sim::ModemOptions;
using fonexa::sim::VirtualModem;

namespace {

constexpr int kEventWaitMs = 15000;  // the monitor polls every 5 s

void seedPhoneBook(VirtualModem& modem) {
  modem.update([](fonexa::sim::ModemContext& context) {
    fonexa::sim::PhoneBook* book = context.phoneBooks.find("SM");
    book->entries[1] = {"+420777123456", 145, "Alice Novak", std::nullopt};
    book->entries[2] = {"+420602111222", 145, "Bob Dvorak", std::nullopt};
    book->entries[3] = {"800123456", 129, "Dispatch", std::nullopt};
  });
}

}  // namespace

class PhonePanelTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<VirtualModem> modem_;
  std::vector<ApplicationEntry> libraries_;
  CMxServer* server_ = nullptr;

  template <typename T>
  T* find(const char* name) const {
    T* widget = server_->findChild<T*>(QLatin1String(name));
    if (widget == nullptr) qWarning("no control %s", name);
    return widget;
  }
  QString text(const char* label) const { return find<QLabel>(label)->text(); }
  QTableWidget* table(const char* name) const { return find<QTableWidget>(name); }
  int visibleRows(QTableWidget* t) const {
    int rows = 0;
    for (int row = 0; row < t->rowCount(); ++row) rows += t->isRowHidden(row) ? 0 : 1;
    return rows;
  }
  bool inboxHas(const QString& words) const {
    QTableWidget* inbox = table("inbox");
    for (int row = 0; row < inbox->rowCount(); ++row) {
      if (inbox->item(row, 2) && inbox->item(row, 2)->text() == words) return true;
    }
    return false;
  }

  // The host's steps for one library: load it, create the server window,
  // call the factory and start the application.
  bool host(ModemOptions options, const std::function<void(VirtualModem&)>& prepare = {}) {
    modem_ = std::make_unique<VirtualModem>(options);
    if (!modem_->start()) return false;
    seedPhoneBook(*modem_);
    if (prepare) prepare(*modem_);
    CMxXMLDocument description;
    const QString xml = QStringLiteral("<tallix><server width='980' height='660'/>"
                                       "<phone-panel device='GenericPhone@%1'/></tallix>")
                            .arg(QString::fromStdString(modem_->devicePath()));
    if (!description.LoadFromText(xml)) return false;
    HostLog log;
    LoadClientLibraries(QStringLiteral("libPhonePanel.so"), log, libraries_);
    if (libraries_.size() != 1 || libraries_[0].factory == nullptr) return false;
    server_ = new CMxServer;
    if (!server_->Create(description)) return false;
    IMxApplication* application = libraries_[0].factory(server_);
    if (application == nullptr || !application->Start()) return false;
    server_->show();
    server_->ActivateFirstApplication();
    return QTest::qWaitForWindowExposed(server_);
  }

  void waitReady() {
    QTRY_VERIFY_WITH_TIMEOUT(text("operator") == QStringLiteral("T-Mobile D"), kEventWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(table("phoneBook")->rowCount(), 3, kEventWaitMs);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
  }

  void cleanup() {
    // The host's exit order: the server window (and the panel in it), then the library.
    delete server_;
    server_ = nullptr;
    UnloadClientLibraries(libraries_);
    if (modem_) modem_->stop();
    modem_.reset();
  }

  // ---- pure pieces ----

  void counterFollowsTheEnginesSplitting() {
    const struct {
      std::string text;
      int parts;
      bool sevenBit;
      int left;
    } cases[] = {
        {"", 0, true, 160},
        {"Hello", 1, true, 155},
        {std::string(160, 'a'), 1, true, 0},
        {std::string(161, 'a'), 2, true, 143},         // parts of 152, not 153
        {std::string(304, 'a'), 2, true, 0},
        {"Caf\xE9 [ok] {x} ~|^\\", 1, true, 142},      // extension characters stay 7-bit
        {"na\xEFve", 1, false, 65},                    // i with diaeresis is not in the alphabet
        {std::string(70, '\xEF'), 1, false, 0},
        {std::string(71, '\xEF'), 2, false, 63},       // parts of 67
        {"form\x0C" "feed", 1, false, 61},              // the form feed forces 16-bit here
        {"`", 1, false, 69},
    };
    for (const auto& c : cases) {
      const SmsLength length = MeasureSms(c.text);
      QCOMPARE(length.characters, static_cast<int>(c.text.size()));
      QCOMPARE(length.parts, c.parts);
      QCOMPARE(length.sevenBit, c.sevenBit);
      QCOMPARE(length.remainingInPart, c.left);
    }
  }

  void callChangesReadAsTheEventValueSays() {
    CallChange change = DecodeCallChange("+420602111222", 0x10002);
    QCOMPARE(change.kind, int(CallChange::Appeared));
    QCOMPARE(change.state, int(CallState::Dialling));
    QCOMPARE(DescribeCallChange(change, "Bob"), QStringLiteral("Dialling Bob (+420602111222)..."));
    change = DecodeCallChange("+420602111222", 0x30300);
    QCOMPARE(change.kind, int(CallChange::StateChanged));
    QCOMPARE(DescribeCallChange(change, ""), QStringLiteral("In call with +420602111222"));
    change = DecodeCallChange("", 0x20001);
    QCOMPARE(change.state, -1);
    QCOMPARE(DescribeCallChange(change, ""), QStringLiteral("Call ended"));
    QCOMPARE(DescribeCallChange(DecodeCallChange("", 0x10004), ""), QStringLiteral("Incoming call from unknown number"));
    QCOMPARE(CallStateName(9), QStringLiteral("State 9"));
    QCOMPARE(SignalBars::BarsFor(99), -1);
    QCOMPARE(SignalBars::BarsFor(0), 0);
    QCOMPARE(SignalBars::BarsFor(12), 3);
    QCOMPARE(SignalBars::BarsFor(31), 5);
  }

  // ---- the panel on a modem ----

  void panelShowsTheNetworkTheInboxAndThePhoneBook() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    QCOMPARE(find<QWidget>("signal")->toolTip(), QStringLiteral("Signal 5 of 5 (rssi 21)"));
    QCOMPARE(text("phone"), QStringLiteral("Fonexa VM-900 virtual GSM phone"));
    QVERIFY(text("status").contains(QString::fromStdString(modem_->devicePath())));
    QCOMPARE(table("phoneBook")->item(0, 0)->text(), QStringLiteral("Alice Novak"));
    QCOMPARE(table("phoneBook")->item(2, 1)->text(), QStringLiteral("800123456"));

    // The signal follows the monitor's polls.
    modem_->setSignal(6);
    QTRY_COMPARE_WITH_TIMEOUT(find<QWidget>("signal")->toolTip(), QStringLiteral("Signal 1 of 5 (rssi 6)"), kEventWaitMs);
  }

  void searchNarrowsThePhoneBookByNameOrNumber() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    auto* search = find<QLineEdit>("phoneBookSearch");
    QTableWidget* book = table("phoneBook");
    QTest::keyClicks(search, "ali");
    QCOMPARE(visibleRows(book), 1);
    search->clear();
    QTest::keyClicks(search, "602 111");
    QCOMPARE(visibleRows(book), 1);
    QVERIFY(!book->isRowHidden(1));
    search->setText("+420");
    QCOMPARE(visibleRows(book), 2);
    search->setText("nobody");
    QCOMPARE(visibleRows(book), 0);
    search->clear();
    QCOMPARE(visibleRows(book), 3);
  }

  void sendingAMessageReachesTheModem() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    auto* number = find<QLineEdit>("smsNumber");
    auto* message = find<QPlainTextEdit>("smsText");
    auto* send = find<QPushButton>("smsSend");
    QVERIFY(!send->isEnabled());
    QTest::keyClicks(number, "+420777123456");
    QTest::keyClicks(message, "Hello from the panel");
    QCOMPARE(text("smsCounter"), QStringLiteral("20 characters · 1 part · 140 left · GSM 7-bit"));
    QVERIFY(send->isEnabled());
    QTest::mouseClick(send, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(modem_->sentMessages().size(), size_t{1}, kEventWaitMs);
    QCOMPARE(modem_->sentMessages()[0].destination, std::string("+420777123456"));
    QCOMPARE(modem_->sentMessages()[0].text, std::string("Hello from the panel"));
    QTRY_COMPARE(text("smsStatus"), QStringLiteral("Sent to +420777123456"));
    QCOMPARE(message->toPlainText(), QString());

    // A long one goes in parts, as the counter said.
    const QString longText = QString(200, QLatin1Char('x'));
    message->setPlainText(longText);
    QCOMPARE(text("smsCounter"), QStringLiteral("200 characters · 2 parts · 104 left · GSM 7-bit"));
    QTest::mouseClick(send, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(modem_->sentMessages().size(), size_t{3}, kEventWaitMs);
    QCOMPARE(modem_->sentMessages()[1].text + modem_->sentMessages()[2].text, longText.toStdString());
  }

  void messagesTheModemDeliversShowUpInTheInbox() {
    ModemOptions options;
    // One waits unread in the phone before the panel lists. The listing and
    // the monitor's announcement may both carry it; the inbox shows it once.
    QVERIFY(host(options, [](VirtualModem& modem) { modem.injectSms("+420777123456", "Stored before"); }));
    waitReady();
    QTRY_VERIFY_WITH_TIMEOUT(inboxHas(QStringLiteral("Stored before")), kEventWaitMs);
    modem_->injectSms("+420602111222", "Are you there?");
    QTRY_VERIFY_WITH_TIMEOUT(inboxHas(QStringLiteral("Are you there?")), kEventWaitMs);
    QCOMPARE(table("inbox")->rowCount(), 2);
    QTableWidget* inbox = table("inbox");
    QCOMPARE(inbox->item(0, 0)->text(), QStringLiteral("Bob Dvorak (+420602111222)"));
    QVERIFY(text("smsStatus").contains(QStringLiteral("+420602111222")));
    // A reply goes to the sender with a double click.
    const QPoint cell = inbox->visualItemRect(inbox->item(0, 0)).center();
    QTest::mouseClick(inbox->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(inbox->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(find<QLineEdit>("smsNumber")->text(), QStringLiteral("+420602111222"));
  }

  void theInboxShowsEachLongMessageOnceAndMarksMissingParts() {
    ModemOptions options;
    const std::string greek = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
    fonexa::sim::DeliverRequest gappy;
    gappy.originator = "+420777123456";
    gappy.text = std::string(153, 'a') + std::string(153, 'b') + std::string(10, 'c');  // 153 septets a part
    gappy.concatenationReference = 40;
    fonexa::sim::DeliverRequest whole;
    whole.originator = "+420602111222";
    whole.text = std::string(100, 'w') + greek;
    whole.concatenationReference = 41;
    QVERIFY(host(options, [&](VirtualModem& modem) {
      const auto gappyParts = fonexa::sim::buildDeliverParts(gappy);
      const auto wholeParts = fonexa::sim::buildDeliverParts(whole);
      modem.update([&](fonexa::sim::ModemContext& ctx) {
        // Out of order, and the gappy message's second part never came.
        ctx.messages.storeAt("SM", 1, {fonexa::sim::MessageStat::ReceivedRead, wholeParts[1].hex});
        ctx.messages.storeAt("SM", 2, {fonexa::sim::MessageStat::ReceivedRead, gappyParts[2].hex});
        ctx.messages.storeAt("SM", 3, {fonexa::sim::MessageStat::ReceivedRead, wholeParts[0].hex});
        ctx.messages.storeAt("SM", 4, {fonexa::sim::MessageStat::ReceivedRead, gappyParts[0].hex});
      });
    }));
    waitReady();
    const QString wholeText = QString::fromStdString(whole.text);
    QTRY_VERIFY_WITH_TIMEOUT(inboxHas(wholeText), kEventWaitMs);
    QTableWidget* inbox = table("inbox");
    QCOMPARE(inbox->rowCount(), 2);
    QCOMPARE(inbox->horizontalHeaderItem(3)->text(), QStringLiteral("Parts"));
    for (int row = 0; row < inbox->rowCount(); ++row) {
      QTableWidgetItem* parts = inbox->item(row, 3);
      if (inbox->item(row, 2)->text() == wholeText) {
        QCOMPARE(parts->text(), QStringLiteral("2"));
        QVERIFY(parts->toolTip().isEmpty());
      } else {
        QCOMPARE(inbox->item(row, 2)->text(), QString(153, QLatin1Char('a')) + QString(10, QLatin1Char('c')));
        QCOMPARE(parts->text(), QStringLiteral("2 of 3"));
        QCOMPARE(parts->toolTip(), QStringLiteral("1 part missing"));
      }
    }

    // A long message the phone hands over (the engine asks for +CNMI mt=2)
    // is one new row on top, not one per part, and stays there when the
    // store is listed again behind its parts' announcements.
    const QString arriving = QString(200, QLatin1Char('n'));
    modem_->injectSms("+420602111222", arriving.toStdString());
    QTRY_VERIFY_WITH_TIMEOUT(inboxHas(arriving), kEventWaitMs);
    QTest::qWait(1000);
    QCOMPARE(inbox->rowCount(), 3);
    QCOMPARE(inbox->item(0, 2)->text(), arriving);
    QCOMPARE(inbox->item(0, 2)->data(Qt::UserRole).toInt(), -1);
    QVERIFY(inbox->item(0, 3)->text().isEmpty());
  }

  void dialAndHangUpFollowTheCallEvents() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    auto* dialNumber = find<QLineEdit>("dialNumber");
    QTest::keyClicks(dialNumber, "+420602111222");
    QTest::mouseClick(find<QPushButton>("dial"), Qt::LeftButton);
    QCOMPARE(text("callState"), QStringLiteral("Calling +420602111222..."));
    // The virtual network rings and answers; the tracker reports each step.
    QTRY_COMPARE_WITH_TIMEOUT(text("callState"), QStringLiteral("In call with Bob Dvorak (+420602111222)"), kEventWaitMs);
    QTest::mouseClick(find<QPushButton>("hangUp"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(text("callState"), QStringLiteral("Call ended"), kEventWaitMs);
  }

  void anIncomingCallRaisesTheNoticeAndCanBeAnswered() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    auto* notice = find<QWidget>("incomingCall");
    QVERIFY(!notice->isVisible());
    QVERIFY(modem_->ring("+420777123456"));
    QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), kEventWaitMs);
    QCOMPARE(text("incomingCallText"), QStringLiteral("Incoming call from Alice Novak (+420777123456)"));
    QTest::mouseClick(find<QPushButton>("answerCall"), Qt::LeftButton);
    QVERIFY(!notice->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(text("callState"), QStringLiteral("In call with Alice Novak (+420777123456)"), kEventWaitMs);
    QVERIFY(modem_->remoteHangUp());
    QTRY_COMPARE_WITH_TIMEOUT(text("callState"), QStringLiteral("Call ended"), kEventWaitMs);
  }

  void aLockedSimIsOpenedThroughTheKeypadDialog() {
    ModemOptions options;
    options.pinRequired = true;
    options.codes.pin = "4321";
    // The dialog runs in its own event loop inside the panel's PIN request;
    // the "user" is a timer that answers it from there.
    int dialogs = 0;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&dialogs] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || dialog->objectName() != QStringLiteral("129")) return;
      auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("1005"));
      auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("1"));
      if (field == nullptr || ok == nullptr) return;
      ++dialogs;
      for (const char* key : {"1009", "1008", "1007", "1006"}) {  // 4 3 2 1
        if (auto* digit = dialog->findChild<QPushButton*>(QLatin1String(key))) digit->click();
      }
      if (field->text() != QStringLiteral("4321")) field->setText(QStringLiteral("4321"));
      ok->click();
    });
    user.start(100);
    QVERIFY(host(options));
    QTRY_COMPARE_WITH_TIMEOUT(dialogs, 1, kEventWaitMs);
    waitReady();
    QCOMPARE(dialogs, 1);
    QVERIFY(!find<QPushButton>("enterPin")->isVisible());
  }

  // The server window with the panel at work, for the documentation (written
  // where TALLIX_SCREENSHOT_DIR says).
  void serverWindowPicture() {
    ModemOptions options;
    QVERIFY(host(options));
    waitReady();
    modem_->injectSms("+420777123456", "Lunch at 12:30? I booked a table at the usual place.");
    modem_->injectSms("800123456", "Your parcel 4471 will be delivered today between 14:00 and 16:00.");
    QTRY_VERIFY_WITH_TIMEOUT(inboxHas(QStringLiteral("Lunch at 12:30? I booked a table at the usual place.")) &&
                                 inboxHas(QStringLiteral("Your parcel 4471 will be delivered today between 14:00 and 16:00.")),
                             kEventWaitMs);
    QTest::keyClicks(find<QLineEdit>("smsNumber"), "+420777123456");
    QTest::keyClicks(find<QPlainTextEdit>("smsText"), "See you there!");
    QTest::keyClicks(find<QLineEdit>("phoneBookSearch"), "ak");
    QVERIFY(modem_->ring("+420602111222"));
    QTRY_VERIFY_WITH_TIMEOUT(find<QWidget>("incomingCall")->isVisible(), kEventWaitMs);
    QTest::qWait(200);
    const QImage shot = server_->grab().toImage();
    QCOMPARE(shot.size(), server_->size() * server_->devicePixelRatio());
    const QString out = qEnvironmentVariable("TALLIX_SCREENSHOT_DIR");
    if (!out.isEmpty()) QVERIFY(shot.save(out + QStringLiteral("/tallix-server.png")));
    QVERIFY(modem_->remoteHangUp());
  }
};

QTEST_MAIN(PhonePanelTest)
#include "PhonePanelTest.moc"
