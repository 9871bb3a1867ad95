// The tallix program end to end on a real X server (the test runs under
// xvfb-run): each case copies the program into a fresh installation folder,
// starts it as a user would, and reads what it did from its host log, its
// exit status and the X server's windows (xwininfo, xdotool).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "HostTestSupport.h"

using tallix_test::Installation;

namespace {

const QString kExitBlock = QStringLiteral(
    "\r\n\r\nExiting application\r\nDeleting main frame... OK\r\nFreeing loaded libraries... OK\r\n");

QString startupLog(const QString& program, const QString& loading, const QString& starting) {
  return program + QStringLiteral("\r\nInitializing XML and loading file...OK\r\nRetrieving applications\r\n\r\n") +
         loading + QStringLiteral("Creating and setting up start screen... OK\r\nCreating server... OK\r\n") + starting +
         QStringLiteral("\r\nDestroying start screen... OK\r\n");
}

// What xwininfo says of the window with exactly that title: "IsViewable",
// "IsUnMapped", "IsUnviewable", or "" when there is none.
QString mapState(const QString& title) {
  QProcess info;
  info.start(QStringLiteral("xwininfo"), {QStringLiteral("-name"), title});
  if (!info.waitForFinished(5000) || info.exitCode() != 0) return QString();
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Map State: (\\w+)")).match(QString::fromLatin1(info.readAllStandardOutput()));
  return match.hasMatch() ? match.captured(1) : QString();
}

QString windowTree() {
  QProcess info;
  info.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
  info.waitForFinished(5000);
  return QString::fromLatin1(info.readAllStandardOutput());
}

}  // namespace

class HostEndToEndTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir runtime_;
  std::vector<std::unique_ptr<QProcess>> running_;

  // Starts a copy of the host; it is ended at the end of the case if the case
  // did not end it.
  QProcess* start(const Installation& installation, const QStringList& arguments,
                  const QMap<QString, QString>& extra = {}) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (auto it = extra.begin(); it != extra.end(); ++it) environment.insert(it.key(), it.value());
    process->setProcessEnvironment(environment);
    process->start(installation.Program(), arguments);
    process->waitForStarted(5000);
    running_.push_back(std::move(process));
    return running_.back().get();
  }

  static bool waitForLog(const Installation& installation, const QString& text, int timeoutMs = 15000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!installation.HostLog().contains(text)) {
      if (deadline.hasExpired()) return false;
      QTest::qWait(50);
    }
    return true;
  }

  static bool waitForMapState(const QString& title, const QString& state, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (mapState(title) != state) {
      if (deadline.hasExpired()) return false;
      QTest::qWait(100);
    }
    return true;
  }

  static QString testApps(const QString& names) { return Installation::SampleDescription(names); }

 private slots:
  void initTestCase() {
    QVERIFY2(!qEnvironmentVariable("DISPLAY").isEmpty(), "run under xvfb-run");
    QVERIFY(runtime_.isValid());
    QVERIFY(QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  }

  void cleanup() {
    for (auto& process : running_) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(5000);
      }
    }
    running_.clear();
  }

  // ---- a normal start, and -quit from a later copy ----

  void normalStartLogsEveryStepAndQuitEndsIt() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    const QString startLog = installation.Path(QStringLiteral("started.txt"));
    QProcess* first = start(installation, {}, {{QStringLiteral("TALLIX_TEST_START_LOG"), startLog}});
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    const QString program = installation.Program();
    const QString expected = startupLog(
        program,
        QStringLiteral("DLL name: libTallixTestApp.so\r\nDLL loaded into memory\r\n"
                       "GetApplicationInstance function result: 1\r\nApplication added to array\r\n\r\n"
                       "1 application DLLs loaded\r\n\r\n"),
        QStringLiteral("\r\nLoading application 1\r\nApplication loaded\r\n"));
    QCOMPARE(installation.HostLog(), expected);
    QCOMPARE(tallix_test::ReadFile(startLog), QStringLiteral("start TallixTestApp\n"));
    QVERIFY(waitForMapState(QStringLiteral(".tallix"), QStringLiteral("IsViewable")));
    QCOMPARE(mapState(QStringLiteral("Loading .tallix...")), QString());  // the start screen is gone

    QProcess* quit = start(installation, {QStringLiteral("-quit")});
    QVERIFY(quit->waitForFinished(10000));
    QCOMPARE(quit->exitCode(), 0);
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 1);  // the value the later copy posted
    const QString log = installation.HostLog();
    QVERIFY(log.startsWith(expected + program + QStringLiteral(" -quit\r\n")));
    // Both copies end in the exit order; the two write to the one log at the
    // same time, so their pieces of a line may interleave.
    QCOMPARE(log.count(QStringLiteral("Exiting application\r\n")), 2);
    QCOMPARE(log.count(QStringLiteral("Deleting main frame... ")), 2);
    QCOMPARE(log.count(QStringLiteral("Freeing loaded libraries... ")), 2);
    QCOMPARE(log.count(QStringLiteral("OK\r\n")), expected.count(QStringLiteral("OK\r\n")) + 4);
    QCOMPARE(mapState(QStringLiteral(".tallix")), QString());
  }

  // ---- the sample skin with the phone panel ----

  void sampleSkinStartsThePhonePanel() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(tallix_test::ReadFile(tallix_test::BuiltProgramDir() + "/skin/tallix.xml")));
    QProcess* host = start(installation, {});
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    QCOMPARE(installation.HostLog(),
             startupLog(installation.Program(),
                        QStringLiteral("DLL name: libPhonePanel.so\r\nDLL loaded into memory\r\n"
                                       "GetApplicationInstance function result: 1\r\nApplication added to array\r\n\r\n"
                                       "1 application DLLs loaded\r\n\r\n"),
                        QStringLiteral("\r\nLoading application 1\r\nApplication loaded\r\n")));
    QVERIFY(waitForMapState(QStringLiteral(".tallix"), QStringLiteral("IsViewable")));
    // Let the panel bring its virtual phone up before the host goes.
    QTest::qWait(2000);
    QProcess* quit = start(installation, {QStringLiteral("-quit")});
    QVERIFY(quit->waitForFinished(10000));
    QVERIFY(host->waitForFinished(20000));
    QCOMPARE(host->exitStatus(), QProcess::NormalExit);
    QCOMPARE(host->exitCode(), 1);
    QVERIFY(installation.HostLog().endsWith(QStringLiteral("OK\r\n")));
    // The GSM debug log was not asked for.
    QCOMPARE(QDir(installation.Path(QStringLiteral("logs"))).entryList(QDir::Files), QStringList{QStringLiteral("tallix.txt")});
  }

  void gsmDebugLogOpensWhenTheDescriptionAsks() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QString xml = tallix_test::ReadFile(tallix_test::BuiltProgramDir() + "/skin/tallix.xml");
    QVERIFY(xml.contains(QStringLiteral("enable-gsm-debug=\"false\"")));
    xml.replace(QStringLiteral("enable-gsm-debug=\"false\""), QStringLiteral("enable-gsm-debug=\"true\""));
    QVERIFY(installation.WriteDescription(xml));
    start(installation, {});
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    // The engine's trace log where the host put it, and its traffic log beside
    // it, with the panel's first listing of the inbox.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(installation.Path(QStringLiteral("logs/gsm.txt"))), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(tallix_test::ReadFile(installation.Path(QStringLiteral("logs/com.txt")))
                                 .contains(QStringLiteral("W:AT+CMGL=4")),
                             15000);
    QProcess* quit = start(installation, {QStringLiteral("-quit")});
    QVERIFY(quit->waitForFinished(10000));
  }

  // ---- a second copy ----

  void secondCopyBringsTheFirstBackWithoutReadingTheDescription() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    QProcess* first = start(installation, {QStringLiteral("-background")});
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    QTest::qWait(300);
    QVERIFY(mapState(QStringLiteral(".tallix")) != QStringLiteral("IsViewable"));
    // Without its description a copy that read it would stop at a message box.
    QVERIFY(QFile::remove(installation.Path(QStringLiteral("skin/tallix.xml"))));
    const QString before = installation.HostLog();

    // The window is not shown: the later copy sends it the restore command.
    QProcess* second = start(installation, {});
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(QString::fromLatin1(second->readAllStandardError()).contains(QStringLiteral("XML")), false);
    QVERIFY(waitForMapState(QStringLiteral(".tallix"), QStringLiteral("IsViewable")));
    QCOMPARE(installation.HostLog(), before + installation.Program() + QStringLiteral("\r\n") + kExitBlock);

    // Now it is shown: the next copy brings it to the front and ends the same way.
    QProcess* third = start(installation, {QStringLiteral("-x")});
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 0);
    QCOMPARE(installation.HostLog(), before + installation.Program() + QStringLiteral("\r\n") + kExitBlock +
                                         installation.Program() + QStringLiteral(" -x\r\n") + kExitBlock);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(mapState(QStringLiteral(".tallix")), QStringLiteral("IsViewable"));
  }

  // ---- -quit and -background on their own ----

  void quitWithoutARunningCopyEndsAtOnce() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    const QString startLog = installation.Path(QStringLiteral("started.txt"));
    QProcess* quit = start(installation, {QStringLiteral("-quit")}, {{QStringLiteral("TALLIX_TEST_START_LOG"), startLog}});
    QVERIFY(quit->waitForFinished(5000));
    QCOMPARE(quit->exitCode(), 0);
    QCOMPARE(installation.HostLog(), installation.Program() + QStringLiteral(" -quit\r\n") + kExitBlock);
    QVERIFY(!QFile::exists(startLog));
    QVERIFY(!windowTree().contains(QStringLiteral("\".tallix\"")));
  }

  void backgroundLoadsEverythingAndShowsNoWindow() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    const QString startLog = installation.Path(QStringLiteral("started.txt"));
    const QString hold = installation.Path(QStringLiteral("hold"));
    QVERIFY(QFile(hold).open(QIODevice::WriteOnly));
    start(installation, {QStringLiteral("-background")},
          {{QStringLiteral("TALLIX_TEST_START_LOG"), startLog}, {QStringLiteral("TALLIX_TEST_HOLD"), hold}});
    // While the application loads, the start screen would be up.
    QVERIFY(waitForLog(installation, QStringLiteral("Loading application 1\r\n")));
    QTest::qWait(300);
    QVERIFY(mapState(QStringLiteral("Loading .tallix...")) != QStringLiteral("IsViewable"));
    QVERIFY(QFile::remove(hold));
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    QCOMPARE(tallix_test::ReadFile(startLog), QStringLiteral("start TallixTestApp\n"));
    QTest::qWait(300);
    // A window never shown has not even reached the X server.
    QCOMPARE(mapState(QStringLiteral(".tallix")), QString());
  }

  void startScreenIsUpWhileApplicationsLoad() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    const QString hold = installation.Path(QStringLiteral("hold"));
    QVERIFY(QFile(hold).open(QIODevice::WriteOnly));
    start(installation, {}, {{QStringLiteral("TALLIX_TEST_HOLD"), hold}});
    QVERIFY(waitForLog(installation, QStringLiteral("Loading application 1\r\n")));
    QVERIFY(waitForMapState(QStringLiteral("Loading .tallix..."), QStringLiteral("IsViewable")));
    // Its outline is the sample skin's picture less the magenta: a window
    // shape whose corners are cut away.
    QProcess shape;
    shape.start(QStringLiteral("xwininfo"), {QStringLiteral("-shape"), QStringLiteral("-name"), QStringLiteral("Loading .tallix...")});
    QVERIFY(shape.waitForFinished(5000));
    const QString info = QString::fromLatin1(shape.readAllStandardOutput());
    QVERIFY2(info.contains(QStringLiteral("Width: 480")) && info.contains(QStringLiteral("Height: 300")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("Window shape extents:")) && !info.contains(QStringLiteral("480x300+0+0")),
             qPrintable(info));
    QVERIFY(mapState(QStringLiteral(".tallix")) != QStringLiteral("IsViewable"));
    QVERIFY(QFile::remove(hold));
    QVERIFY(waitForMapState(QStringLiteral(".tallix"), QStringLiteral("IsViewable")));
    QCOMPARE(mapState(QStringLiteral("Loading .tallix...")), QString());
  }

  // ---- failures ----

  void missingDescriptionShowsTheMessageBox() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QProcess* host = start(installation, {});
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), QStringLiteral("^tallix$")});
    QVERIFY(search.waitForFinished(10000));
    const QString box = QString::fromLatin1(search.readAllStandardOutput()).trimmed().split('\n').value(0);
    QVERIFY(!box.isEmpty());
    QCOMPARE(host->state(), QProcess::Running);  // waiting for the user
    QString errors;
    QTRY_VERIFY((errors += QString::fromLatin1(host->readAllStandardError()))
                    .contains(QStringLiteral("tallix: Could not find default XML file.\n")));
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--window"), box, QStringLiteral("Return")});
    QVERIFY(host->waitForFinished(10000));
    QCOMPARE(host->exitCode(), 1);
    QCOMPARE(installation.HostLog(),
             installation.Program() + QStringLiteral("\r\nInitializing XML and loading file...") + kExitBlock);
    QCOMPARE(mapState(QStringLiteral(".tallix")), QString());
  }

  void aServerWindowThatCannotBeCreatedEndsTheStart() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral("libTallixTestApp.so"))));
    // A runtime folder whose path is too long for a local socket: the window
    // cannot take its name.
    const QString deep = runtime_.path() + QLatin1Char('/') + QString(60, QLatin1Char('d')) + QLatin1Char('/') +
                         QString(60, QLatin1Char('e'));
    QVERIFY(QDir().mkpath(deep));
    const QString startLog = installation.Path(QStringLiteral("started.txt"));
    QProcess* host = start(installation, {},
                           {{QStringLiteral("XDG_RUNTIME_DIR"), deep}, {QStringLiteral("TALLIX_TEST_START_LOG"), startLog}});
    QVERIFY(host->waitForFinished(10000));
    QCOMPARE(host->exitCode(), 1);
    const QString log = installation.HostLog();
    const QString created = QStringLiteral("Creating server... \r\nError creating CMxServer window (");
    QVERIFY2(log.contains(created), qPrintable(log));
    const QString tail = log.mid(log.indexOf(created) + created.size());
    QVERIFY(QRegularExpression(QStringLiteral("^[1-9][0-9]*\\)\\.\\.\\.\r\nExiting\\.\\.\\.\r\n$"))
                .match(tail.left(tail.indexOf(QStringLiteral("\r\n\r\nExiting application")))).hasMatch());
    QVERIFY(log.endsWith(kExitBlock));
    QVERIFY(!log.contains(QStringLiteral("Loading application")));
    QVERIFY(!QFile::exists(startLog));
  }

  void librariesThatFailAreLoggedAndSkipped() {
    Installation installation;
    QVERIFY(installation.IsValid());
    QVERIFY(installation.WriteDescription(testApps(QStringLiteral(
        "libTallixNoSuchLibrary.so libTallixNoFactory.so  libTallixNullFactory.so libTallixTestApp.so"))));
    const QString startLog = installation.Path(QStringLiteral("started.txt"));
    QProcess* host = start(installation, {}, {{QStringLiteral("TALLIX_TEST_START_LOG"), startLog}});
    QVERIFY(waitForLog(installation, QStringLiteral("Destroying start screen... OK\r\n")));
    const QString loaded = QStringLiteral("DLL loaded into memory\r\n");
    const QString added = QStringLiteral("Application added to array\r\n\r\n");
    QCOMPARE(installation.HostLog(),
             startupLog(installation.Program(),
                        QStringLiteral("DLL name: libTallixNoSuchLibrary.so\r\nERROR: DLL not loaded into memory (2)\r\n") +
                            added + QStringLiteral("DLL name: libTallixNoFactory.so\r\n") + loaded +
                            QStringLiteral("GetApplicationInstance function result: 0\r\n") + added +
                            QStringLiteral("DLL name: libTallixNullFactory.so\r\n") + loaded +
                            QStringLiteral("GetApplicationInstance function result: 1\r\n") + added +
                            QStringLiteral("DLL name: libTallixTestApp.so\r\n") + loaded +
                            QStringLiteral("GetApplicationInstance function result: 1\r\n") + added +
                            QStringLiteral("4 application DLLs loaded\r\n\r\n"),
                        QStringLiteral("\r\nLoading application 1\r\nDLL not loaded into memory\r\n"
                                       "\r\nLoading application 2\r\nERROR: GetApplicationInstance() function not found in DLL\r\n"
                                       "\r\nLoading application 3\r\nERROR: Could not retrieve application's instance\r\n"
                                       "\r\nLoading application 4\r\nApplication loaded\r\n")));
    QCOMPARE(tallix_test::ReadFile(startLog), QStringLiteral("start TallixTestApp\n"));
    QVERIFY(QString::fromLatin1(host->readAllStandardError()).contains(QStringLiteral("libTallixNoSuchLibrary.so")));
    QVERIFY(waitForMapState(QStringLiteral(".tallix"), QStringLiteral("IsViewable")));
  }
};

QTEST_GUILESS_MAIN(HostEndToEndTest)
#include "HostEndToEndTest.moc"
