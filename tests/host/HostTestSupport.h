// What the host's tests share: a folder laid out like an installation (the
// program and its skin), and reading the host log.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tallix_test {

// Folder of the built program and its skin, and of the test client libraries
// (set by the build).
QString BuiltProgramDir();
QString TestLibraryDir();

// A temporary installation: "tallix" copied in (the program finds its folder
// from its own file, so a link would not do) and the sample skin's pictures
// in skin/, with the description written by the test.
class Installation {
 public:
  Installation();
  bool IsValid() const { return valid_; }
  QString Path(const QString& relative = QString()) const;
  QString Program() const { return Path(QStringLiteral("tallix")); }
  // Writes skin/tallix.xml.
  bool WriteDescription(const QString& xml) const;
  // The sample description with another list of client libraries.
  static QString SampleDescription(const QString& libraries, const QString& extra = QString());
  QString HostLog() const;

 private:
  QTemporaryDir dir_;
  bool valid_ = false;
};

QString ReadFile(const QString& path);

}  // namespace tallix_test
