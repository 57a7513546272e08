#pragma once
// The orientation a camera or phone recorded in a JPEG file's EXIF segment, read from the
// file's bytes in memory. The reader trusts nothing in them: every offset and count is
// checked against the segment's end before a byte is read, it reads only the first image
// directory (no links are followed, so nothing can loop) and at most a fixed number of
// segments and entries. Anything missing or damaged leaves the picture as it is stored.

#include "picture/orientation.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// The first EXIF segment (APP1 "Exif\0\0" before the picture data) counts; other APP1
// segments are passed over.
PictureOrientation JpegExifOrientation(const uint8_t* data, size_t size);

inline PictureOrientation JpegExifOrientation(const QByteArray& bytes) {
  return JpegExifOrientation(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

// The orientation tag of a TIFF structure (the part of an EXIF segment after "Exif\0\0"),
// in either byte order.
PictureOrientation TiffOrientation(const uint8_t* data, size_t size);
