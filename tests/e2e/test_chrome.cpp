// The main window's chrome on a real desktop: moved and resized by its own frame, it
// reopens where and how it was closed (maximised too); its gradient title while active
// and inactive; the toolbar dragged to the left edge with the mouse.
#include "main_window.h"

#include <QColor>
#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int kBorder = 4;
constexpr int kCaptionHeight = 19;
constexpr int kMenuHeight = 20;  // the title bar's caption rectangle ends 3 buttons of 18 before the border

// The window as the desktop has it now.
QRect GeometryOf(const Display& display, const Window& window) {
  const std::optional<Window> now = display.Describe(window.id);
  return now ? now->geometry : QRect();
}

// Holds the left button at from and moves to `to` until the window manager has moved or
// sized the window as asked; the motion is repeated, since the manager takes over the
// pointer only once it has seen the press.
bool DragFrame(const Display& display, const Window& window, QPoint from, QPoint to,
               const std::function<bool(const QRect&)>& done) {
  // Without waiting for the pointer to arrive: a move to where it already is never does.
  auto moveTo = [&](QPoint p) {
    display.Xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
  };
  display.MoveMouse(from);
  display.PressButton();
  const bool moved = WaitUntil(
      [&] {
        moveTo(to + QPoint(0, 1));
        moveTo(to);
        return done(GeometryOf(display, window));
      },
      5s);
  display.ReleaseButton();
  return moved;
}

VelarimOptions WithPlacement(const QByteArray& placement) {
  VelarimOptions options;
  options.placement = placement;
  return options;
}

QRect StartAndFindMain(Velarim& velarim, std::optional<Window>& main) {
  main = velarim.WaitForMainWindow();
  return main ? main->geometry : QRect();
}

QByteArray KeyOf(const QByteArray& ini, const QByteArray& key) {
  for (const QByteArray& line : ini.split('\n')) {
    if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
  }
  return QByteArray();
}

TEST(PlacementTest, ReopensWhereItWasMovedAndSizedByItsOwnFrame) {
  Display display;
  ASSERT_TRUE(display.Ready());
  QByteArray placement;
  QRect closedAt;
  {
    Velarim velarim(display);
    std::optional<Window> main;
    const QRect start = StartAndFindMain(velarim, main);
    ASSERT_TRUE(main) << velarim.Log().toStdString();
    EXPECT_EQ(start.topLeft(), QPoint(236, 117)) << "first start: the designed position";

    const QPoint grip = start.topLeft() + QPoint(300, kBorder + 8);  // the title bar
    const QPoint offset(150, 120);
    ASSERT_TRUE(DragFrame(display, *main, grip, grip + offset,
                          [&](const QRect& r) { return r.topLeft() == start.topLeft() + offset; }));
    const QRect moved = GeometryOf(display, *main);
    const QPoint corner = moved.bottomRight() - QPoint(1, 1);
    const QPoint growth(90, 70);
    ASSERT_TRUE(DragFrame(display, *main, corner, corner + growth,
                          [&](const QRect& r) { return r.size() == moved.size() + QSize(growth.x(), growth.y()); }));
    closedAt = GeometryOf(display, *main);
    EXPECT_EQ(closedAt.topLeft(), moved.topLeft());

    ASSERT_TRUE(CloseMainWindow(display, velarim, *display.Describe(main->id), CloseWay::TitleBarButton));
    ASSERT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
    placement = velarim.Placement();
  }
  EXPECT_TRUE(placement.startsWith("[TForm1]\nFormVersion=0\n")) << placement.toStdString();
  EXPECT_EQ(KeyOf(placement, "ShowCmd"), "1");
  EXPECT_EQ(KeyOf(placement, "NormPos(1280x1024)"),
            QStringLiteral("%1,%2,%3,%4").arg(closedAt.left()).arg(closedAt.top())
                .arg(closedAt.left() + closedAt.width()).arg(closedAt.top() + closedAt.height()).toUtf8());

  Velarim again(display, WithPlacement(placement));
  std::optional<Window> main;
  EXPECT_EQ(StartAndFindMain(again, main), closedAt);
  ASSERT_TRUE(main);
  ASSERT_TRUE(CloseMainWindow(display, again, *main, CloseWay::AltF4));
  EXPECT_EQ(again.WaitForExit(5s), 0) << again.Log().toStdString();
}

