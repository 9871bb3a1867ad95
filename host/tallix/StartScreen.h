// The start screen: a shaped pop-up that shows one picture per loading step,
// "bitmap-none" first, then each application's picture in document order,
// then "bitmap-all". Its outline is "bitmap-all" with "transparent-color" cut
// away. When the pictures it needs cannot be read it stays empty (and shows
// nothing); start-up goes on either way.
#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <vector>

class CMxXMLNode;

class StartScreen : public QWidget {
 public:
  static constexpr const char* kTitle = "Loading .tallix...";

  StartScreen();
  // Reads the pictures named by the "//client-applications" element, sizes,
  // shapes and centres the window. False leaves the screen empty.
  bool Setup(const CMxXMLNode& applications);
  bool IsEmpty() const { return pictures_.empty(); }
  // Moves to the next picture (the last one stays) and repaints at once.
  void Advance();
  int CurrentPicture() const { return current_; }
  int PictureCount() const { return static_cast<int>(pictures_.size()); }
  const QRegion& Shape() const { return shape_; }
  // The caption drawn on the pictures: the product banner and the version.
  static QString Caption();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<QImage> pictures_;
  QRegion shape_;
  int current_ = 0;
};
