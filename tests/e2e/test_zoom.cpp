// The zoom window on a desktop with a window manager: its "&Anzeige" commands put it
// into and out of the window manager's "above" state without moving or resizing it, and
// "&In Zwischenablage kopieren" puts on the system clipboard what its client area shows,
// the picture stretched to the client size, as another program reads it from there.
// Shown, it stays above the main window it belongs to, also when that comes forward.
#include "main_window.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {
namespace {

const QString kZoomTitle = QStringLiteral("VELARIM--> Zoomansicht ...");

// The zoom window's menu bar at the top of its window: the middles of its titles.
constexpr int kMenuBarMiddle = 9;
constexpr int kEndeTitle = 23;
constexpr int kAnzeigeTitle = 73;
constexpr int kBearbeitenTitle = 140;

// A picture of four coloured quarters, clockwise from the top left.
const QRgb kQuarters[] = {qRgb(220, 40, 40), qRgb(40, 190, 40), qRgb(50, 50, 230), qRgb(235, 215, 30)};
constexpr QSize kPictureSize(300, 200);

bool Near(QRgb a, QRgb b, int tolerance = 24) {
  return std::abs(qRed(a) - qRed(b)) < tolerance && std::abs(qGreen(a) - qGreen(b)) < tolerance &&
         std::abs(qBlue(a) - qBlue(b)) < tolerance;
}

// Whether the area shows the four quarters at the middles of its own quarters.
bool ShowsQuarters(const QImage& area) {
  const int w = area.width(), h = area.height();
  return Near(area.pixel(w / 4, h / 4), kQuarters[0]) && Near(area.pixel(3 * w / 4, h / 4), kQuarters[1]) &&
         Near(area.pixel(3 * w / 4, 3 * h / 4), kQuarters[2]) && Near(area.pixel(w / 4, 3 * h / 4), kQuarters[3]);
}

QPoint ZoomMenuTitleAt(const Window& zoom, int x) { return zoom.geometry.topLeft() + QPoint(x, kMenuBarMiddle); }

// The picture on the clipboard, as a program that reads it as PNG gets it.
QImage ClipboardPicture(const Display& display) {
  const ToolResult read =
      RunTool(QStringLiteral("xclip"),
              {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), QStringLiteral("image/png"),
               QStringLiteral("-o")},
              display.Environment(), 5s);
  return read.ok() ? QImage::fromData(read.output, "PNG") : QImage();
}

class ZoomWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    QImage picture(kPictureSize, QImage::Format_RGB32);
    QPainter painter(&picture);
    const int w = kPictureSize.width() / 2, h = kPictureSize.height() / 2;
    painter.fillRect(0, 0, w, h, kQuarters[0]);
    painter.fillRect(w, 0, w, h, kQuarters[1]);
    painter.fillRect(w, h, w, h, kQuarters[2]);
    painter.fillRect(0, h, w, h, kQuarters[3]);
    painter.end();
    ASSERT_TRUE(picture.save(folder_.filePath(QStringLiteral("bild.jpg")), "JPEG", 95));

    ASSERT_TRUE(display_.Ready());
    velarim_ = std::make_unique<Velarim>(
        display_, VelarimOptions{.settings = LastFolderSettings(folder_.path())});
    main_ = velarim_->WaitForMainWindow();
    ASSERT_TRUE(main_) << velarim_->Log().toStdString();
    ASSERT_TRUE(PreviewFileRow(display_, *main_, 0)) << "the preview did not show the picture";
    zoom();
  }

  // "&Zoom" in the main window's menu bar shows the zoom window with the picture.
  void zoom() {
    display_.Click(MenuTitleOf(*main_, 1));
    zoom_ = velarim_->WaitForWindow(kZoomTitle);
    ASSERT_TRUE(zoom_) << velarim_->Log().toStdString();
    // The picture below the menu bar: its quarters' middles sit well inside the window's.
    ASSERT_TRUE(WaitUntil([&] { return ShowsQuarters(display_.Screenshot(zoom_->geometry.adjusted(0, 24, 0, 0))); }, 10s))
        << "the zoom window does not show the picture";
  }

  void TearDown() override {
    if (!main_) return;
    ASSERT_TRUE(CloseMainWindow(display_, *velarim_, *main_, CloseWay::AltF4));
    EXPECT_EQ(velarim_->WaitForExit(5s), 0) << velarim_->Log().toStdString();
  }

  bool above() const { return display_.WindowStates(zoom_->id).contains(QStringLiteral("above")); }
  // Whether the window manager stacks the zoom window above the main window.
  bool zoomAboveMain() const {
    const std::vector<unsigned long> order = display_.StackingOrder();
    const auto zoom = std::find(order.begin(), order.end(), zoom_->id);
    const auto main = std::find(order.begin(), order.end(), main_->id);
    return zoom != order.end() && main != order.end() && zoom > main;
  }
  QRect geometry() const {
    const std::optional<Window> now = display_.Describe(zoom_->id);
    return now ? now->geometry : QRect();
  }

  // "&Bearbeiten" > "&In Zwischenablage kopieren", its only item: the clipboard then holds
  // the client area as the screen shows it, the picture stretched to the client's size.
  void expectCopyShowsTheClientArea(const QString& name) {
    ASSERT_TRUE(ChooseMenuItemFromBottom(display_, *velarim_, ZoomMenuTitleAt(*zoom_, kBearbeitenTitle), 0));
    const QRect window = zoom_->geometry;
    QImage copied;
    ASSERT_TRUE(WaitUntil([&] { return (copied = ClipboardPicture(display_)).width() == window.width(); }, 5s))
        << "no picture of the window's width on the clipboard; " << velarim_->Log().toStdString();
    // The client area: the window's full width, below the menu bar.
    const int menuBar = window.height() - copied.height();
    EXPECT_GE(menuBar, 12);
    EXPECT_LE(menuBar, 40);
    EXPECT_NE(copied.size(), kPictureSize);
    EXPECT_TRUE(ShowsQuarters(copied));

    ASSERT_TRUE(WaitUntil([&] { return !WaitForDropDownMenu(*velarim_, ZoomMenuTitleAt(*zoom_, kBearbeitenTitle), 0ms); }, 5s));
    const QImage shown = display_.SettledScreenshot(window.adjusted(0, menuBar, 0, 0));
    copied.save(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral("-clipboard.png"));
    shown.save(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral("-client.png"));
    // Pixel for pixel what the screen shows there.
    EXPECT_EQ(DifferingPixels(copied, shown, 2), 0);
  }

  QTemporaryDir folder_;
  Display display_;
  std::unique_ptr<Velarim> velarim_;
  std::optional<Window> main_;
  std::optional<Window> zoom_;
};

