#pragma once
// Logical palettes: an immutable list of up to 256 colours, shared by handle. Two handles
// are "the same palette" only when they point at the same object, which is what the
// JPEG kind relies on to tell its own temporary palette apart from a new one.

#include <QList>
#include <QRgb>

#include <cstdint>
#include <memory>
#include <vector>

struct TPaletteEntry {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;

  bool operator==(const TPaletteEntry&) const = default;
};

struct TLogPalette {
  uint16_t palVersion = 0x300;
  std::vector<TPaletteEntry> palPalEntry;
};

// A palette handle; null means "no palette".
using TPalette = std::shared_ptr<const TLogPalette>;

inline constexpr int kMaxPaletteEntries = 256;

// A new palette of version 0x300 holding the first 256 entries at most.
TPalette CreatePalette(std::vector<TPaletteEntry> entries);

// A new palette with the colours of a colour table (at most 256).
TPalette PaletteFromColorTable(const QList<QRgb>& colorTable);

// The colours of a palette as an opaque colour table; empty for no palette.
QList<QRgb> ColorTableFromPalette(const TPalette& palette);

// The general-purpose palette used to show true-colour pictures on a palette screen:
// the 20 fixed system colours and a 6 x 6 x 6 colour cube.
TPalette CreateHalftonePalette();

// Bits per pixel of the screen (bits times planes). The screen counts as true colour;
// tests may pretend otherwise through SetScreenBitsPerPixel (0 restores the real value).
int ScreenBitsPerPixel();
void SetScreenBitsPerPixel(int bitsPerPixel);
