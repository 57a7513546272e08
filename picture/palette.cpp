#include "picture/palette.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <array>

namespace {

int& ScreenBitsOverride() {
  static int bits = 0;
  return bits;
}

// The 20 colours a palette screen always has: 10 at the start, 10 at the end.
constexpr std::array<QRgb, 10> kStaticLow = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                              0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
constexpr std::array<QRgb, 10> kStaticHigh = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                               0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TPaletteEntry EntryFromRgb(QRgb rgb) {
  return TPaletteEntry{static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                       static_cast<uint8_t>(qBlue(rgb)), 0};
}

}  // namespace

TPalette CreatePalette(std::vector<TPaletteEntry> entries) {
  if (entries.size() > kMaxPaletteEntries) {
    entries.resize(kMaxPaletteEntries);
  }
  auto palette = std::make_shared<TLogPalette>();
  palette->palPalEntry = std::move(entries);
  return palette;
}

TPalette PaletteFromColorTable(const QList<QRgb>& colorTable) {
  std::vector<TPaletteEntry> entries;
  entries.reserve(static_cast<size_t>(std::min<qsizetype>(colorTable.size(), kMaxPaletteEntries)));
  for (qsizetype i = 0; i < colorTable.size() && i < kMaxPaletteEntries; ++i) {
    entries.push_back(EntryFromRgb(colorTable[i]));
  }
  return CreatePalette(std::move(entries));
}

QList<QRgb> ColorTableFromPalette(const TPalette& palette) {
  QList<QRgb> table;
  if (!palette) {
    return table;
  }
  table.reserve(static_cast<qsizetype>(palette->palPalEntry.size()));
  for (const TPaletteEntry& e : palette->palPalEntry) {
    table.append(qRgb(e.peRed, e.peGreen, e.peBlue));
  }
  return table;
}

TPalette CreateHalftonePalette() {
  std::vector<TPaletteEntry> entries;
  entries.reserve(kMaxPaletteEntries);
  for (QRgb rgb : kStaticLow) {
    entries.push_back(EntryFromRgb(rgb));
  }
  constexpr int kLevels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  for (int r : kLevels) {
    for (int g : kLevels) {
      for (int b : kLevels) {
        entries.push_back(TPaletteEntry{static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                        static_cast<uint8_t>(b), 0});
      }
    }
  }
  for (QRgb rgb : kStaticHigh) {
    entries.push_back(EntryFromRgb(rgb));
  }
  return CreatePalette(std::move(entries));
}

int ScreenBitsPerPixel() {
  if (ScreenBitsOverride() > 0) {
    return ScreenBitsOverride();
  }
  // Colour depth beyond 24 bits is alpha, which a palette decision does not care about.
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  return screen ? std::min(screen->depth(), 24) : 24;
}

void SetScreenBitsPerPixel(int bitsPerPixel) { ScreenBitsOverride() = std::max(0, bitsPerPixel); }
