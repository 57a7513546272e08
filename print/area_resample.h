#pragma once
// Shrinking a picture by area averaging: every output pixel is the mean of the source
// area it covers, each source pixel weighted by how much of it lies in that area.

#include <QImage>

// The picture at width x height, neither larger than the source's. 24-bit pictures
// (Format_BGR888 or Format_RGB888) keep their format; others are read as 24-bit BGR.
// One pass over the source, no intermediate picture of the source's size.
[[nodiscard]] QImage AreaAverageShrink(const QImage& source, int width, int height);
