// The crossing cursor: the program's own cursor file, read by the program's cursor
// reader, registered at start and removed at the end; damaged cursor files are refused.
#include "framework/cursors.h"
#include "picture/icon.h"
#include "platform/errors.h"
#include "sheet/quad_split.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray CursorResource() {
  QFile file(QStringLiteral(":/sheet/ABCCRSIZE.cur"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

CursorImage Read(const QByteArray& bytes) {
  return ReadCursorFile(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

TEST(SplitCursor, ResourceIsAFourWayArrowWithItsHotSpotInTheMiddle) {
  const CursorImage cursor = Read(CursorResource());
  ASSERT_EQ(cursor.image.size(), QSize(32, 32));
  EXPECT_EQ(cursor.hotSpot, QPoint(15, 15));
  EXPECT_EQ(cursor.image.pixel(15, 15), qRgb(0, 0, 0));        // the crossing shafts
  EXPECT_EQ(cursor.image.pixel(15, 1), qRgb(0, 0, 0));         // the tip of the upper arrow
  EXPECT_EQ(cursor.image.pixel(15, 0), qRgb(255, 255, 255));   // its outline
  EXPECT_EQ(qAlpha(cursor.image.pixel(0, 0)), 0);              // a transparent corner
  EXPECT_EQ(qAlpha(cursor.image.pixel(5, 25)), 0);
}

TEST(SplitCursor, RegisteredAtStartAndRemovedAtTheEnd) {
  EXPECT_FALSE(HasRegisteredCursor(crSplitCross));
  RegisterSplitCursors();
  ASSERT_TRUE(HasRegisteredCursor(crSplitCross));
  EXPECT_EQ(ScreenCursor(crSplitCross).shape(), Qt::BitmapCursor);
  EXPECT_EQ(ScreenCursor(crSplitCross).pixmap().size(), QSize(32, 32));
  UnregisterSplitCursors();
  EXPECT_FALSE(HasRegisteredCursor(crSplitCross));
  EXPECT_EQ(ScreenCursor(crSplitCross).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ScreenCursor(crHSplit).shape(), Qt::SplitHCursor);
}

TEST(SplitCursor, DamagedCursorFilesAreRefused) {
  const QByteArray good = CursorResource();
  QByteArray icon = good;
  icon[2] = 1;  // an icon file is not a cursor
  QByteArray noImages = good;
  noImages[4] = 0;
  QByteArray outside = good;
  outside[18] = static_cast<char>(0x7F);  // image offset far beyond the file
  for (const QByteArray& bad : {good.left(good.size() / 2), good.left(10), icon, noImages, outside, QByteArray()}) {
    try {
      Read(bad);
      ADD_FAILURE() << "accepted " << bad.size() << " bytes";
    } catch (const EInvalidGraphic& error) {
      EXPECT_EQ(error.Message(), QStringLiteral("Ungültiger Mauszeiger"));
    }
  }
}

}  // namespace
