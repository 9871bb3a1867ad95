#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>

// The shape of a window cut from a picture: row by row, every run of pixels
// whose colour differs from transparent (compared without alpha) becomes a
// one-pixel-high rectangle of the region.
QRegion ShapeFromPicture(const QImage& picture, const QColor& transparent);
