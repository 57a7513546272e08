#include "picture/jpeg_colours.h"

#include "picture/exif_colour_space.h"
#include "picture/icc_profile.h"

#include <optional>

namespace {

// The pixels of this decode that a profile may describe; none for a colour file decoded
// to gray, whose gray is the stored brightness.
std::optional<ColourInput> InputOf(const jpeg_decompress_struct& info) {
  if (info.out_color_space == JCS_CMYK) {
    return info.saw_Adobe_marker ? ColourInput::CmykInverted : ColourInput::Cmyk;
  }
  if (info.out_color_space == JCS_GRAYSCALE) {
    return info.num_components == 1 ? std::optional(ColourInput::Gray) : std::nullopt;
  }
  return info.num_components == 3 ? std::optional(ColourInput::Rgb) : std::nullopt;
}

}  // namespace

JpegColours JpegColours::For(const QByteArray& bytes, const jpeg_decompress_struct& info, bool eightBit) {
  JpegColours colours;
  const std::optional<ColourInput> input = InputOf(info);
  if (!input) {
    return colours;
  }
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
  const auto size = static_cast<size_t>(bytes.size());
  const JpegIccProfile icc = ReadJpegIccProfile(data, size);
  if (!icc.bytes.isEmpty()) {
    colours.conversion_ = ColourConversion::For(icc.bytes, *input);
  } else if (!icc.segmentsSeen && *input == ColourInput::Rgb && JpegExifSaysAdobeRgb(data, size)) {
    colours.conversion_ = ColourConversion::For(AdobeRgbProfile(), *input);
  }
  if (colours.conversion_ && *input == ColourInput::Rgb && !eightBit) {
    colours.rowPixelBytes_ = info.out_color_space == JCS_EXT_BGRX ? 4 : 3;
  }
  return colours;
}

void JpegColours::ConvertRows(JSAMPROW* rows, int count, int width) const {
  if (rowPixelBytes_ == 0) {
    return;
  }
  for (int i = 0; i < count; ++i) {
    conversion_->ConvertBgr(rows[i], width, rowPixelBytes_);
  }
}

bool JpegColours::ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const {
  if (!conversion_) {
    return false;
  }
  conversion_->ConvertCmyk(cmyk, bgr, width, bgrPixelBytes);
  return true;
}

TPalette JpegColours::ConvertPalette(const TPalette& palette) const {
  return conversion_ ? conversion_->ConvertPalette(palette) : palette;
}

std::vector<TPaletteEntry> JpegColours::StoredColours(const std::vector<TPaletteEntry>& entries) const {
  return conversion_ ? conversion_->StoredColours(entries) : entries;
}