TEST_F(ZoomWindowTest, StaysOnTopOnRequestAndBackInPlace) {  ASSERT_FALSE(above());
  const QRect placed = zoom_->geometry;

  // "&Anzeige" > "&Immer im Vordergrund", the first of its two items.
  ASSERT_TRUE(ChooseMenuItemFromBottom(display_, *velarim_, ZoomMenuTitleAt(*zoom_, kAnzeigeTitle), 1));
  EXPECT_TRUE(WaitUntil([&] { return above(); }, 5s)) << display_.WindowStates(zoom_->id).join(u' ').toStdString();  EXPECT_EQ(geometry(), placed);

  // "&Ende" hides it; "&Zoom" shows it again in the same place, still above the others.
  display_.Click(ZoomMenuTitleAt(*zoom_, kEndeTitle));
  ASSERT_TRUE(velarim_->WaitForWindowGone(zoom_->id));
  zoom();
  if (HasFatalFailure()) return;
  EXPECT_EQ(zoom_->geometry, placed);
  EXPECT_TRUE(above()) << display_.WindowStates(zoom_->id).join(u' ').toStdString();
  // "&Nicht im Vordergrund", the second.
  ASSERT_TRUE(ChooseMenuItemFromBottom(display_, *velarim_, ZoomMenuTitleAt(*zoom_, kAnzeigeTitle), 0));
  EXPECT_TRUE(WaitUntil([&] { return !above(); }, 5s)) << display_.WindowStates(zoom_->id).join(u' ').toStdString();
  EXPECT_EQ(geometry(), placed);

  // Back among the ordinary windows, it still stays above the main window it belongs to
  // when that is clicked.
  display_.Click(ClientPointOf(*main_));
  ASSERT_TRUE(WaitUntil([&] { return display_.FocusedWindow() == main_->id; }, 5s));
  EXPECT_TRUE(zoomAboveMain());  EXPECT_TRUE(ShowsQuarters(display_.SettledScreenshot(zoom_->geometry.adjusted(0, 24, 0, 0))))
      << "the main window covers the zoom window";
}

// The window manager brings the main window forward with its dialogs; the zoom window
// that the print command has just filled stays in view above it meanwhile.
TEST_F(ZoomWindowTest, StaysAboveTheMainWindowWhenTheCommandsDialogComesUp) {
  ASSERT_TRUE(display_.Focus(*main_));
  display_.Key(QStringLiteral("ctrl+d"));
  const std::optional<Window> format = velarim_->WaitForWindow(QStringLiteral("Arbeitsblattdialog mit Seitenregistern"));
  ASSERT_TRUE(format) << velarim_->Log().toStdString();
  ASSERT_TRUE(display_.Focus(*format));
  display_.Key(QStringLiteral("Return"));  // "OK": the zoom command, then the print dialog
  const std::optional<Window> printDialog = velarim_->WaitForWindow(QString(), QStringLiteral("dialog"));
  ASSERT_TRUE(printDialog) << velarim_->Log().toStdString();
  EXPECT_TRUE(WaitUntil([&] { return zoomAboveMain(); }, 5s)) << "the main window came up over the zoom window";
  EXPECT_FALSE(above()) << "the zoom window became topmost";
  ASSERT_TRUE(display_.Focus(*printDialog));
  display_.Key(QStringLiteral("Escape"));
  EXPECT_TRUE(velarim_->WaitForWindowGone(printDialog->id));
  EXPECT_TRUE(zoomAboveMain());
}

TEST_F(ZoomWindowTest, CopyPutsTheClientAreaAsShownOnTheClipboard) {
  ASSERT_TRUE(ClipboardPicture(display_).isNull()) << "the clipboard holds a picture before the copy";
  expectCopyShowsTheClientArea(QStringLiteral("velarim-zoom"));

  // Made larger, the window stretches the picture anew, and the copy has the new size.
  display_.Xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), QString::number(zoom_->id),
                    QStringLiteral("500"), QStringLiteral("400")});
  ASSERT_TRUE(WaitUntil([&] { return geometry().size() == QSize(500, 400); }, 5s)) << "the window was not resized";
  zoom_->geometry = geometry();
  expectCopyShowsTheClientArea(QStringLiteral("velarim-zoom-larger"));
}

}  // namespace
}  // namespace e2e
