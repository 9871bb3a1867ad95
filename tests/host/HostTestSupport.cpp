#include "HostTestSupport.h"

#include <QDir>
#include <QFile>

namespace tallix_test {

QString BuiltProgramDir() {
  return QStringLiteral(TALLIX_BUILT_PROGRAM_DIR);
}

QString TestLibraryDir() {
  return QStringLiteral(TALLIX_TEST_LIBRARY_DIR);
}

QString ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromLatin1(file.readAll());
}

Installation::Installation() {
  if (!dir_.isValid()) return;
  const QString built = BuiltProgramDir();
  valid_ = QFile::copy(built + QStringLiteral("/tallix"), Path(QStringLiteral("tallix"))) &&
           QDir(dir_.path()).mkpath(QStringLiteral("skin"));
  for (const char* picture : {"start-none.png", "start-phone.png", "start-all.png"}) {
    const QString name = QStringLiteral("skin/") + QLatin1String(picture);
    valid_ = valid_ && QFile::copy(built + QLatin1Char('/') + name, Path(name));
  }
}

QString Installation::Path(const QString& relative) const {
  return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
}

bool Installation::WriteDescription(const QString& xml) const {
  QFile file(Path(QStringLiteral("skin/tallix.xml")));
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(xml.toUtf8()) >= 0;
}

QString Installation::SampleDescription(const QString& libraries, const QString& extra) {
  return QStringLiteral(
             "<?xml version=\"1.0\"?>\n"
             "<tallix enable-gsm-debug=\"false\">\n"
             "  <client-applications bitmap-none=\"skin/start-none.png\" bitmap-all=\"skin/start-all.png\"\n"
             "                       transparent-color=\"#FF00FF\">%1\n"
             "    <application bitmap=\"skin/start-phone.png\"/>\n"
             "  </client-applications>\n"
             "  <server width=\"800\" height=\"560\"/>\n"
             "%2"
             "</tallix>\n")
      .arg(libraries, extra);
}

QString Installation::HostLog() const {
  return ReadFile(Path(QStringLiteral("logs/tallix.txt")));
}

}  // namespace tallix_test
