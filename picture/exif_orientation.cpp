#include "picture/exif_orientation.h"

#include "picture/jpeg_segments.h"
#include "picture/tiff_bytes.h"

namespace {

constexpr uint16_t kOrientationTag = 0x0112;

}  // namespace

PictureOrientation TiffOrientation(const uint8_t* data, size_t size) {
  const std::optional<TiffBytes> tiff = TiffBytes::Open(data, size);
  if (!tiff) {
    return PictureOrientation::Upright;
  }
  const std::optional<size_t> entry = tiff->FindEntry(tiff->FirstDirectory(), kOrientationTag);
  if (!entry) {
    return PictureOrientation::Upright;
  }
  return OrientationFromTag(tiff->SingleNumber(*entry).value_or(1));
}

PictureOrientation JpegExifOrientation(const uint8_t* data, size_t size) {
  const JpegSegment tiff = JpegExifTiff(data, size);
  if (tiff.payload == nullptr) {
    return PictureOrientation::Upright;
  }
  return TiffOrientation(tiff.payload, tiff.size);
}
