// The toolbar: the drop triangles, the drag threshold, the button grid, wallpaper tiles,
// grey glyphs, the resources it is drawn from, and a drag to the left edge with the mouse.
#include "chrome/chrome_resources.h"
#include "chrome/glyphs.h"
#include "chrome/speed_bar.h"
#include "framework/application.h"
#include "framework/form.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

TEST(DropEdge, DiagonalsSplitTheWindowIntoFourTriangles) {
  const QSize client(718, 465);
  struct Case { double x, y; TAlign expected; };
  for (const Case& c : {Case{359, 10, TAlign::alTop}, Case{359, 455, TAlign::alBottom}, Case{10, 232, TAlign::alLeft},
                        Case{708, 232, TAlign::alRight}, Case{0, 0, TAlign::alTop} /* on a diagonal */,
                        Case{0, 465, TAlign::alBottom}, Case{718, 0, TAlign::alRight}}) {
    EXPECT_EQ(DropEdge(QPointF(c.x, c.y), client), c.expected) << c.x << "," << c.y;
  }
}

TEST(DragThreshold, FivePixelsAlongEitherAxis) {
  EXPECT_FALSE(DragThresholdReached(QPoint(100, 100), QPoint(104, 104)));
  EXPECT_FALSE(DragThresholdReached(QPoint(100, 100), QPoint(96, 96)));
  EXPECT_TRUE(DragThresholdReached(QPoint(100, 100), QPoint(105, 100)));
  EXPECT_TRUE(DragThresholdReached(QPoint(100, 100), QPoint(100, 95)));
}

TEST(ButtonGrid, StepIsADivisorOfTheButtonSize) {
  struct Case { int size, step; };
  for (const Case& c : {Case{40, 8}, Case{1, 1}, Case{2, 1}, Case{9, 3}, Case{7, 1}, Case{25, 5}, Case{50, 10},
                        Case{30, 10}, Case{24, 8}}) {
    EXPECT_EQ(ButtonGridStep(c.size), c.step) << c.size;
  }
}

TEST(ButtonGrid, SnappingAlongAndAcrossTheBar) {
  EXPECT_EQ(SnapAlongBar(12, 3, 8), 11);
  EXPECT_EQ(SnapAlongBar(7, 3, 8), 3) << "halfway between lines 0 and 1 goes to the even one";
  EXPECT_EQ(SnapAlongBar(15, 3, 8), 19) << "halfway between lines 1 and 2 goes to the even one";
  EXPECT_EQ(SnapAlongBar(60, 3, 8), 59);
  EXPECT_EQ(SnapAcrossBar(47, 8, 40), 8);
  EXPECT_EQ(SnapAcrossBar(48, 8, 40), 48);
  EXPECT_EQ(SnapAcrossBar(5, 8, 40), -32);
}

TEST(Wallpaper, UnscaledTilesFromTheInnerCorner) {
  const std::vector<QPoint> bar = WallpaperTiles(QRect(1, 1, 716, 79), QSize(640, 125));
  EXPECT_EQ(bar, (std::vector<QPoint>{QPoint(1, 1), QPoint(641, 1)}));
  EXPECT_EQ(WallpaperTiles(QRect(1, 1, 1281, 79), QSize(640, 125)).size(), 3u);
  EXPECT_EQ(WallpaperTiles(QRect(1, 1, 79, 463), QSize(640, 125)).size(), 4u) << "upright: rows of tiles";
  EXPECT_TRUE(WallpaperTiles(QRect(1, 1, 79, 463), QSize()).empty());
}

TEST(Glyphs, GreyLevelsKeepTransparentAndFacePixels) {
  QImage glyph(3, 1, QImage::Format_RGB32);
  glyph.setPixel(0, 0, qRgb(255, 0, 0));
  glyph.setPixel(1, 0, qRgb(128, 128, 0));
  glyph.setPixel(2, 0, qRgb(192, 192, 192));
  const QImage grey = GrayedGlyph(glyph, qRgb(128, 128, 0), qRgb(192, 192, 192));
  EXPECT_EQ(grey.pixel(0, 0) & 0xFFFFFF, qRgb(76, 76, 76) & 0xFFFFFF);
  EXPECT_EQ(grey.pixel(1, 0) & 0xFFFFFF, qRgb(128, 128, 0) & 0xFFFFFF);
  EXPECT_EQ(grey.pixel(2, 0) & 0xFFFFFF, qRgb(192, 192, 192) & 0xFFFFFF);
}