TEST(PlacementTest, ClosedMaximisedReopensMaximised) {
  Display display;
  ASSERT_TRUE(display.Ready());
  QByteArray placement;
  {
    Velarim velarim(display, WithPlacement("[TForm1]\nNormPos=300,200,900,700\n"));
    std::optional<Window> main;
    const QRect start = StartAndFindMain(velarim, main);
    ASSERT_TRUE(main) << velarim.Log().toStdString();
    EXPECT_EQ(start, QRect(300, 200, 600, 500));
    // The maximise button: left of the close button, with a 2-pixel gap.
    const QPoint maximise = CloseButtonOf(*main) - QPoint(18, 0);
    display.Click(maximise);
    ASSERT_TRUE(WaitUntil([&] { return GeometryOf(display, *main) == QRect(0, 0, 1280, 1024); }, 5s));
    const std::optional<Window> big = display.Describe(main->id);
    ASSERT_TRUE(CloseMainWindow(display, velarim, *big, CloseWay::TitleBarButton));
    ASSERT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
    placement = velarim.Placement();
  }
  EXPECT_EQ(KeyOf(placement, "ShowCmd"), "3");
  EXPECT_EQ(KeyOf(placement, "NormPos"), "300,200,900,700") << "the frame it is restored to";

  Velarim again(display, WithPlacement(placement));
  std::optional<Window> main;
  StartAndFindMain(again, main);
  ASSERT_TRUE(main) << again.Log().toStdString();
  EXPECT_TRUE(WaitUntil([&] { return GeometryOf(display, *main) == QRect(0, 0, 1280, 1024); }, 5s));
  display.Click(CloseButtonOf(*display.Describe(main->id)) - QPoint(18, 0));  // back to normal
  EXPECT_TRUE(WaitUntil([&] { return GeometryOf(display, *main) == QRect(300, 200, 600, 500); }, 5s));
  ASSERT_TRUE(CloseMainWindow(display, again, *display.Describe(main->id), CloseWay::AltF4));
  EXPECT_EQ(again.WaitForExit(5s), 0);
}

// The caption rectangle of the title bar, in screen coordinates.
QRect CaptionOf(const Window& main) {
  return QRect(main.geometry.left() + kBorder, main.geometry.top() + kBorder, main.geometry.width() - 2 * kBorder - 54,
               kCaptionHeight - 1);
}

int CountColourIn(const QImage& image, const QColor& colour);

// Pixels of this colour in the text area, right of the small icon.
int CountColour(const QImage& caption, const QColor& colour) {
  return CountColourIn(caption.copy(caption.height() + 2, 0, caption.width(), caption.height()), colour);
}

