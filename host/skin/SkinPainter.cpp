// Paints the sample skin's start-screen pictures at build time:
//
//   tallix-skin-painter <folder>
//
// start-none.png (nothing loaded yet), start-phone.png (the phone panel
// loading) and start-all.png (everything loaded; its magenta surround is cut
// away as the window's outline). The outline is drawn without antialiasing:
// a blended edge pixel would be neither the cut colour nor the picture and
// would show as a pink seam.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;
const QColor kCut(255, 0, 255);
const QColor kInk(0xE8, 0xEE, 0xF4);
const QColor kAmber(0xF2, 0xA9, 0x00);
const QColor kDim(0x5B, 0x7A, 0x99);

QPainterPath outline() {
  QPainterPath body;
  body.addRoundedRect(QRectF(10, 40, kWidth - 20, kHeight - 50), 28, 28);
  QPainterPath badge;
  badge.addEllipse(QPointF(kWidth / 2.0, 56), 52, 52);
  return body.united(badge);
}

void drawHandset(QPainter& painter, QPointF centre, const QColor& colour) {
  painter.save();
  painter.translate(centre);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(-13, -22, 26, 44), 5, 5);
  painter.setBrush(QColor(0x14, 0x33, 0x52));
  painter.drawRect(QRectF(-9, -17, 18, 22));
  painter.setBrush(colour.darker(130));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) painter.drawEllipse(QPointF(-6 + col * 6, 10 + row * 5), 1.6, 1.6);
  }
  painter.restore();
}

// step: 0 nothing loaded, 1 the phone panel loading, 2 all loaded.
QImage paint(int step) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(kCut);
  QPainter painter(&image);
  const QPainterPath shape = outline();
  QLinearGradient body(0, 0, 0, kHeight);
  body.setColorAt(0, QColor(0x2B, 0x5F, 0x8F));
  body.setColorAt(1, QColor(0x12, 0x2E, 0x4A));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillPath(shape, body);

  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setClipPath(shape);
  painter.setPen(QPen(QColor(255, 255, 255, 40), 2));
  for (int r = 70; r <= 250; r += 45) painter.drawEllipse(QPointF(kWidth / 2.0, 56), r, r);

  drawHandset(painter, QPointF(kWidth / 2.0, 56), step >= 1 ? kAmber : kDim);

  QFont title = painter.font();
  title.setPixelSize(34);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(kInk);
  painter.drawText(QRectF(0, 118, kWidth, 44), Qt::AlignCenter, QStringLiteral("Fonexa .tallix"));

  QFont small = painter.font();
  small.setPixelSize(14);
  small.setBold(false);
  painter.setFont(small);
  const char* status[] = {"Starting...", "Loading the phone panel...", "Ready"};
  painter.drawText(QRectF(0, 166, kWidth, 24), Qt::AlignCenter, QLatin1String(status[step]));

  // One lamp per loading step.
  for (int i = 0; i < 2; ++i) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(i < step ? kAmber : kDim);
    painter.drawRoundedRect(QRectF(kWidth / 2.0 - 62 + i * 66, 206, 58, 8), 4, 4);
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tallix-skin-painter <folder>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) return 1;
  const char* names[] = {"start-none.png", "start-phone.png", "start-all.png"};
  for (int step = 0; step < 3; ++step) {
    if (!paint(step).save(folder.filePath(QLatin1String(names[step])))) {
      std::fprintf(stderr, "tallix-skin-painter: cannot write %s\n", names[step]);
      return 1;
    }
  }
  return 0;
}
