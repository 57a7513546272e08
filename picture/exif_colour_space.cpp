#include "picture/exif_colour_space.h"

#include "picture/jpeg_segments.h"
#include "picture/tiff_bytes.h"

#include <cstring>
#include <optional>

namespace {

constexpr uint16_t kExifDirectoryTag = 0x8769;
constexpr uint16_t kColourSpaceTag = 0xA001;
constexpr uint16_t kInteroperabilityDirectoryTag = 0xA005;
constexpr uint16_t kInteroperabilityIndexTag = 0x0001;
constexpr uint32_t kUncalibrated = 0xFFFF;
constexpr uint16_t kTypeAscii = 2;

// The directory that the entry with this tag links to.
std::optional<size_t> LinkedDirectory(const TiffBytes& tiff, size_t directory, uint16_t tag) {
  const std::optional<size_t> entry = tiff.FindEntry(directory, tag);
  if (!entry) {
    return std::nullopt;
  }
  return tiff.SingleNumber(*entry);
}

// The index is the text "R03": three letters and an optional terminating zero, which fit
// into the entry itself.
bool IndexIsR03(const TiffBytes& tiff, size_t entry) {
  const uint32_t count = tiff.U32(entry + 4);
  if (tiff.U16(entry + 2) != kTypeAscii || count < 3 || count > 4) {
    return false;
  }
  const uint8_t* text = tiff.At(entry + 8);
  return std::memcmp(text, "R03", 3) == 0 && (count == 3 || text[3] == 0);
}

}  // namespace

bool JpegExifSaysAdobeRgb(const uint8_t* data, size_t size) {
  const JpegSegment segment = JpegExifTiff(data, size);
  const std::optional<TiffBytes> tiff = TiffBytes::Open(segment.payload, segment.size);
  if (!tiff) {
    return false;
  }
  const std::optional<size_t> exif = LinkedDirectory(*tiff, tiff->FirstDirectory(), kExifDirectoryTag);
  if (!exif) {
    return false;
  }
  const std::optional<size_t> colourSpace = tiff->FindEntry(*exif, kColourSpaceTag);
  if (!colourSpace || tiff->SingleNumber(*colourSpace) != kUncalibrated) {
    return false;
  }
  const std::optional<size_t> interoperability = LinkedDirectory(*tiff, *exif, kInteroperabilityDirectoryTag);
  if (!interoperability) {
    return false;
  }
  const std::optional<size_t> index = tiff->FindEntry(*interoperability, kInteroperabilityIndexTag);
  return index && IndexIsR03(*tiff, *index);
}
