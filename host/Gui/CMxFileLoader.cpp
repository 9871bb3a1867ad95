#include "Gui/CMxFileLoader.h"

#include <QDir>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Set once at start-up, read by whoever resolves a path afterwards.
struct LoaderState {
  QMutex mutex;
  QString installDir;
  QSize lastSize;
};

LoaderState& state() {
  static LoaderState s;
  return s;
}

}  // namespace

void CMxFileLoader::SetTallixInstallDir(const QString& directory) {
  QMutexLocker lock(&state().mutex);
  state().installDir = QDir::cleanPath(directory);
}

QString CMxFileLoader::GetTallixInstallDir() {
  QMutexLocker lock(&state().mutex);
  return state().installDir;
}

QString CMxFileLoader::GetAbsolutePath(const QString& path) {
  // Descriptions written for the original platform say "skin\\tallix.xml".
  QString relative = path;
  relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (QDir::isAbsolutePath(relative)) return QDir::cleanPath(relative);
  const QString base = GetTallixInstallDir();
  return QDir::cleanPath(base.isEmpty() ? relative : base + QLatin1Char('/') + relative);
}

QImage CMxFileLoader::LoadBitmap(const QString& path) {
  QImageReader reader(GetAbsolutePath(path));
  const QImage image = reader.read();
  QMutexLocker lock(&state().mutex);
  state().lastSize = image.isNull() ? QSize() : image.size();
  return image;
}

QSize CMxFileLoader::GetLastSize() {
  QMutexLocker lock(&state().mutex);
  return state().lastSize;
}