TEST(Glyphs, SixteenColoursWithOliveTransparency) {
  for (const QImage& glyph : {ZoomGlyph(), PrintGlyph()}) {
    EXPECT_EQ(glyph.size(), QSize(32, 32));
    EXPECT_LE(glyph.colorCount(), 16);
    EXPECT_EQ(glyph.pixel(0, 31) & 0xFFFFFF, qRgb(128, 128, 0) & 0xFFFFFF);
  }
}

TEST(Resources, WallpaperAndDragCursorLoadThroughOurLoaders) {
  const QImage wallpaper = LoadBitmapResource(QStringLiteral("BACKGROUND"));
  EXPECT_EQ(wallpaper.size(), QSize(640, 125));
  EXPECT_EQ(wallpaper.format(), QImage::Format_Indexed8);
  const QCursor cursor = DragCursor();
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(1, 1));
  EXPECT_TRUE(LoadBitmapResource(QStringLiteral("NOTHING")).isNull());
}

class BarForm : public TForm {
 public:
  explicit BarForm(TComponent* AOwner) : TForm(AOwner) {
    SetClientSize(718, 465);
    Toolbar = new TSpeedBar(this);
    Toolbar->SetBounds(0, 0, 718, 81);
    Toolbar->SetParent(this);
    Toolbar->SetAlign(TAlign::alTop);
    Rest = new TCustomControl(this);
    Rest->SetParent(this);
    Rest->SetAlign(TAlign::alClient);
    TSpeedbarSection* section = Toolbar->AddSection(QStringLiteral("Untitled (0)"));
    ZoomBt = new TSpeedItem(this);
    DruckBt = new TSpeedItem(this);
    Toolbar->AddItem(section, ZoomBt, 11, 8);
    Toolbar->AddItem(section, DruckBt, 59, 8);
    ZoomBt->SetGlyph(ZoomGlyph());
  }
  TSpeedBar* Toolbar;
  TCustomControl* Rest;
  TSpeedItem* ZoomBt;
  TSpeedItem* DruckBt;
};

class SpeedBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = new BarForm(nullptr);
    form_->Show();
    QCoreApplication::processEvents();
  }
  void TearDown() override { delete form_; }

  void mouse(QEvent::Type type, const QPoint& barPoint) {
    QWidget* bar = form_->Toolbar->Widget();
    const QPoint global = bar->mapToGlobal(barPoint);
    QMouseEvent event(type, QPointF(barPoint), QPointF(global), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &event);
  }
  // A press at from and moves through the client points to `to`, in bar coordinates.
  void drag(const QPoint& from, const std::vector<QPoint>& clientPath) {
    mouse(QEvent::MouseButtonPress, from);
    QWidget* client = form_->ClientWidget();
    QPoint last = from;
    for (const QPoint& p : clientPath) {
      last = form_->Toolbar->Widget()->mapFromGlobal(client->mapToGlobal(p));
      mouse(QEvent::MouseMove, last);
    }
    mouse(QEvent::MouseButtonRelease, last);
  }

  BarForm* form_;
};

TEST_F(SpeedBarTest, SectionCaptionsStayUnique) {
  EXPECT_EQ(form_->Toolbar->AddSection(QStringLiteral("Untitled (0)"))->Caption(), QStringLiteral("Untitled (0) (1)"));
  EXPECT_EQ(form_->Toolbar->AddSection(QStringLiteral("Untitled (0)"))->Caption(), QStringLiteral("Untitled (0) (2)"));
  EXPECT_EQ(form_->Toolbar->Sections()[0]->Items().size(), 2u);
}

TEST_F(SpeedBarTest, FourPixelMoveIsNoDrag) {
  mouse(QEvent::MouseButtonPress, QPoint(130, 60));
  mouse(QEvent::MouseMove, QPoint(134, 64));
  EXPECT_FALSE(form_->Toolbar->Dragging());
  mouse(QEvent::MouseButtonRelease, QPoint(134, 64));
  EXPECT_EQ(form_->Toolbar->Align(), TAlign::alTop);
  EXPECT_EQ(form_->Toolbar->BoundsRect(), QRect(0, 0, 718, 81));
}

