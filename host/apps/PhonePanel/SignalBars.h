// Signal strength as five bars, from the received signal strength of
// GSM 07.07 +CSQ (0-31, 99 not known).
#pragma once

#include <QWidget>

class SignalBars : public QWidget {
 public:
  explicit SignalBars(QWidget* parent = nullptr);
  void SetRssi(int rssi);
  int Rssi() const { return rssi_; }
  // 0-5 lit bars; -1 when the strength is not known.
  static int BarsFor(int rssi);
  QSize sizeHint() const override { return {34, 20}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int rssi_ = 99;
};
