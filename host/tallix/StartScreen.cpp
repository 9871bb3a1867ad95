#include "StartScreen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "Gui/CMxFileLoader.h"
#include "Gui/CMxXMLNode.h"
#include "System/MxTallixVersion.h"
#include "WindowShape.h"

namespace {

constexpr const char* kBanner = "Fonexa .tallix host ";

}  // namespace

StartScreen::StartScreen()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("startScreen"));
  setWindowTitle(QLatin1String(kTitle));
  resize(1, 1);
}

QString StartScreen::Caption() {
  return QLatin1String(kBanner) + QLatin1String(MxTallixGetVersion());
}

bool StartScreen::Setup(const CMxXMLNode& applications) {
  pictures_.clear();
  current_ = 0;
  QString none;
  QString all;
  if (!applications.GetAttribute(QStringLiteral("bitmap-none"), none) ||
      !applications.GetAttribute(QStringLiteral("bitmap-all"), all)) {
    return false;
  }
  const QImage first = CMxFileLoader::LoadBitmap(none);
  if (first.isNull()) return false;
  const QSize size = CMxFileLoader::GetLastSize();
  const QImage last = CMxFileLoader::LoadBitmap(all);
  if (last.isNull()) return false;

  // Every picture takes the size of the first; an application picture that
  // cannot be read shows the one before it.
  pictures_.push_back(first);
  std::vector<CMxXMLNode> steps;
  applications.GetElementsTag(QStringLiteral("application"), steps);
  for (const CMxXMLNode& step : steps) {
    QString path;
    QImage picture;
    if (step.GetAttribute(QStringLiteral("bitmap"), path)) picture = CMxFileLoader::LoadBitmap(path);
    pictures_.push_back(picture.isNull() ? pictures_.back() : picture.scaled(size));
  }
  pictures_.push_back(last.scaled(size));

  resize(size);
  QColor transparent;
  if (applications.GetAttributeColor(QStringLiteral("transparent-color"), transparent)) {
    shape_ = ShapeFromPicture(pictures_.back(), transparent);
    if (!shape_.isEmpty()) setMask(shape_);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size);
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  return true;
}

void StartScreen::Advance() {
  if (current_ + 1 < PictureCount()) ++current_;
  repaint();
}

void StartScreen::paintEvent(QPaintEvent*) {
  if (pictures_.empty()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, pictures_[static_cast<size_t>(current_)]);
  QFont font = painter.font();
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(QColor(0xE8, 0xEE, 0xF4));
  painter.drawText(rect().adjusted(0, 0, 0, -18), Qt::AlignHCenter | Qt::AlignBottom, Caption());
}
