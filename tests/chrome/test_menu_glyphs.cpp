// The main menu's glyphs: one for each index the menu uses, 16 x 16 pixels, and at a
// scale factor of 2 drawn anew with edges as sharp as at 1 (no colour that the glyph
// does not have, no half-transparent pixel).
#include "chrome/menu_glyphs.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QSet<QRgb> ColoursOf(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  }
  return colours;
}

TEST(MenuGlyphs, EveryMenuIndexHasASharpGlyphAtBothScales) {
  EXPECT_EQ(MenuGlyphIndices(), (std::vector<int>{0, 3, 9, 10, 11, 25}));
  std::vector<QImage> seen;
  for (int index : MenuGlyphIndices()) {
    SCOPED_TRACE(index);
    const QImage single = MenuGlyph(index);
    const QImage twice = MenuGlyph(index, 2);
    ASSERT_EQ(single.size(), QSize(16, 16));
    ASSERT_EQ(twice.size(), QSize(32, 32));
    const QSet<QRgb> colours = ColoursOf(single);
    EXPECT_GE(colours.size(), 3) << "a glyph needs a picture on its transparent ground";
    EXPECT_TRUE(colours.contains(qRgba(0, 0, 0, 0)));
    for (QRgb colour : ColoursOf(twice)) {
      EXPECT_TRUE(qAlpha(colour) == 0 || qAlpha(colour) == 255) << std::hex << colour;
      if (qAlpha(colour) == 255) {
        EXPECT_TRUE(colours.contains(colour)) << std::hex << colour;
      }
    }
    // At twice the size it shows the same picture.
    const QImage halved = twice.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    int agreeing = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) agreeing += halved.pixel(x, y) == single.pixel(x, y);
    }
    EXPECT_GE(agreeing, 16 * 16 * 9 / 10);
    for (const QImage& other : seen) EXPECT_NE(other, single) << "two menu items share a glyph";
    seen.push_back(single);
  }
  EXPECT_TRUE(MenuGlyph(1).isNull());
  EXPECT_FALSE(MenuGlyphIcon(9).isNull());
}

}  // namespace
