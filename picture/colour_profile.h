#pragma once
// Conversions from the colours an ICC profile describes into sRGB, the colours the screen,
// the clipboard and the printer take. The colour engine reads the profile and computes
// the conversion once; pixels then go through tables (see colour_tables.h). A profile
// whose colours are sRGB's anyway converts nothing, so such pictures decode exactly as
// untagged ones do.

#include "picture/palette.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <vector>

// The pixels a conversion is made for.
enum class ColourInput {
  Rgb,
  Gray,
  Cmyk,
  CmykInverted,  // CMYK stored as 255 minus the ink, as files with Adobe's marker hold it
};

class MatrixShaperTable;
class ColourGrid;

class ColourConversion {
 public:
  // The conversion of this profile's colours for these pixels; null when the profile
  // describes other pixels, the engine refuses it, or its colours are sRGB's. Recent
  // answers are kept, so the pictures of one camera share one conversion.
  static std::shared_ptr<const ColourConversion> For(const QByteArray& profile, ColourInput input);

  ~ColourConversion();
  ColourConversion(const ColourConversion&) = delete;
  ColourConversion& operator=(const ColourConversion&) = delete;

  // Pixels of blue, green, red (pixelBytes 3, or 4 with a spare byte left alone), in place.
  void ConvertBgr(uint8_t* row, int width, int pixelBytes) const;
  // Pixels of four ink bytes into pixels of blue, green, red.
  void ConvertCmyk(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const;
  // The same colours for the entries of a palette (gray entries stay gray).
  TPalette ConvertPalette(const TPalette& palette) const;
  // The other way: the stored values that show as these sRGB entries, so that a decode
  // into a given palette picks its entries by the colours they show. Entries stay as
  // they are where the profile only describes the way into sRGB.
  std::vector<TPaletteEntry> StoredColours(std::vector<TPaletteEntry> entries) const;

  // Whether the pixels go through the curves-and-matrix tables rather than a grid.
  bool UsesMatrix() const { return matrix_ != nullptr; }

 private:
  ColourConversion() = default;
  static std::shared_ptr<const ColourConversion> Make(const QByteArray& profile, ColourInput input);

  QByteArray profile_;
  ColourInput input_ = ColourInput::Rgb;
  std::unique_ptr<MatrixShaperTable> matrix_;
  std::unique_ptr<ColourGrid> grid_;
  std::unique_ptr<uint8_t[]> gray_;  // 256 entries
};

// Adobe RGB (1998) as the colour engine makes it from its published primaries, white
// point and gamma, for files that name it only in their EXIF segment.
const QByteArray& AdobeRgbProfile();
