// The device-independent bitmap: sizes and their limit, pixel formats, palettes, shared
// pixels and its own canvas.

#include "picture/bitmap.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct SizeCase {
  int64_t width;
  int64_t height;
  int bits;
  int64_t bytes;
};

class BitmapBytes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BitmapBytes, RowsArePaddedAndTheLimitHolds) {
  EXPECT_EQ(BitmapByteSize(GetParam().width, GetParam().height, GetParam().bits), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BitmapBytes,
    ::testing::Values(SizeCase{1, 1, 24, 4}, SizeCase{101, 2, 24, 608}, SizeCase{3, 2, 8, 8}, SizeCase{4, 1, 8, 4},
                      SizeCase{0, 5, 24, 0}, SizeCase{5, 0, 8, 0}, SizeCase{-1, 5, 24, -1},
                      SizeCase{60000, 60000, 24, -1}, SizeCase{65536, 16384, 8, int64_t{1} << 30},
                      SizeCase{65536, 16385, 8, -1}, SizeCase{int64_t{1} << 40, 1, 24, -1},
                      SizeCase{1, int64_t{1} << 40, 24, -1}));

void Size(TBitmap& bitmap, int width, int height, TPixelFormat format = TPixelFormat::pf24bit) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
}

void Fill(TBitmap& bitmap, uint8_t value) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::fill_n(bitmap.ScanLine(y), bitmap.BytesPerLine(), value);
  }
}

}  // namespace

TEST(Bitmap, NewPixelsAreZeroAndResizingKeepsWhatStillFits) {
  TBitmap bitmap;
  Size(bitmap, 3, 2);
  EXPECT_EQ(bitmap.BytesPerLine(), 12);
  EXPECT_EQ(bitmap.Image().pixel(2, 1), qRgb(0, 0, 0));
  Fill(bitmap, 0x80);
  bitmap.SetSize(5, 3);
  EXPECT_EQ(bitmap.Image().pixel(2, 1), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(bitmap.Image().pixel(4, 2), qRgb(0, 0, 0));
  bitmap.SetSize(0, 3);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(Bitmap, TooLargeASizeIsOutOfMemoryAndChangesNothing) {
  TBitmap bitmap;
  Size(bitmap, 4, 4);
  EXPECT_THROW(bitmap.SetSize(60000, 60000), EOutOfMemory);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_THROW(bitmap.SetHeight(1 << 30), EOutOfMemory);
}

TEST(Bitmap, RowsAreBlueGreenRed) {
  TBitmap bitmap;
  Size(bitmap, 1, 1);
  uint8_t* row = bitmap.ScanLine(0);
  row[0] = 10;
  row[1] = 20;
  row[2] = 30;
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(30, 20, 10));
  EXPECT_THROW(bitmap.ScanLine(1), EInvalidGraphicOperation);
  EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, CopiesSharePixelsUntilOneWrites) {
  TBitmap original;
  Size(original, 2, 2);
  Fill(original, 0x40);
  TBitmap copy;
  copy.Assign(&original);
  EXPECT_EQ(copy.Image().constBits(), original.Image().constBits());
  Fill(copy, 0xC0);
  EXPECT_EQ(original.Image().pixel(0, 0), qRgb(0x40, 0x40, 0x40));
  TBitmap blank;
  Size(blank, 2, 2);
  TBitmap otherBlank;
  Size(otherBlank, 2, 2);
  EXPECT_TRUE(blank.Equals(&otherBlank));
  EXPECT_FALSE(copy.Equals(&original));
}

TEST(Bitmap, EightBitPixelsCarryTheirPalette) {
  TBitmap bitmap;
  Size(bitmap, 2, 1, TPixelFormat::pf8bit);
  const TPalette palette = CreatePalette({{255, 0, 0, 0}, {0, 0, 255, 0}});
  bitmap.SetPalette(palette);
  EXPECT_EQ(bitmap.Palette(), palette) << "the same handle";
  EXPECT_EQ(bitmap.Image().colorTable().size(), 256) << "padded, so any index can be drawn";
  bitmap.ScanLine(0)[1] = 1;
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(bitmap.Image().pixel(1, 0), qRgb(0, 0, 255));
  bitmap.ScanLine(0)[0] = 200;
  EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(0, 0, 0));

  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(bitmap.BitsPerPixel(), 24);
  EXPECT_EQ(bitmap.Image().pixel(1, 0), qRgb(0, 0, 255));
}

TEST(Bitmap, DeviceFormatIsTrueColour) {
  TBitmap bitmap;
  Size(bitmap, 1, 1, TPixelFormat::pfDevice);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
}

TEST(Bitmap, CanvasPaintsOnThePixels) {
  TBitmap bitmap;
  Size(bitmap, 4, 4, TPixelFormat::pf8bit);
  QPainter* painter = bitmap.Canvas().Painter();
  ASSERT_NE(painter, nullptr);
  EXPECT_EQ(bitmap.BitsPerPixel(), 24) << "painting needs true colour";
  painter->fillRect(QRect(0, 0, 2, 4), QColor(0, 200, 0));
  EXPECT_EQ(bitmap.Image().pixel(1, 1), qRgb(0, 200, 0));
  EXPECT_EQ(bitmap.Image().pixel(3, 1), qRgb(0, 0, 0));
  bitmap.Canvas().Painter()->fillRect(QRect(3, 0, 1, 4), Qt::white);
  EXPECT_EQ(bitmap.Image().pixel(3, 3), qRgb(255, 255, 255));
  EXPECT_EQ(TBitmap().Canvas().Painter(), nullptr) << "nothing to paint on";
}

TEST(Bitmap, BmpFilesRoundTrip) {
  TBitmap bitmap;
  Size(bitmap, 5, 3);
  Fill(bitmap, 0x33);
  bitmap.ScanLine(2)[14] = 0xEE;
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  stream.SetPosition(0);
  TBitmap reread;
  reread.LoadFromStream(stream);
  EXPECT_TRUE(reread.Equals(&bitmap));
}
