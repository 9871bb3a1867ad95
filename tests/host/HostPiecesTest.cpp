// The host's pieces on the offscreen platform: the XML description, paths and
// pictures (Gui), the server window and its single-instance link (System),
// and the start-up parts of the program: the client-library loader with its
// log lines, the window shape and the start screen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLocalSocket>
#include <QPointer>
#include <QTabWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <future>

#include "ClientLibraries.h"
#include "Gui/CMxFileLoader.h"
#include "Gui/CMxXMLDocument.h"
#include "HostLog.h"
#include "HostTestSupport.h"
#include "StartScreen.h"
#include "System/CMxServer.h"
#include "System/ServerWindowChannel.h"
#include "WindowShape.h"

using tallix_test::ReadFile;

namespace {

const QColor kCut(255, 0, 255);

// A picture of size filled with colour, with an optional cut-out border of
// width border in the transparent colour.
QImage picture(QSize size, QColor colour, int border = 0) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(kCut);
  QPainter painter(&image);
  painter.fillRect(QRect(QPoint(), size).adjusted(border, border, -border, -border), colour);
  return image;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

class HostPiecesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString path(const QString& name) const { return dir_.filePath(name); }
  CMxXMLDocument document(const char* xml) {
    CMxXMLDocument doc;
    if (!doc.LoadFromText(QString::fromUtf8(xml))) qWarning("%s", qPrintable(doc.GetLastError()));
    return doc;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    // Every test runs against its own runtime folder so that the single-instance
    // socket is private to it.
    qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
    CMxFileLoader::SetTallixInstallDir(dir_.path());
  }

  // ---- the XML description ----

  void documentLoadsFilesAndRefusesBrokenOnes() {
    CMxXMLDocument doc;
    QCOMPARE(doc.LoadFromFile(path("missing.xml")), 0);
    QVERIFY(!doc.IsLoaded());
    QVERIFY(writeFile(path("broken.xml"), "<tallix><client-applications></tallix>"));
    QCOMPARE(doc.LoadFromFile(path("broken.xml")), 0);
    QVERIFY(!doc.GetLastError().isEmpty());
    QVERIFY(doc.LoadNodeTag("/tallix").IsNull());
    QVERIFY(writeFile(path("good.xml"), "<?xml version=\"1.0\"?><tallix enable-gsm-debug=\"yes\"/>"));
    QCOMPARE(doc.LoadFromFile(path("good.xml")), 1);
    int debug = 0;
    QCOMPARE(doc.LoadNodeTag("/tallix").GetAttributeBool("enable-gsm-debug", debug), 1);
    QCOMPARE(debug, 1);
    doc.Release();
    QVERIFY(doc.LoadNodeTag("/tallix").IsNull());
  }

  void nodePathsWalkFromTheRootOrSearchAnywhere() {
    const CMxXMLDocument doc = document(
        "<tallix><server width='1'/><deep><client-applications>a</client-applications></deep>"
        "<client-applications>second</client-applications></tallix>");
    QVERIFY(!doc.LoadNodeTag("/tallix").IsNull());
    QVERIFY(!doc.LoadNodeTag("/tallix/server").IsNull());
    QVERIFY(doc.LoadNodeTag("/server").IsNull());
    QVERIFY(doc.LoadNodeTag("/tallix/missing").IsNull());
    QVERIFY(doc.LoadNodeTag("tallix").IsNull());
    QVERIFY(doc.LoadNodeTag("//").IsNull());
    QString text;
    // "//" finds the first in document order, however deep.
    QCOMPARE(doc.LoadNodeTag("//client-applications").GetText(text), 1);
    QCOMPARE(text, QStringLiteral("a"));
    QCOMPARE(doc.LoadNodeTag("//nothing").GetText(text), 0);
  }

