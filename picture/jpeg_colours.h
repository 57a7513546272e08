#pragma once
// The colours of a JPEG file as the decoder turns them into sRGB: through the ICC profile
// the file carries, or Adobe RGB for a file whose EXIF segment names it and that carries
// no profile. Made once per decode, after the header is read and the output colour space
// chosen; without a profile, or with an sRGB one, it converts nothing.

#include "picture/colour_profile.h"
#include "picture/palette.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

#include <jpeglib.h>

class JpegColours {
 public:
  // Converts nothing.
  JpegColours() = default;

  // For the decode of these bytes: the decompressor has read the header and its output
  // colour space is set; eightBit says the rows are palette indexes.
  static JpegColours For(const QByteArray& bytes, const jpeg_decompress_struct& info, bool eightBit);

  // Output rows of blue, green, red, converted in place.
  void ConvertRows(JSAMPROW* rows, int count, int width) const;
  // A row of four ink bytes into blue, green, red; false when this file's inks are
  // converted without a profile.
  bool ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const;
  // The palette the decode made from the stored colours, in sRGB.
  TPalette ConvertPalette(const TPalette& palette) const;
  // The stored values that show as the entries of a given palette.
  std::vector<TPaletteEntry> StoredColours(const std::vector<TPaletteEntry>& entries) const;

  bool Converts() const { return conversion_ != nullptr; }
  // Whether ConvertRows changes the output rows.
  bool ConvertsRows() const { return rowPixelBytes_ != 0; }

 private:
  std::shared_ptr<const ColourConversion> conversion_;
  int rowPixelBytes_ = 0;  // 3 or 4 when output rows are converted, else 0
};
