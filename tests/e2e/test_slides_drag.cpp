// Filling the slides of both sheets by dragging files from the file list with the real
// mouse, and clearing them with a click. Each picture shows squeezed over its whole
// pane, whatever its own shape; a click leaves the pane's button face again, and the
// slides of the other sheet keep their pictures.
#include "main_window.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <array>

namespace e2e {
namespace {

// A picture of two halves, so that a screenshot tells whether it covers its pane from
// edge to edge: a light upper and a dark lower half of one colour.
struct Picture {
  QString name;
  QSize size;
  QRgb upper, lower;
};

QRgb Darker(QRgb c) { return qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2); }

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

// Four pictures for a sheet, in the file list's order: portrait ones for the landscape
// panes of the first sheet, landscape ones for the upright panes of the second.
std::array<Picture, 4> PicturesFor(const QString& prefix, QSize size) {
  const QRgb colours[] = {qRgb(230, 40, 40), qRgb(40, 200, 40), qRgb(60, 60, 240), qRgb(240, 220, 30)};
  std::array<Picture, 4> pictures;
  for (int i = 0; i < 4; ++i) pictures[i] = {prefix + QString::number(i) + QStringLiteral(".jpg"), size, colours[i], Darker(colours[i])};
  return pictures;
}

class SlidesDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    for (const auto* pictures : {&firstPictures_, &secondPictures_}) {
      for (const Picture& picture : *pictures) {
        QImage image(picture.size, QImage::Format_RGB32);
        image.fill(picture.upper);
        QPainter(&image).fillRect(0, picture.size.height() / 2, picture.size.width(), picture.size.height(), picture.lower);
        ASSERT_TRUE(image.save(folder_.filePath(picture.name), "JPEG", 95));
      }
    }
    ASSERT_TRUE(display_.Ready());
    velarim_ = std::make_unique<Velarim>(
        display_, VelarimOptions{.settings = LastFolderSettings(folder_.path())});
    main_ = velarim_->WaitForMainWindow();
    ASSERT_TRUE(main_) << velarim_->Log().toStdString();
  }

  void TearDown() override {
    if (!main_) return;
    ASSERT_TRUE(CloseMainWindow(display_, *velarim_, *main_, CloseWay::AltF4));
    EXPECT_EQ(velarim_->WaitForExit(5s), 0) << velarim_->Log().toStdString();
  }

  QRect splitOnScreen(const Sheet& sheet) const { return sheet.split.translated(main_->geometry.topLeft()); }
  QRect paneOnScreen(const Sheet& sheet, int pane) const {
    return sheet.panes[pane].translated(splitOnScreen(sheet).topLeft());
  }

  void showSheet(const Sheet& sheet) const { display_.Click(main_->geometry.topLeft() + sheet.tab); }

  // The picture fills the pane: light at both top corners, dark at both bottom ones.
  bool showsPicture(const Sheet& sheet, int pane, const Picture& picture) const {
    const QImage shot = display_.Screenshot(paneOnScreen(sheet, pane).adjusted(2, 2, -2, -2));
    const int right = shot.width() - 1, bottom = shot.height() - 1;
    return Near(shot.pixel(0, 0), picture.upper) && Near(shot.pixel(right, 0), picture.upper) &&
           Near(shot.pixel(0, bottom), picture.lower) && Near(shot.pixel(right, bottom), picture.lower);
  }

  bool showsFace(const Sheet& sheet, int pane) const {
    const QRgb face = display_.Screenshot().pixel(splitOnScreen(sheet).topLeft() + sheet.barFace);
    const QImage shot = display_.Screenshot(paneOnScreen(sheet, pane));
    for (const QPoint p : {QPoint(1, 1), shot.rect().center(), shot.rect().bottomRight() - QPoint(1, 1)}) {
      if (shot.pixel(p) != face) return false;
    }
    return true;
  }

  // Drags the files of the rows from the first on to the four panes, one after the other.
  void fillSheet(const Sheet& sheet, int firstRow, const std::array<Picture, 4>& pictures) const {
    for (int pane = 0; pane < 4; ++pane) {
      display_.Drag(FileRowOf(*main_, firstRow + pane), paneOnScreen(sheet, pane).center());
      EXPECT_TRUE(WaitUntil([&] { return showsPicture(sheet, pane, pictures[pane]); }, 5s))
          << "slide " << pane << " not filled with " << pictures[pane].name.toStdString();
    }
  }

  void clearSlide(const Sheet& sheet, int pane) const {
    display_.Click(paneOnScreen(sheet, pane).center());
    EXPECT_TRUE(WaitUntil([&] { return showsFace(sheet, pane); }, 5s)) << "slide " << pane << " not cleared";
  }

  QTemporaryDir folder_;
  const std::array<Picture, 4> firstPictures_ = PicturesFor(QStringLiteral("a"), QSize(30, 60));
  const std::array<Picture, 4> secondPictures_ = PicturesFor(QStringLiteral("b"), QSize(60, 30));
  Display display_;
  std::unique_ptr<Velarim> velarim_;
  std::optional<Window> main_;
};

TEST_F(SlidesDragTest, DragFromTheFileListFillsEachSlideOfTheFirstSheetAndAClickClearsOne) {
  fillSheet(kFirstSheet, 0, firstPictures_);
  clearSlide(kFirstSheet, 1);
  for (const int pane : {0, 2, 3}) EXPECT_TRUE(showsPicture(kFirstSheet, pane, firstPictures_[pane])) << pane;
}

TEST_F(SlidesDragTest, TheSecondSheetFillsAndClearsAloneAndTheFirstKeepsItsSlides) {
  fillSheet(kFirstSheet, 0, firstPictures_);
  showSheet(kSecondSheet);
  fillSheet(kSecondSheet, 4, secondPictures_);
  display_.Screenshot(splitOnScreen(kSecondSheet)).save(QDir::tempPath() + QStringLiteral("/velarim-second-sheet.png"));

  clearSlide(kSecondSheet, 2);
  for (const int pane : {0, 1, 3}) EXPECT_TRUE(showsPicture(kSecondSheet, pane, secondPictures_[pane])) << pane;
  for (const int pane : {0, 1, 3}) clearSlide(kSecondSheet, pane);

  showSheet(kFirstSheet);
  for (int pane = 0; pane < 4; ++pane) {
    EXPECT_TRUE(WaitUntil([&] { return showsPicture(kFirstSheet, pane, firstPictures_[pane]); }, 5s))
        << "slide " << pane << " of the first sheet lost its picture";
  }
  display_.Screenshot(splitOnScreen(kFirstSheet)).save(QDir::tempPath() + QStringLiteral("/velarim-first-sheet.png"));
}

}  // namespace
}  // namespace e2e
