// Drawing graphics on a canvas: the stretch rule for bitmaps, mirroring, and drawing at
// a point.

#include "picture/bitmap.h"
#include "picture/canvas.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);

// A bitmap of one row with the given colours.
std::unique_ptr<TBitmap> Row(std::initializer_list<QRgb> colours) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(static_cast<int>(colours.size()), 1);
  int x = 0;
  for (QRgb c : colours) {
    uint8_t* px = bitmap->ScanLine(0) + 3 * x++;
    px[0] = static_cast<uint8_t>(qBlue(c));
    px[1] = static_cast<uint8_t>(qGreen(c));
    px[2] = static_cast<uint8_t>(qRed(c));
  }
  return bitmap;
}

QImage Screen(int width, int height) {
  QImage screen(width, height, QImage::Format_RGB32);
  screen.fill(kWhite);
  return screen;
}

std::vector<QRgb> RowOf(const QImage& image) {
  std::vector<QRgb> row;
  for (int x = 0; x < image.width(); ++x) row.push_back(image.pixel(x, 0));
  return row;
}

}  // namespace

TEST(Canvas, ColourOnColourRepeatsColumnsWithoutAveraging) {
  auto bitmap = Row({kRed, kBlue});
  QImage screen = Screen(4, 1);
  QPainter painter(&screen);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);  // the canvas decides, not the caller
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 4, 1), bitmap.get());
  painter.end();
  EXPECT_EQ(RowOf(screen), (std::vector<QRgb>{kRed, kRed, kBlue, kBlue}));
}

TEST(Canvas, ColourOnColourDropsColumnsWhenShrinking) {
  auto bitmap = Row({kRed, kBlue, kRed, kBlue});
  QImage screen = Screen(2, 1);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 2, 1), bitmap.get());
  painter.end();
  for (QRgb c : RowOf(screen)) {
    EXPECT_TRUE(c == kRed || c == kBlue) << std::hex << c;
  }
}

TEST(Canvas, HalftoneAveragesOnlyOnAPaletteTarget) {
  auto bitmap = Row({kRed, kBlue});
  QImage screen = Screen(8, 1);
  QPainter painter(&screen);
  TCanvas canvas(&painter, 8);
  canvas.StretchDraw(QRect(0, 0, 8, 1), bitmap.get());
  painter.end();
  const std::vector<QRgb> row = RowOf(screen);
  EXPECT_TRUE(std::any_of(row.begin(), row.end(), [](QRgb c) { return c != kRed && c != kBlue; }));
}

TEST(Canvas, NegativeExtentsMirror) {
  auto bitmap = Row({kRed, kBlue});
  QImage screen = Screen(4, 1);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(4, 0, -4, 1), bitmap.get());
  painter.end();
  EXPECT_EQ(RowOf(screen), (std::vector<QRgb>{kBlue, kBlue, kRed, kRed}));
}

TEST(Canvas, DrawAtAPointUsesTheGraphicsOwnSize) {
  auto bitmap = Row({kRed, kBlue});
  QImage screen = Screen(5, 1);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.Draw(2, 0, bitmap.get());
  TBitmap empty;
  canvas.Draw(0, 0, &empty);
  painter.end();
  EXPECT_EQ(RowOf(screen), (std::vector<QRgb>{kWhite, kWhite, kRed, kBlue, kWhite}));
}

TEST(Canvas, NothingToDrawOrNothingToDrawOn) {
  auto bitmap = Row({kRed});
  TCanvas withoutPainter;
  EXPECT_NO_THROW(withoutPainter.StretchDraw(QRect(0, 0, 5, 5), bitmap.get()));
  QImage screen = Screen(2, 1);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 2, 1), nullptr);
  canvas.StretchDraw(QRect(0, 0, 0, 1), bitmap.get());
  painter.end();
  EXPECT_EQ(RowOf(screen), (std::vector<QRgb>{kWhite, kWhite}));
}