TEST_F(SpeedBarTest, DraggedToTheLeftTriangleItStandsUpright) {
  drag(QPoint(130, 60), {QPoint(130, 100), QPoint(60, 200), QPoint(20, 240)});
  EXPECT_FALSE(form_->Toolbar->Dragging());
  EXPECT_EQ(form_->Toolbar->Align(), TAlign::alLeft);
  EXPECT_EQ(form_->Toolbar->Orientation(), TBarOrientation::boVertical);
  EXPECT_EQ(form_->Toolbar->BoundsRect(), QRect(0, 0, 81, 465));
  EXPECT_EQ(form_->ZoomBt->BoundsRect().topLeft(), QPoint(8, 11));
  EXPECT_EQ(form_->DruckBt->BoundsRect().topLeft(), QPoint(8, 59));
  EXPECT_EQ(form_->Rest->BoundsRect(), QRect(81, 0, 718 - 81, 465)) << "the rest of the window follows";
  EXPECT_EQ(form_->Toolbar->GridStepVert(), 8);

  drag(QPoint(40, 300), {QPoint(359, 300), QPoint(359, 455)});
  EXPECT_EQ(form_->Toolbar->Align(), TAlign::alBottom);
  EXPECT_EQ(form_->Toolbar->BoundsRect(), QRect(0, 465 - 81, 718, 81));
  EXPECT_EQ(form_->ZoomBt->BoundsRect().topLeft(), QPoint(11, 8));
  EXPECT_EQ(form_->DruckBt->BoundsRect().topLeft(), QPoint(59, 8));
}

TEST_F(SpeedBarTest, DropFrameFollowsTheTriangles) {
  const QWidget* client = form_->ClientWidget();
  TAlign edge = TAlign::alNone;
  const QRect right = form_->Toolbar->DropRectAt(client->mapToGlobal(QPoint(700, 232)), &edge);
  EXPECT_EQ(edge, TAlign::alRight);
  EXPECT_EQ(right, QRect(client->mapToGlobal(QPoint(718 - 81, 0)), QSize(81, 465)));
  form_->Toolbar->DropRectAt(client->mapToGlobal(QPoint(359, 5)), &edge);
  EXPECT_EQ(edge, TAlign::alTop);
}

TEST_F(SpeedBarTest, PressOnAButtonDoesNotDragTheBar) {
  drag(QPoint(20, 20), {QPoint(20, 240)});
  EXPECT_EQ(form_->Toolbar->Align(), TAlign::alTop);
}

TEST_F(SpeedBarTest, GlyphIsGreyUntilHovered) {
  const QImage plain = form_->ZoomBt->Render();
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(form_->ZoomBt->Widget(), &enter);
  EXPECT_TRUE(form_->ZoomBt->Hovered());
  const QImage hovered = form_->ZoomBt->Render();
  // The lens is cyan in colour and grey without the pointer.
  const QColor lensPlain = plain.pixelColor(20, 16);
  const QColor lensHovered = hovered.pixelColor(20, 16);
  EXPECT_EQ(lensPlain.red(), lensPlain.blue());
  EXPECT_EQ(lensHovered, QColor(0, 255, 255));
  EXPECT_EQ(hovered.pixelColor(0, 0), QColor(255, 255, 255)) << "the raised frame while hovered";
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(form_->ZoomBt->Widget(), &leave);
  EXPECT_EQ(form_->ZoomBt->Render(), plain);
}

TEST_F(SpeedBarTest, RescaledButtonsSnapToTheGrid) {
  form_->Toolbar->ScaleButtons(120, 96);
  EXPECT_EQ(form_->Toolbar->BtnWidth(), 50);
  EXPECT_EQ(form_->Toolbar->BtnOffsetHorz(), 4);
  EXPECT_EQ(form_->Toolbar->BtnOffsetVert(), 10);
  EXPECT_EQ(form_->ZoomBt->BoundsRect(), QRect(14, 10, 50, 50));
  EXPECT_EQ(form_->DruckBt->BoundsRect(), QRect(74, 10, 50, 50));
}

}  // namespace
