// The bitmap transfer: its bitmap info and bits buffer, and where and how the picture
// lands in MM_LOMETRIC, painted into an image of a page at 0.1 mm per pixel.
#include "print/bitmap_transfer.h"
#include "print/area_resample.h"
#include "print/print_layout.h"

#include "page_probe.h"
#include "picture/bitmap.h"

#include <QPainter>

#include <cstring>
#include <random>

namespace {

using printprobe::PatternImage;

TEST(BitmapTransfer, TrueColourInfoIsFortyFourBytesWithPaddedImageSize) {
  BitmapInfo info = MakeBitmapInfo(101, 7);
  EXPECT_EQ(sizeof(info), 44u);
  EXPECT_EQ(info.bmiHeader.biSize, 40u);
  EXPECT_EQ(info.bmiHeader.biPlanes, 1);
  EXPECT_EQ(info.bmiHeader.biBitCount, 24);
  EXPECT_EQ(info.bmiHeader.biCompression, 0u);
  EXPECT_EQ(info.bmiHeader.biClrUsed, 0u);
  EXPECT_EQ(info.bmiHeader.biClrImportant, 0u);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 303u * 7);  // the unpadded estimate
  CompleteBitmapInfo(info);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 304u * 7);  // 303 bytes padded to 304
}

TEST(BitmapTransfer, BitsAreBottomUpRowsPaddedToFourBytes) {
  QImage picture(101, 3, QImage::Format_BGR888);
  for (int y = 0; y < 3; ++y) std::memset(picture.scanLine(y), 10 * (y + 1), 303);
  BitmapInfo info = MakeBitmapInfo(101, 3);
  CompleteBitmapInfo(info);
  const std::vector<uint8_t> bits = ReadDibBits(picture, info);
  ASSERT_EQ(bits.size(), 304u * 3);
  EXPECT_EQ(bits[0], 30);          // the picture's bottom row comes first
  EXPECT_EQ(bits[302], 30);
  EXPECT_EQ(bits[303], 0);         // padding
  EXPECT_EQ(bits[304 * 2], 10);    // the top row comes last
}

// A white page of this many pixels at this resolution.
QImage WhitePage(QSize size, int dotsPerMeter) {
  QImage page(size, QImage::Format_RGB32);
  page.setDotsPerMeterX(dotsPerMeter);
  page.setDotsPerMeterY(dotsPerMeter);
  page.fill(Qt::white);
  return page;
}

// An A4 portrait page at 254 pixels per inch, so one pixel is one print unit.
QImage BlankPage() { return WhitePage(QSize(2100, 2970), 10000); }

void Transfer(QImage& page, QRect place, const QImage& picture) {
  TBitmap bitmap;
  bitmap.SetImage(picture);
  QPainter dc(&page);
  SetMapModeLoMetric(dc, 254, 254);
  TransferBitmap(dc, place.x(), place.y(), place.width(), place.height(), bitmap);
}

TEST(BitmapTransfer, NegativeHeightInLoMetricPrintsUprightAtItsPhysicalPlace) {
  QImage page = BlankPage();
  Transfer(page, QRect(50, -25, 1300, -900), PatternImage(1000, 750));
  // 5 mm from the left, 2.5 mm from the top, 130 mm x 90 mm; the aspect ratio of the
  // picture is not kept.
  printprobe::ExpectPicturesOnPage(page, {{QRect(50, 25, 1300, 900), "slide"}});
}

TEST(BitmapTransfer, PositiveHeightInLoMetricTurnsThePictureUpsideDown) {
  QImage page = BlankPage();
  // From y = -1000 upwards to -100: drawn as a device context draws it, bottom row first.
  Transfer(page, QRect(50, -1000, 400, 900), PatternImage(100, 100));
  const QRect found = printprobe::InkBounds(page, QRect(0, 0, 1000, 1200));
  EXPECT_NEAR(found.top(), 100, 1);
  EXPECT_NEAR(found.bottom(), 999, 1);
  EXPECT_TRUE(printprobe::Near(page.pixelColor(100, 900), printprobe::QuadrantColor(true, true)));
}

TEST(BitmapTransfer, SourceBitmapIsUnchangedByTheTransfer) {
  TBitmap bitmap;
  bitmap.SetImage(PatternImage(64, 48));
  const QImage before = bitmap.Image().copy();
  QImage page = BlankPage();
  QPainter dc(&page);
  SetMapModeLoMetric(dc, 254, 254);
  TransferBitmap(dc, 50, -25, 640, -480, bitmap);
  EXPECT_EQ(bitmap.Image(), before);
}

