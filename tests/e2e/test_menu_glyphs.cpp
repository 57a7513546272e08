// The glyphs of the main menu as the screen shows them: each item with an image index
// shows the picture the program draws for it, pixel for pixel, beside its caption.
#include "chrome/menu_glyphs.h"
#include "main_window.h"

#include <QDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// Where the glyph's opaque pixels appear in the picture exactly, if anywhere.
std::optional<QPoint> FindGlyph(const QImage& shot, const QImage& glyph) {
  const QImage screen = shot.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y + glyph.height() <= screen.height(); ++y) {
    for (int x = 0; x + glyph.width() <= screen.width(); ++x) {
      bool all = true;
      for (int gy = 0; all && gy < glyph.height(); ++gy) {
        for (int gx = 0; all && gx < glyph.width(); ++gx) {
          const QRgb pixel = glyph.pixel(gx, gy);
          all = qAlpha(pixel) == 0 || (screen.pixel(x + gx, y + gy) & 0xFFFFFF) == (pixel & 0xFFFFFF);
        }
      }
      if (all) return QPoint(x, y);
    }
  }
  return std::nullopt;
}

// Opens the menu of the title and finds the glyphs of the indices, top to bottom.
void ExpectGlyphsInMenu(const Display& display, const Velarim& velarim, const Window& main, int title,
                        const std::vector<int>& indices) {
  display.Click(MenuTitleOf(main, title));
  const std::optional<Window> menu = WaitForDropDownMenu(velarim, MenuTitleOf(main, title));
  ASSERT_TRUE(menu) << "menu " << title << " did not open";
  // A menu is mapped before it paints: its picture is taken again until the last glyph shows.
  QImage shot;
  WaitUntil([&] { return FindGlyph(shot = display.Screenshot(menu->geometry), MenuGlyph(indices.back())).has_value(); }, 5s);
  shot.save(QDir::tempPath() + QStringLiteral("/velarim-menu-%1.png").arg(title));
  int above = -1;
  for (int index : indices) {
    const std::optional<QPoint> at = FindGlyph(shot, MenuGlyph(index));
    ASSERT_TRUE(at) << "the glyph " << index << " is not in menu " << title;
    EXPECT_GT(at->y(), above) << "glyph " << index << " is out of order";
    EXPECT_LT(at->x(), 30) << "glyph " << index << " is not at the items' left";
    above = at->y();
  }
  display.Key(QStringLiteral("Escape"));
  EXPECT_TRUE(velarim.WaitForWindowGone(menu->id));
}

TEST(MenuGlyphsTest, DateiAndHilfeItemsShowTheirGlyphs) {
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  // "&Bearbeiten ...", "Speichern &unter...", "&Drucken"; "In&fo", "&Inhalt", "&Homepage".
  ExpectGlyphsInMenu(display, velarim, *main, 0, {11, 10, 9});
  ExpectGlyphsInMenu(display, velarim, *main, 2, {0, 3, 25});
  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
