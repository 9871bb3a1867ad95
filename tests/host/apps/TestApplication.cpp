// Client libraries for the host's tests, one source built three ways:
//   TALLIX_TEST_NO_FACTORY    exports no GetApplicationInstance
//   TALLIX_TEST_NULL_FACTORY  its GetApplicationInstance returns null
//   (neither)                 an application whose Start adds a page and, when
//                             TALLIX_TEST_START_LOG names a file, appends
//                             "start <library>" there; when TALLIX_TEST_HOLD
//                             names a file, the factory waits (up to 20 s)
//                             until that file is gone, so that a test can look
//                             at the start screen while "loading".
#include <QFile>
#include <QLabel>
#include <QThread>
#include <QDeadlineTimer>

#include "System/CMxServer.h"
#include "System/IMxApplication.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(TALLIX_TEST_NULL_FACTORY)
TEST_EXPORT IMxApplication* GetApplicationInstance(CMxServer*) {
  return nullptr;
}
#elif !defined(TALLIX_TEST_NO_FACTORY)
namespace {

class TestApplication : public IMxApplication {
 public:
  explicit TestApplication(CMxServer* server) : server_(server) {}
  int Start() override {
    const QString log = qEnvironmentVariable("TALLIX_TEST_START_LOG");
    if (!log.isEmpty()) {
      QFile file(log);
      if (file.open(QIODevice::Append)) file.write("start " TALLIX_TEST_NAME "\n");
    }
    auto* page = new QLabel(QStringLiteral("Test application " TALLIX_TEST_NAME));
    page->setObjectName(QStringLiteral(TALLIX_TEST_NAME));
    server_->AddApplication(QStringLiteral(TALLIX_TEST_NAME), page);
    return 1;
  }

 private:
  CMxServer* server_;
};

}  // namespace

TEST_EXPORT IMxApplication* GetApplicationInstance(CMxServer* server) {
  const QString hold = qEnvironmentVariable("TALLIX_TEST_HOLD");
  const QDeadlineTimer deadline(20000);
  while (!hold.isEmpty() && QFile::exists(hold) && !deadline.hasExpired()) QThread::msleep(20);
  static TestApplication application(server);
  return &application;
}
#endif

// Something for a library without a factory to hold.
TEST_EXPORT int TallixTestLibraryMarker() {
  return 1;
}
