#include "WindowShape.h"

QRegion ShapeFromPicture(const QImage& picture, const QColor& transparent) {
  QRegion shape;
  if (picture.isNull()) return shape;
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb cut = transparent.rgb() & RGB_MASK;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    int x = 0;
    while (x < rgb.width()) {
      while (x < rgb.width() && (row[x] & RGB_MASK) == cut) ++x;
      const int start = x;
      while (x < rgb.width() && (row[x] & RGB_MASK) != cut) ++x;
      if (x > start) shape += QRect(start, y, x - start, 1);
    }
  }
  return shape;
}
