// Reads the ICC profile and the EXIF colour space of arbitrary bytes taken as a JPEG file,
// and makes the colour conversion of whatever profile it finds (or of the bytes
// themselves, taken as a profile) for every kind of pixel, then converts a few pixels
// and a palette through it.

#include "picture/colour_profile.h"
#include "picture/exif_colour_space.h"
#include "picture/icc_profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Convert(const QByteArray& profile) {
  for (const ColourInput input : {ColourInput::Rgb, ColourInput::Gray, ColourInput::Cmyk, ColourInput::CmykInverted}) {
    const auto conversion = ColourConversion::For(profile, input);
    if (!conversion) {
      continue;
    }
    std::vector<uint8_t> pixels(4 * 256);
    for (size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = static_cast<uint8_t>(i * 37);
    }
    std::vector<uint8_t> bgr(4 * 256);
    if (input == ColourInput::Cmyk || input == ColourInput::CmykInverted) {
      conversion->ConvertCmyk(pixels.data(), bgr.data(), 256, 3);
    } else {
      conversion->ConvertBgr(pixels.data(), 256, 4);
      conversion->ConvertBgr(pixels.data(), 255, 3);
    }
    std::vector<TPaletteEntry> entries(256);
    for (size_t i = 0; i < entries.size(); ++i) {
      entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
    }
    if (conversion->ConvertPalette(CreatePalette(entries))->palPalEntry.size() != entries.size()) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const JpegIccProfile icc = ReadJpegIccProfile(data, size);
  if (icc.bytes.size() > static_cast<qsizetype>(kMaxIccProfileBytes) || (!icc.bytes.isEmpty() && !icc.segmentsSeen)) {
    std::abort();
  }
  JpegExifSaysAdobeRgb(data, size);
  const bool jpeg = size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
  Convert(jpeg ? icc.bytes : QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  return 0;
}