  void booleanAttributesReadWordsAndNumbers() {
    const CMxXMLDocument doc = document(
        "<tallix a='true' b='FALSE' c=' on ' d='off' e='1' f='0' g='maybe' h='' i='no' j='Yes'/>");
    const CMxXMLNode node = doc.LoadNodeTag("/tallix");
    const struct {
      const char* name;
      int present;
      int value;
    } cases[] = {{"a", 1, 1}, {"b", 1, 0}, {"c", 1, 1}, {"d", 1, 0}, {"e", 1, 1}, {"f", 1, 0},
                 {"g", 0, 7}, {"h", 0, 7}, {"i", 1, 0}, {"j", 1, 1}, {"missing", 0, 7}};
    for (const auto& c : cases) {
      int value = 7;
      QCOMPARE(node.GetAttributeBool(c.name, value), c.present);
      QCOMPARE(value, c.value);
    }
  }

  void colourAttributesReadHexTriplesAndNames() {
    const CMxXMLDocument doc = document(
        "<tallix hex='#FF00FF' triple='0, 128,255' name='black' bad='#GG0000' range='0,0,256' two='1,2'/>");
    const CMxXMLNode node = doc.LoadNodeTag("/tallix");
    QColor colour;
    QCOMPARE(node.GetAttributeColor("hex", colour), 1);
    QCOMPARE(colour, QColor(255, 0, 255));
    QCOMPARE(node.GetAttributeColor("triple", colour), 1);
    QCOMPARE(colour, QColor(0, 128, 255));
    QCOMPARE(node.GetAttributeColor("name", colour), 1);
    QCOMPARE(colour, QColor(0, 0, 0));
    colour = Qt::red;
    QCOMPARE(node.GetAttributeColor("bad", colour), 0);
    QCOMPARE(node.GetAttributeColor("range", colour), 0);
    QCOMPARE(node.GetAttributeColor("two", colour), 0);
    QCOMPARE(node.GetAttributeColor("missing", colour), 0);
    QCOMPARE(colour, QColor(Qt::red));
  }

  void elementTextIsItsOwnAndChildrenComeInOrder() {
    const CMxXMLDocument doc = document(
        "<tallix><client-applications bitmap-none='n.png'>\n  libA.so   libB.so\n"
        "<application bitmap='1.png'><x>not mine</x></application> libC.so\n"
        "<other/><application bitmap='2.png'/></client-applications>"
        "<empty-list><application bitmap='1.png'/></empty-list></tallix>");
    const CMxXMLNode list = doc.LoadNodeTag("//client-applications");
    QString text;
    QCOMPARE(list.GetText(text), 1);
    QCOMPARE(text.simplified(), QStringLiteral("libA.so libB.so libC.so"));
    std::vector<CMxXMLNode> steps;
    QCOMPARE(list.GetElementsTag("application", steps), 1);
    QCOMPARE(steps.size(), size_t{2});
    QString bitmap;
    QVERIFY(steps[0].GetAttribute("bitmap", bitmap));
    QCOMPARE(bitmap, QStringLiteral("1.png"));
    QVERIFY(steps[1].GetAttribute("bitmap", bitmap));
    QCOMPARE(bitmap, QStringLiteral("2.png"));
    QCOMPARE(doc.LoadNodeTag("//empty-list").GetText(text), 1);
    QCOMPARE(text, QString());
    QCOMPARE(list.GetElementsTag("missing", steps), 0);
    QVERIFY(steps.empty());
  }

  // ---- paths and pictures ----

  void pathsResolveAgainstTheInstallationFolder() {
    const QString base = dir_.path();
    QCOMPARE(CMxFileLoader::GetAbsolutePath("skin\\tallix.xml"), base + "/skin/tallix.xml");
    QCOMPARE(CMxFileLoader::GetAbsolutePath("logs/tallix.txt"), base + "/logs/tallix.txt");
    QCOMPARE(CMxFileLoader::GetAbsolutePath("/etc/../tmp/x.png"), QStringLiteral("/tmp/x.png"));
  }

  void picturesLoadThroughQtsReadersAndReportTheirSize() {
    QVERIFY(picture(QSize(30, 20), Qt::blue).save(path("p.png")));
    QVERIFY(picture(QSize(12, 7), Qt::green).save(path("p.bmp")));
    QVERIFY(writeFile(path("not-a-picture.png"), "hello"));
    QCOMPARE(CMxFileLoader::LoadBitmap("p.png").size(), QSize(30, 20));
    QCOMPARE(CMxFileLoader::GetLastSize(), QSize(30, 20));
    QCOMPARE(CMxFileLoader::LoadBitmap(path("p.bmp")).size(), QSize(12, 7));
    QCOMPARE(CMxFileLoader::GetLastSize(), QSize(12, 7));
    QVERIFY(CMxFileLoader::LoadBitmap("not-a-picture.png").isNull());
    QCOMPARE(CMxFileLoader::GetLastSize(), QSize());
    QVERIFY(CMxFileLoader::LoadBitmap("missing.png").isNull());
  }

