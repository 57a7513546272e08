// Reading the orientation from a JPEG file's EXIF segment, and what an orientation does
// to sizes and rectangles. The file bytes are built here, damaged ones included.

#include "exif_builder.h"
#include "picture/exif_orientation.h"
#include "picture/orientation.h"

#include <gtest/gtest.h>

using namespace testexif;

namespace {

// Just enough of a JPEG file for the reader: start of image, the segments, a start of
// scan. The reader looks at nothing past the segments.
QByteArray FileWith(const QByteArray& segments) {
  return QByteArray("\xFF\xD8", 2) + segments + QByteArray("\xFF\xDA\x00\x02", 4);
}

int OrientationOf(const QByteArray& file) { return static_cast<int>(JpegExifOrientation(file)); }

const QByteArray kJfif = Segment(0xE0, QByteArray("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
const QByteArray kXmp = Segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 34));

}  // namespace

TEST(ExifOrientation, EveryValueInBothByteOrders) {
  for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
    for (uint32_t value = 1; value <= 8; ++value) {
      EXPECT_EQ(OrientationOf(FileWith(kJfif + OrientationSegment(value, order))), static_cast<int>(value))
          << "value " << value << (order == ByteOrder::Big ? " big-endian" : " little-endian");
    }
  }
}

TEST(ExifOrientation, ValuesOutsideOneToEightLeaveThePictureAsStored) {
  for (uint32_t value : {0u, 9u, 255u, 0xFFFFu}) {
    EXPECT_EQ(OrientationOf(FileWith(OrientationSegment(value))), 1) << value;
  }
  // A LONG can carry values a SHORT cannot.
  EXPECT_EQ(OrientationOf(FileWith(ExifSegment(Tiff(ByteOrder::Big, {{kOrientationTag, kTypeLong, 1, 0x10006}})))), 1);
}

TEST(ExifOrientation, ALongValueIsReadLikeAShort) {
  for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
    EXPECT_EQ(OrientationOf(FileWith(ExifSegment(Tiff(order, {{kOrientationTag, kTypeLong, 1, 6}})))), 6);
  }
}

TEST(ExifOrientation, TheFirstExifSegmentCounts) {
  EXPECT_EQ(OrientationOf(FileWith(kXmp + OrientationSegment(6) + OrientationSegment(3))), 6);
  // A first EXIF segment without the tag is not overruled by a later one.
  const QByteArray withoutTag = ExifSegment(Tiff(ByteOrder::Little, {{0x010F, 2, 4, 0}}));
  EXPECT_EQ(OrientationOf(FileWith(withoutTag + OrientationSegment(8))), 1);
}

TEST(ExifOrientation, OnlyTheFirstDirectoryIsRead) {
  // The tag in a directory reached only through the first one's link is not read.
  QByteArray tiff = Tiff(ByteOrder::Little, {{0x010F, 2, 4, 0}});
  const int linkAt = static_cast<int>(tiff.size()) - 4;
  const QByteArray second = Tiff(ByteOrder::Little, {{kOrientationTag, kTypeShort, 1, 6}}).mid(8);
  const auto next = static_cast<uint32_t>(tiff.size());
  tiff[linkAt] = static_cast<char>(next);
  EXPECT_EQ(OrientationOf(FileWith(ExifSegment(tiff + second))), 1);
}

TEST(ExifOrientation, ASegmentAfterThePictureDataIsIgnored) {
  const QByteArray file = QByteArray("\xFF\xD8\xFF\xDA\x00\x02", 6) + OrientationSegment(6);
  EXPECT_EQ(OrientationOf(file), 1);
}

TEST(ExifOrientation, FillBytesBeforeAMarkerAreSkipped) {
  EXPECT_EQ(OrientationOf(FileWith(QByteArray("\xFF\xFF\xFF", 3) + OrientationSegment(5).mid(1))), 5);
}

