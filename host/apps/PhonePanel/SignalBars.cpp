#include "SignalBars.h"

#include <QPainter>

namespace {

// The lowest rssi that lights each bar: -105 dBm and better for one bar, in
// steps of about 6 dB up to -75 dBm and better for five.
constexpr int kBarThresholds[] = {4, 8, 12, 16, 20};

}  // namespace

SignalBars::SignalBars(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("signal"));
  setMinimumSize(sizeHint());
}

int SignalBars::BarsFor(int rssi) {
  if (rssi < 0 || rssi > 31) return -1;
  int bars = 0;
  for (int threshold : kBarThresholds) {
    if (rssi >= threshold) ++bars;
  }
  return bars;
}

void SignalBars::SetRssi(int rssi) {
  rssi_ = rssi;
  const int bars = BarsFor(rssi);
  setToolTip(bars < 0 ? QStringLiteral("Signal not known") : QStringLiteral("Signal %1 of 5 (rssi %2)").arg(bars).arg(rssi));
  update();
}

void SignalBars::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int bars = BarsFor(rssi_);
  const qreal step = width() / 5.0;
  for (int i = 0; i < 5; ++i) {
    const qreal h = height() * (i + 1) / 5.0;
    const QRectF bar(i * step + 1, height() - h, step - 2, h);
    painter.setPen(Qt::NoPen);
    painter.setBrush(i < bars ? QColor(0x2E, 0x8B, 0x57) : QColor(0xC8, 0xCE, 0xD6));
    painter.drawRoundedRect(bar, 1.5, 1.5);
  }
  if (bars < 0) {
    painter.setPen(QPen(QColor(0xB0, 0x30, 0x30), 2));
    painter.drawLine(QPointF(2, 2), QPointF(width() - 2, height() - 2));
  }
}