  // ---- the window shape ----

  void shapeKeepsEveryRunThatIsNotTheCutColour() {
    QImage image(6, 3, QImage::Format_RGB32);
    image.fill(kCut);
    // Row 0: two runs, x 1..2 and x 4; row 1: the whole row; row 2: nothing.
    image.setPixel(1, 0, qRgb(1, 2, 3));
    image.setPixel(2, 0, qRgb(1, 2, 3));
    image.setPixel(4, 0, qRgb(255, 0, 254));  // one step from the cut colour still counts
    for (int x = 0; x < 6; ++x) image.setPixel(x, 1, qRgb(0, 0, 0));
    const QRegion shape = ShapeFromPicture(image, kCut);
    QCOMPARE(shape, QRegion(1, 0, 2, 1) + QRegion(4, 0, 1, 1) + QRegion(0, 1, 6, 1));
    QVERIFY(!shape.contains(QPoint(0, 0)));
    QVERIFY(!shape.contains(QPoint(3, 0)));
    QVERIFY(!shape.contains(QPoint(2, 2)));
    QVERIFY(ShapeFromPicture(picture(QSize(4, 4), kCut), kCut).isEmpty());
    QVERIFY(ShapeFromPicture(QImage(), kCut).isEmpty());
    // Alpha does not make a pixel transparent; only the colour does.
    QImage alpha(2, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(255, 0, 255, 0));
    alpha.setPixel(1, 0, qRgba(255, 0, 255, 255));
    QVERIFY(ShapeFromPicture(alpha, kCut).isEmpty());
  }

  // ---- the start screen ----

  void startScreenStepsThroughItsPicturesAndEndsOnTheLast() {
    QVERIFY(picture(QSize(40, 30), Qt::darkBlue).save(path("none.png")));
    QVERIFY(picture(QSize(40, 30), Qt::darkGreen).save(path("one.png")));
    QVERIFY(picture(QSize(20, 15), Qt::darkRed).save(path("two.png")));  // scaled to the first
    QVERIFY(picture(QSize(40, 30), Qt::yellow, 5).save(path("all.png")));
    const CMxXMLDocument doc = document(
        "<tallix><client-applications bitmap-none='none.png' bitmap-all='all.png' transparent-color='255,0,255'>"
        "<application bitmap='one.png'/><application bitmap='missing.png'/><application bitmap='two.png'/>"
        "</client-applications></tallix>");
    StartScreen screen;
    QCOMPARE(screen.windowTitle(), QStringLiteral("Loading .tallix..."));
    QCOMPARE(screen.size(), QSize(1, 1));
    QVERIFY(screen.Setup(doc.LoadNodeTag("//client-applications")));
    QCOMPARE(screen.size(), QSize(40, 30));
    QCOMPARE(screen.PictureCount(), 5);
    QCOMPARE(screen.Shape(), QRegion(5, 5, 30, 20));
    QCOMPARE(screen.mask(), QRegion(5, 5, 30, 20));
    // Below the caption line.
    const QColor expected[] = {Qt::darkBlue, Qt::darkGreen, Qt::darkGreen, Qt::darkRed, Qt::yellow, Qt::yellow};
    for (int step = 0; step < 6; ++step) {
      QCOMPARE(screen.CurrentPicture(), std::min(step, 4));
      const QImage shown = screen.grab().toImage();
      QCOMPARE(QColor(shown.pixel(8, 22)), expected[step]);
      screen.Advance();
    }
    QCOMPARE(screen.CurrentPicture(), 4);
  }

