#pragma once
// Shrinking a picture by area averaging: every output pixel is the mean of the source
// area it covers, each source pixel weighted by how much of it lies in that area.

#include <QImage>

#include <cstdint>
#include <functional>

// A picture of 24 bits per pixel as the shrink reads it, one row at a time: Row(r) gives
// the width x 3 bytes of row r, valid until the next call.
struct PixelRows {
  int width = 0;
  int height = 0;
  std::function<const uint8_t*(int)> Row;
};

// The rows at width x height (each clamped to 1 .. the source's) in the given 24-bit
// format; every source row is read once, in order, and shrunk across once.
[[nodiscard]] QImage AreaAverageShrink(const PixelRows& source, QImage::Format format, int width, int height);

// The picture at width x height, neither larger than the source's. 24-bit pictures
// (Format_BGR888 or Format_RGB888) keep their format; others are read as 24-bit BGR.
[[nodiscard]] QImage AreaAverageShrink(const QImage& source, int width, int height);
