// Reads the EXIF orientation of arbitrary bytes, taken as a JPEG file and taken as the
// TIFF structure inside an EXIF segment, and turns a rectangle by what it finds.

#include "picture/exif_orientation.h"
#include "picture/orientation.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(PictureOrientation orientation) {
  const auto value = static_cast<int>(orientation);
  if (value < 1 || value > 8) {
    std::abort();  // the reader answers with one of the eight orientations, whatever the bytes
  }
  const QSize stored(37, 11);
  if (!QRect(QPoint(0, 0), UprightSize(stored, orientation))
           .contains(UprightRect(QRect(3, 2, 30, 5), stored, orientation))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(JpegExifOrientation(data, size));
  Check(TiffOrientation(data, size));
  return 0;
}