  void startScreenStaysEmptyWithoutItsFirstOrLastPicture() {
    QVERIFY(picture(QSize(40, 30), Qt::darkBlue).save(path("none.png")));
    const char* descriptions[] = {
        "<tallix><client-applications bitmap-none='none.png' bitmap-all='gone.png'/></tallix>",
        "<tallix><client-applications bitmap-none='gone.png' bitmap-all='none.png'/></tallix>",
        "<tallix><client-applications bitmap-all='none.png'/></tallix>",
        "<tallix/>",
    };
    for (const char* xml : descriptions) {
      StartScreen screen;
      QVERIFY(!screen.Setup(document(xml).LoadNodeTag("//client-applications")));
      QVERIFY(screen.IsEmpty());
      screen.Advance();
      QCOMPARE(screen.CurrentPicture(), 0);
    }
  }

  // The sample skin's start screen as the user sees it, outline included,
  // for the documentation (written where TALLIX_SCREENSHOT_DIR says).
  void sampleSkinStartScreenPicture() {
    CMxFileLoader::SetTallixInstallDir(tallix_test::BuiltProgramDir());
    CMxXMLDocument doc;
    QCOMPARE(doc.LoadFromFile(CMxFileLoader::GetAbsolutePath("skin\\tallix.xml")), 1);
    StartScreen screen;
    QVERIFY(screen.Setup(doc.LoadNodeTag("//client-applications")));
    CMxFileLoader::SetTallixInstallDir(dir_.path());
    QCOMPARE(screen.PictureCount(), 3);
    QVERIFY(!screen.Shape().contains(QPoint(0, 0)));
    QVERIFY(screen.Shape().contains(QPoint(screen.width() / 2, screen.height() / 2)));
    screen.Advance();
    QImage shot = screen.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) {
        if (!screen.Shape().contains(QPoint(x, y))) shot.setPixel(x, y, qRgba(0, 0, 0, 0));
      }
    }
    const QString out = qEnvironmentVariable("TALLIX_SCREENSHOT_DIR");
    if (!out.isEmpty()) QVERIFY(shot.save(out + "/tallix-start-screen.png"));
  }

  // ---- the client-library loader ----

  void loaderLogsEachLibraryAndKeepsAnEntryForFailures() {
    const QString logPath = path("loader/tallix.txt");
    HostLog log;
    QVERIFY(log.Open(logPath.toStdString()));
    std::vector<ApplicationEntry> entries;
    LoadClientLibraries("  libTallixTestApp.so   libTallixNoSuchLibrary.so libTallixNoFactory.so ", log, entries);
    log.Close();
    QCOMPARE(entries.size(), size_t{3});
    QVERIFY(entries[0].module && entries[0].factory);
    QCOMPARE(QString::fromStdString(entries[1].libraryName), QStringLiteral("libTallixNoSuchLibrary.so"));
    QVERIFY(!entries[1].module && !entries[1].factory);
    QVERIFY(entries[2].module && !entries[2].factory);
    QCOMPARE(ReadFile(logPath),
             QStringLiteral("Retrieving applications\r\n\r\n"
                            "DLL name: libTallixTestApp.so\r\nDLL loaded into memory\r\n"
                            "GetApplicationInstance function result: 1\r\nApplication added to array\r\n\r\n"
                            "DLL name: libTallixNoSuchLibrary.so\r\nERROR: DLL not loaded into memory (2)\r\n"
                            "Application added to array\r\n\r\n"
                            "DLL name: libTallixNoFactory.so\r\nDLL loaded into memory\r\n"
                            "GetApplicationInstance function result: 0\r\nApplication added to array\r\n\r\n"
                            "3 application DLLs loaded\r\n\r\n"));
    UnloadClientLibraries(entries);
    QVERIFY(entries.empty());
  }

  void loaderWithoutNamesLogsNoCount() {
    const QString logPath = path("loader/empty.txt");
    HostLog log;
    QVERIFY(log.Open(logPath.toStdString()));
    std::vector<ApplicationEntry> entries(1);
    LoadClientLibraries("   ", log, entries);
    LoadClientLibraries("", log, entries);
    log.Close();
    QVERIFY(entries.empty());
    QCOMPARE(ReadFile(logPath), QStringLiteral("Retrieving applications\r\n\r\nRetrieving applications\r\n\r\n"));
  }

  void loaderReportsAFileThatIsNoLibrary() {
    QVERIFY(writeFile(path("libNotElf.so"), "this is text"));
    const QString logPath = path("loader/not-elf.txt");
    HostLog log;
    QVERIFY(log.Open(logPath.toStdString()));
    std::vector<ApplicationEntry> entries;
    LoadClientLibraries(path("libNotElf.so"), log, entries);
    log.Close();
    QCOMPARE(entries.size(), size_t{1});
    QVERIFY(!entries[0].module);
    QVERIFY(ReadFile(logPath).contains("ERROR: DLL not loaded into memory (8)\r\n"));
  }

  void hostLogAppendsAndCreatesItsFolder() {
    const QString logPath = path("new/folder/tallix.txt");
    for (const char* line : {"first\r\n", "second\r\n"}) {
      HostLog log;
      QVERIFY(log.Open(logPath.toStdString()));
      log.Write("%s", line);
    }
    QCOMPARE(ReadFile(logPath), QStringLiteral("first\r\nsecond\r\n"));
    HostLog closed;
    closed.Write("nowhere\r\n");  // a host without its log carries on
    QVERIFY(!closed.IsOpen());
  }

  // ---- the single-instance link ----

  void noListeningWindowIsFoundAsNone() {
    QVERIFY(!RemoteServerWindow::Find("test-window-nobody", 500));
    // A socket file left behind by a copy that died is no window either.
    QVERIFY(writeFile(ServerWindowSocketPath("test-window-stale"), ""));
    QVERIFY(!RemoteServerWindow::Find("test-window-stale", 500));
  }

  void aLaterCopySeesTheStateAndPassesEachRequest() {
    std::atomic<int> quitValue{-1};
    std::atomic<int> command{-1};
    std::atomic<int> foregrounds{0};
    bool visible = false;
    ServerWindowChannel::Handlers handlers;
    handlers.isVisible = [&] { return visible; };
    handlers.isMinimised = [] { return true; };
    handlers.quit = [&](int value) { quitValue = value; };
    handlers.command = [&](int id) { command = id; };
    handlers.foreground = [&] { ++foregrounds; };
    ServerWindowChannel channel(handlers);
    // A leftover socket file does not keep a new window from listening.
    QVERIFY(writeFile(ServerWindowSocketPath("test-window"), ""));
    QCOMPARE(channel.Listen("test-window"), 0);

    // The later copy blocks on the link; the window answers from its event loop.
    auto ask = [](std::function<bool(RemoteServerWindow&)> request, bool* sawVisible = nullptr) {
      return std::async(std::launch::async, [request, sawVisible] {
        auto window = RemoteServerWindow::Find("test-window", 3000);
        if (!window) return -1;
        if (sawVisible) *sawVisible = window->IsVisible() && window->IsMinimised();
        return request(*window) ? 1 : 0;
      });
    };
    bool seen = true;
    auto quit = ask([](RemoteServerWindow& w) { return w.PostQuit(1); }, &seen);
    QTRY_VERIFY(quit.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(quit.get(), 1);
    QCOMPARE(quitValue.load(), 1);
    QVERIFY(!seen);  // hidden

    visible = true;
    auto restore = ask([](RemoteServerWindow& w) { return w.SendCommand(CMxServer::kCommandRestore); }, &seen);
    QTRY_VERIFY(restore.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(restore.get(), 1);
    QCOMPARE(command.load(), 40005);
    QVERIFY(seen);  // visible and minimised

    auto front = ask([](RemoteServerWindow& w) { return w.SetForeground(); });
    QTRY_VERIFY(front.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(front.get(), 1);
    QCOMPARE(foregrounds.load(), 1);

    // One request per connection: a second one on the same link is not carried out.
    auto twice = ask([](RemoteServerWindow& w) { return w.SetForeground() && w.SetForeground(); });
    QTRY_VERIFY(twice.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(twice.get(), 0);
    QTRY_COMPARE(foregrounds.load(), 2);
  }

  void theWindowRefusesWhatItDoesNotKnow() {
    ServerWindowChannel::Handlers handlers;
    int calls = 0;
    handlers.quit = [&](int) { ++calls; };
    handlers.command = [&](int) { ++calls; };
    handlers.foreground = [&] { ++calls; };
    ServerWindowChannel channel(handlers);
    QCOMPARE(channel.Listen("test-window-raw"), 0);
    auto raw = [](QByteArray line) {
      return std::async(std::launch::async, [line] {
        QLocalSocket socket;
        socket.connectToServer(ServerWindowSocketPath("test-window-raw"));
        if (!socket.waitForConnected(2000)) return QByteArray("no connection");
        QByteArray answer;
        while (!socket.canReadLine() && socket.waitForReadyRead(2000)) {
        }
        answer += socket.readLine();
        socket.write(line);
        socket.waitForBytesWritten(1000);
        if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(2000);
        answer += socket.readAll();
        return answer;
      });
    };
    for (const QByteArray& line : {QByteArray("quit\n"), QByteArray("command x\n"), QByteArray("close 1\n"),
                                  QByteArray("foreground 1\n")}) {
      auto answer = raw(line);
      QTRY_VERIFY_WITH_TIMEOUT(answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 10000);
      QCOMPARE(answer.get(), QByteArray("state 0 0\nrefused\n"));
    }
    QCOMPARE(calls, 0);
  }

  // ---- the server window ----

  void serverWindowTakesItsTitleSizeAndCommands() {
    CMxXMLDocument doc = document("<tallix><server width='700' height='500'/><panel x='1'/></tallix>");
    CMxServer server;
    QCOMPARE(server.Create(doc), 1);
    doc.Release();
    QCOMPARE(server.windowTitle(), QStringLiteral(".tallix"));
    QCOMPARE(server.size(), QSize(700, 500));
    QString kept;
    QVERIFY(server.GetDescription().LoadNodeTag("//panel").GetAttribute("x", kept));
    QCOMPARE(kept, QStringLiteral("1"));

    QVERIFY(!server.isVisible());
    QCOMPARE(server.OnCommand(40004), 0);
    QVERIFY(!server.isVisible());
    QCOMPARE(server.OnCommand(CMxServer::kCommandRestore), 1);
    QVERIFY(server.isVisible());
    server.showMinimized();
    QCOMPARE(server.OnCommand(CMxServer::kCommandRestore), 1);
    QVERIFY(!server.isMinimized());

    // Only one window per user: a second one cannot take the link.
    CMxServer second;
    QCOMPARE(second.Create(doc), 0);
    QCOMPARE(second.GetLastError(), EADDRINUSE);
  }

  void serverWindowHostsApplicationPagesAndActivatesTheFirst() {
    CMxServer server;
    QCOMPARE(server.AddApplication("early", new QLabel), -1);  // no window yet
    QCOMPARE(server.Create(document("<tallix/>")), 1);
    QCOMPARE(server.size(), QSize(960, 640));
    server.ActivateFirstApplication();  // none yet: nothing happens
    auto* first = new QLabel("first");
    first->setFocusPolicy(Qt::StrongFocus);
    auto* second = new QLabel("second");
    QCOMPARE(server.AddApplication("First", first), 0);
    QCOMPARE(server.AddApplication("Second", second), 1);
    QCOMPARE(server.GetApplicationCount(), 2);
    auto* pages = server.findChild<QTabWidget*>("applications");
    QVERIFY(pages);
    pages->setCurrentIndex(1);
    server.show();
    QVERIFY(QTest::qWaitForWindowExposed(&server));
    server.ActivateFirstApplication();
    QCOMPARE(pages->currentWidget(), first);
  }

  void deletingTheServerWindowDeletesThePagesWithIt() {
    auto* server = new CMxServer;
    QCOMPARE(server->Create(document("<tallix/>")), 1);
    QPointer<QLabel> page(new QLabel("page"));
    server->AddApplication("Page", page);
    delete server;
    QVERIFY(page.isNull());
    // The link went with it: a new window can listen again.
    CMxServer next;
    QCOMPARE(next.Create(document("<tallix/>")), 1);
  }
};

QTEST_MAIN(HostPiecesTest)
#include "HostPiecesTest.moc"
