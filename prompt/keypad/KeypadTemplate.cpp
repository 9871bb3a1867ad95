#include "KeypadTemplate.h"

#include <QFontMetrics>
#include <QString>

namespace fonexa::keypad {

namespace {

// Multiplies and divides rounding to the nearest, halves away from zero, as
// the dialog manager does.
int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

}  // namespace

char DigitOf(int id) {
  if (id >= 1006 && id <= 1014) return static_cast<char>('1' + (id - 1006));
  if (id == 1016) return '0';
  return 0;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseWidth_ = (letters / 26 + 1) / 2;
  baseHeight_ = metrics.height();
}

int DialogUnits::X(int units) const { return MulDiv(units, baseWidth_, 4); }

int DialogUnits::Y(int units) const { return MulDiv(units, baseHeight_, 8); }

QRect DialogUnits::ToPixels(const QRect& units) const {
  return QRect(X(units.x()), Y(units.y()), X(units.width()), Y(units.height()));
}

}  // namespace fonexa::keypad