TEST(BitmapTransfer, PictureReachesTheDeviceAtNoMoreThanSixHundredPixelsPerInch) {
  // 130 mm x 90 mm at 1200 dpi; the picture has 4000 x 3000 pixels, more than 600 ppi
  // can show (3071 x 2126).
  printprobe::RecordingDevice device(1200, QSize(9921, 14031));
  TBitmap big;
  big.SetImage(PatternImage(4000, 3000));
  TBitmap small;
  small.SetImage(PatternImage(800, 600));
  {
    QPainter dc(&device);
    SetMapModeLoMetric(dc, 1200, 1200);
    TransferBitmap(dc, 50, -25, 1300, -900, big);
    TransferBitmap(dc, 50, -25, 1300, -900, small);
  }
  ASSERT_EQ(device.drawn.size(), 2u);
  EXPECT_EQ(device.drawn[0].pixels, QSize(3071, 2126));
  EXPECT_EQ(device.drawn[1].pixels, QSize(800, 600));  // fewer pixels go as they are
  // In device pixels: 130 mm at 1200 dpi is 6141.7 pixels wide, starting 5 mm in.
  const QRectF target = device.drawn[0].transform.mapRect(device.drawn[0].target);
  EXPECT_NEAR(target.left(), 50 * 1200 / 254.0, 0.5);
  EXPECT_NEAR(target.top(), 25 * 1200 / 254.0, 0.5);
  EXPECT_NEAR(target.width(), 1300 * 1200 / 254.0, 0.5);
  EXPECT_NEAR(target.height(), 900 * 1200 / 254.0, 0.5);
}

// Grain in every pixel, so a single pixel averaged differently shows on the page.
QImage GrainImage(int width, int height) {
  QImage image(width, height, QImage::Format_BGR888);
  std::mt19937 random(7);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = image.scanLine(y);
    for (int i = 0; i < width * 3; ++i) row[i] = static_cast<uint8_t>(random());
  }
  return image;
}

// A page at 600 pixels per inch, where a shrunk picture lands about pixel for pixel.
QImage FineBlankPage() { return WhitePage(QSize(1000, 800), 23622); }

TEST(BitmapTransfer, ShrinkingInOnePassPrintsWhatTheWholeDibPrints) {
  // 900 x 700 pixels onto 30 mm x 20 mm: 709 x 473 pixels are all 600 ppi can show.
  for (const QImage::Format format : {QImage::Format_BGR888, QImage::Format_Indexed8}) {
    TBitmap bitmap;
    bitmap.SetImage(GrainImage(900, 700).convertToFormat(format));
    QImage onePass = FineBlankPage();
    {
      QPainter dc(&onePass);
      SetMapModeLoMetric(dc, 600, 600);
      TransferBitmap(dc, 50, -25, 300, -200, bitmap);
    }
    QImage wholeDib = FineBlankPage();
    {
      BitmapInfo info = MakeBitmapInfo(900, 700);
      CompleteBitmapInfo(info);
      const std::vector<uint8_t> bits = ReadDibBits(bitmap.Image(), info);
      QPainter dc(&wholeDib);
      SetMapModeLoMetric(dc, 600, 600);
      StretchDIBits(dc, 50, -25, 300, -200, info, bits.data(), kMaxPicturePixelsPerInch);
    }
    EXPECT_EQ(onePass, wholeDib) << "format " << format;
    EXPECT_NE(onePass, FineBlankPage());
  }
}

}  // namespace

namespace {

TEST(AreaAverageShrink, ReadsEachSourceRowOnceInOrder) {
  // Seven rows to three: rows 2 and 4 each lie in two output rows.
  const std::vector<uint8_t> row(12, 100);
  std::vector<int> asked;
  const PixelRows source{4, 7, [&](int r) {
                           asked.push_back(r);
                           return row.data();
                         }};
  const QImage shrunk = AreaAverageShrink(source, QImage::Format_BGR888, 2, 3);
  EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(shrunk.size(), QSize(2, 3));
  EXPECT_EQ(shrunk.constScanLine(1)[0], 100);
}

TEST(AreaAverageShrink, EachPixelIsTheMeanOfTheAreaItCovers) {
  // Columns 0, 90, 180 (and 30 in green): three columns shrunk to two, each output pixel
  // covering one and a half source pixels.
  QImage source(3, 2, QImage::Format_BGR888);
  for (int y = 0; y < 2; ++y) {
    uint8_t* row = source.scanLine(y);
    for (int x = 0; x < 3; ++x) {
      row[x * 3] = static_cast<uint8_t>(90 * x);
      row[x * 3 + 1] = 30;
      row[x * 3 + 2] = static_cast<uint8_t>(y == 0 ? 0 : 200);
    }
  }
  const QImage shrunk = AreaAverageShrink(source, 2, 1);
  ASSERT_EQ(shrunk.size(), QSize(2, 1));
  EXPECT_EQ(shrunk.format(), QImage::Format_BGR888);
  const uint8_t* out = shrunk.constScanLine(0);
  EXPECT_EQ(out[0], 30);   // (0 + 0.5 * 90) / 1.5
  EXPECT_EQ(out[3], 150);  // (0.5 * 90 + 180) / 1.5
  EXPECT_EQ(out[1], 30);
  EXPECT_EQ(out[2], 100);  // the two rows averaged
}

TEST(AreaAverageShrink, KeepsTheQuadrantsInPlace) {
  const QImage pattern = PatternImage(600, 400).convertToFormat(QImage::Format_BGR888);
  const QImage shrunk = AreaAverageShrink(pattern, 150, 100).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(printprobe::Near(shrunk.pixelColor(10, 10), printprobe::QuadrantColor(true, true), 2));
  EXPECT_TRUE(printprobe::Near(shrunk.pixelColor(140, 90), printprobe::QuadrantColor(false, false), 2));
}

}  // namespace