TEST(ExifOrientation, DamagedSegmentsLeaveThePictureAsStored) {
  const QByteArray good = OrientationSegment(6, ByteOrder::Big);
  struct Case {
    const char* what;
    QByteArray file;
  };
  QByteArray lengthPastTheEnd = good;
  lengthPastTheEnd[2] = static_cast<char>(0x7F);
  QByteArray lengthBelowTwo = good;
  lengthBelowTwo[2] = 0;
  lengthBelowTwo[3] = 1;
  QByteArray unknownByteOrder = good;
  unknownByteOrder[10] = 'X';
  QByteArray wrongMagic = good;
  wrongMagic[13] = 43;
  const Case cases[] = {
      {"no start of image", good},
      {"start of image only", QByteArray("\xFF\xD8", 2)},
      {"segment length past the end", FileWith(lengthPastTheEnd)},
      {"segment length below two", FileWith(lengthBelowTwo)},
      {"unknown byte order", FileWith(unknownByteOrder)},
      {"wrong TIFF magic", FileWith(wrongMagic)},
      {"header only", FileWith(ExifSegment(QByteArray("MM\0\x2A", 4)))},
      {"directory past the end", FileWith(ExifSegment(Tiff(ByteOrder::Big, {{}}, 0xFFFFFFF0u)))},
      {"directory at the very end", FileWith(ExifSegment(Tiff(ByteOrder::Little, {}, 8).left(9)))},
      {"entry count past the end", FileWith(ExifSegment(Tiff(ByteOrder::Little, {{0x010F, 2, 4, 0}}, 8, 0xFFFF)))},
      {"value count near 2^32", FileWith(ExifSegment(Tiff(ByteOrder::Big, {{kOrientationTag, kTypeShort, 0xFFFFFFFFu, 6}})))},
      {"two values", FileWith(ExifSegment(Tiff(ByteOrder::Little, {{kOrientationTag, kTypeShort, 2, 6}})))},
      {"wrong type", FileWith(ExifSegment(Tiff(ByteOrder::Little, {{kOrientationTag, 2, 1, 6}})))},
      {"no marker after a segment", QByteArray("\xFF\xD8\x12", 3) + good},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OrientationOf(c.file), 1) << c.what;
  }
}

TEST(ExifOrientation, EveryCutOfAGoodFileIsSafe) {
  for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
    const QByteArray file = FileWith(kJfif + OrientationSegment(7, order));
    for (qsizetype cut = 0; cut < file.size(); ++cut) {
      // Copied, so that a read past the cut is a read past the buffer.
      const QByteArray part(file.constData(), cut);
      const int value = OrientationOf(part);
      EXPECT_TRUE(value == 1 || value == 7) << cut;
    }
  }
}

TEST(ExifOrientation, EntriesBeyondTheBoundAreNotRead) {
  std::vector<TiffEntry> entries(600, TiffEntry{0x010E, 2, 1, 0});
  entries.push_back({kOrientationTag, kTypeShort, 1, 6});
  EXPECT_EQ(OrientationOf(FileWith(ExifSegment(Tiff(ByteOrder::Little, entries)))), 1);
  entries.erase(entries.begin(), entries.begin() + 500);
  EXPECT_EQ(OrientationOf(FileWith(ExifSegment(Tiff(ByteOrder::Little, entries)))), 6);
}

// --- what an orientation does to sizes and rectangles -------------------------------------

class OrientationGeometry : public ::testing::TestWithParam<int> {};

TEST_P(OrientationGeometry, SizesAndRectanglesGoWhereTheirPixelsGo) {
  const auto orientation = static_cast<PictureOrientation>(GetParam());
  const QSize stored(7, 4);
  QImage picture(stored, QImage::Format_RGB32);
  EXPECT_EQ(UprightSize(stored, orientation), TurnedByQt(picture, GetParam()).size());
  // A band of rows as a decode reports them, and a single pixel.
  for (const QRect& rect : {QRect(0, 1, 7, 2), QRect(5, 3, 1, 1)}) {
    picture.fill(Qt::black);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      for (int x = rect.left(); x <= rect.right(); ++x) picture.setPixel(x, y, qRgb(255, 255, 255));
    }
    const QImage upright = TurnedByQt(picture, GetParam());
    QRect marked;
    for (int y = 0; y < upright.height(); ++y) {
      for (int x = 0; x < upright.width(); ++x) {
        if (upright.pixel(x, y) == qRgb(255, 255, 255)) marked |= QRect(x, y, 1, 1);
      }
    }
    EXPECT_EQ(UprightRect(rect, stored, orientation), marked);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryValue, OrientationGeometry, ::testing::Range(1, 9));

TEST(OrientationGeometry, TagValuesOutsideTheRangeAreUpright) {
  EXPECT_EQ(OrientationFromTag(0), PictureOrientation::Upright);
  EXPECT_EQ(OrientationFromTag(9), PictureOrientation::Upright);
  EXPECT_EQ(OrientationFromTag(6), PictureOrientation::TurnClockwise);
}
