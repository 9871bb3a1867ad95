// Where the host's files are and how its pictures are read. Relative paths in
// the description are relative to the installation directory (the program's
// own folder) and may use either slash; absolute paths are taken as they are.
// Pictures are read by Qt's image readers, so any format they know will do.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "Gui/GuiApi.h"

class MX_GUI_API CMxFileLoader {
 public:
  static void SetTallixInstallDir(const QString& directory);
  static QString GetTallixInstallDir();
  static QString GetAbsolutePath(const QString& path);
  // The picture at path (resolved as above), or a null image.
  static QImage LoadBitmap(const QString& path);
  // The size of the picture LoadBitmap read last (empty after a failure).
  static QSize GetLastSize();
};