TEST(GradientTitleTest, ActiveGradientAndInactivePlainBar) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display);
  std::optional<Window> main;
  StartAndFindMain(velarim, main);
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QRect caption = CaptionOf(*main);
  const int row = caption.height() - 1;  // below the icon and the text
  QImage active;
  ASSERT_TRUE(WaitUntil(
      [&] {
        active = display.Screenshot(caption);
        return active.pixelColor(caption.width() - 1, row) == QColor(0, 0, 128);
      },
      5s));
  active.save(QStringLiteral("/tmp/velarim_e2e_title_active.png"));
  // From the window-text colour a fifth of the way to navy at the left, to navy at the right.
  EXPECT_EQ(active.pixelColor(0, row).red(), 0);
  EXPECT_NEAR(active.pixelColor(0, row).blue(), 26, 2);
  EXPECT_GT(active.pixelColor(caption.width() / 2, row).blue(), 60);
  EXPECT_GT(CountColour(active, Qt::white), 80) << "the white title text";

  // Another program's window, away from the first one, takes the activation.
  Velarim other(display, WithPlacement("[TForm1]\nNormPos=500,450,1226,960\n"));
  std::optional<Window> otherMain;
  StartAndFindMain(other, otherMain);
  ASSERT_TRUE(otherMain);
  QImage inactive;
  ASSERT_TRUE(WaitUntil(
      [&] {
        inactive = display.Screenshot(caption);
        return inactive.pixelColor(0, row) == QColor(128, 128, 128);
      },
      5s));
  inactive.save(QStringLiteral("/tmp/velarim_e2e_title_inactive.png"));
  EXPECT_EQ(inactive.pixelColor(caption.width() - 1, row), QColor(128, 128, 128));
  EXPECT_GT(CountColour(inactive, QColor(192, 192, 192)), 80) << "the title text in the inactive text colour";
  EXPECT_EQ(CountColour(inactive, Qt::white), 0);
  ASSERT_TRUE(CloseMainWindow(display, other, *otherMain, CloseWay::TitleBarButton));
  EXPECT_EQ(other.WaitForExit(5s), 0);
  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim.WaitForExit(5s), 0);
}

int CountColourIn(const QImage& image, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
  }
  return count;
}

bool IsWallpaper(const QColor& c) {
  return c.red() >= 0xC8 && c.red() <= 0xF2 && c.blue() > c.red() && c.blue() - c.red() <= 0x18;
}

TEST(ToolbarTest, DraggedToTheLeftEdgeItStandsUpright) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display, WithPlacement("[TForm1]\nNormPos=200,100,926,610\n"));
  std::optional<Window> main;
  StartAndFindMain(velarim, main);
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QPoint client = main->geometry.topLeft() + QPoint(kBorder, kBorder + kCaptionHeight + kMenuHeight);
  // The zoom button's glyph is grey until the pointer is over it: its lens turns cyan.
  const QRect zoomButton(client + QPoint(11, 8), QSize(40, 40));
  auto cyanPixels = [&] { return CountColourIn(display.Screenshot(zoomButton), QColor(0, 255, 255)); };
  EXPECT_EQ(cyanPixels(), 0);
  display.MoveMouse(zoomButton.center());
  EXPECT_TRUE(WaitUntil([&] { return cyanPixels() > 50; }, 5s));
  display.MoveMouse(client + QPoint(200, 70));  // not where the drag below starts
  EXPECT_TRUE(WaitUntil([&] { return cyanPixels() == 0; }, 5s));

  // The client's left column below the bar is the folder pages now.
  EXPECT_FALSE(IsWallpaper(display.Screenshot(QRect(client + QPoint(40, 300), QSize(1, 1))).pixelColor(0, 0)));

  display.Drag(client + QPoint(130, 70), client + QPoint(20, 240));
  EXPECT_TRUE(WaitUntil(
      [&] { return IsWallpaper(display.Screenshot(QRect(client + QPoint(40, 300), QSize(1, 1))).pixelColor(0, 0)); },
      5s));
  const QImage shot = display.Screenshot(QRect(client, QSize(718, 465)));
  shot.save(QStringLiteral("/tmp/velarim_e2e_toolbar_left.png"));
  EXPECT_FALSE(IsWallpaper(shot.pixelColor(400, 40))) << "the top strip is free for the pages";
  // The zoom button at (8, 11) above the print button at (8, 59): grey glyphs on the bar.
  const QImage zoom = shot.copy(8, 11, 40, 40);
  const QImage print = shot.copy(8, 59, 40, 40);
  EXPECT_GT(DifferingPixels(zoom, shot.copy(8, 200, 40, 40), 16), 100);
  EXPECT_GT(DifferingPixels(print, shot.copy(8, 200, 40, 40), 16), 100);
  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
