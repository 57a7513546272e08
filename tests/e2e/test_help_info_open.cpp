// The help, the information window and the desktop opener, used with real keys: F1
// opens the topics finder on the program directory's help file and its search finds a
// topic; "In&fo" shows the name and build lines and Escape closes it; F2 hands the
// selected picture to the desktop's opener, here a stand-in xdg-open that only writes
// down what it was asked to open.
#include "main_window.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>
#include <gtest/gtest.h>

namespace e2e {
namespace {

const QString kInfoTitle = QStringLiteral("www.velarim.example.org .. immer ein Besuch wert");

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The help file as it ships beside the built executable.
QString ShippedHelpFile() { return QFileInfo(QStringLiteral(VELARIM_EXECUTABLE)).path() + QStringLiteral("/Velarim.HLP"); }

// A stand-in xdg-open: it appends each argument it gets to a record file and starts
// nothing. Its PATH variable puts it before the real one.
class StandInOpener {
 public:
  StandInOpener() {
    record_ = dir_.path() + QStringLiteral("/opened.txt");
    const QString script = dir_.path() + QStringLiteral("/xdg-open");
    WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + QFile::encodeName(record_) + "'\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  QString PathVariable() const {
    return QStringLiteral("PATH=") + dir_.path() + QLatin1Char(':') + qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin"));
  }
  QByteArray Opened() const { return ReadFile(record_); }

 private:
  QTemporaryDir dir_;
  QString record_;
};

// The left and right ends of the dark (text) pixels in each band of rows that has any.
struct TextLine {
  int top, left, right;
  int width() const { return right - left + 1; }
};

// The frame around the name and build lines: the first long row of the bevel's shadow grey.
std::optional<QRect> BevelIn(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    int left = -1, count = 0;
    for (int x = 0; x < image.width(); ++x) {
      const int gray = qGray(image.pixel(x, y));
      if (gray >= 100 && gray <= 170) {
        if (left < 0) left = x;
        ++count;
      }
    }
    if (count >= 380 && count <= 420) return QRect(left, y, 400, 93);  // not the full-width header
  }
  return std::nullopt;
}

std::vector<TextLine> TextLines(const QImage& image, const QRect& area) {
  std::vector<TextLine> lines;
  bool inLine = false;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int left = -1, right = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 80) {
        if (left < 0) left = x;
        right = x;
      }
    }
    if (left < 0) {
      inLine = false;
      continue;
    }
    if (!inLine) lines.push_back({y, left, right});
    lines.back().left = std::min(lines.back().left, left);
    lines.back().right = std::max(lines.back().right, right);
    inLine = true;
  }
  return lines;
}

TEST(HelpAndInfoTest, F1OpensTheFinderOfTheProgramDirectorysHelpFileAndSearchFindsATopic) {
  Display display;
  ASSERT_TRUE(display.Ready());
  // The folder list starts in a folder of its own, which holds a help file of the same
  // name that must not be the one opened.
  QTemporaryDir pictures;
  WriteFile(pictures.path() + QStringLiteral("/Velarim.HLP"), "VELARIM-HILFE 1\n@titel Falsche Hilfe\n== a | Falsch\n");
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + pictures.path().toUtf8() + "\n",
                            .prepare = [](const QString& programDir) {
                              QFile::copy(ShippedHelpFile(), programDir + QStringLiteral("/Velarim.HLP"));
                            }});
  ASSERT_TRUE(QFile::exists(velarim.ProgramDir() + QStringLiteral("/Velarim.HLP")));
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*main));

  display.Key(QStringLiteral("F1"));
  const std::optional<Window> finder =
      velarim.WaitForWindow(QStringLiteral("Hilfethemen: Velarim-Hilfe - Willkommen bei Velarim"));
  ASSERT_TRUE(finder) << velarim.Log().toStdString();
  display.Screenshot().save(QDir::tempPath() + QStringLiteral("/velarim-topics-finder.png"));

  // Alt+S opens the search page with its input focused; the hit is shown at once.
  display.Key(QStringLiteral("alt+s"));
  display.Type(QStringLiteral("Zwischenablage"));
  display.Key(QStringLiteral("Return"));
  EXPECT_TRUE(velarim.WaitForWindow(QStringLiteral("Hilfethemen: Velarim-Hilfe - Das Zoomfenster"), QString(), 5s));
  display.Screenshot().save(QDir::tempPath() + QStringLiteral("/velarim-topics-search.png"));

  display.Key(QStringLiteral("Escape"));
  EXPECT_TRUE(velarim.WaitForWindowGone(finder->id));
  ASSERT_TRUE(display.Focus(*main));
  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

TEST(HelpAndInfoTest, InfoShowsNameAndBuildAndEscapeClosesIt) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  display.Click(MenuTitleOf(*main, 2));  // "&Hilfe"
  ASSERT_TRUE(WaitForDropDownMenu(velarim, MenuTitleOf(*main, 2)));
  display.Key(QStringLiteral("f"));  // "In&fo"
  const std::optional<Window> info = velarim.WaitForWindow(kInfoTitle);
  ASSERT_TRUE(info) << velarim.Log().toStdString();
  EXPECT_EQ(info->geometry.size(), QSize(484, 386));

  // The framed lines: "VELARIM V3.0 Webversion" and, below it, "Built 3.0.0.5". Seen
  // from outside as two lines of text whose widths keep the ratio of those texts
  // (13 against 23 characters; "Built " alone would be far narrower).
  QImage shot;
  std::optional<QRect> bevel;
  std::vector<TextLine> lines;
  WaitUntil(
      [&] {
        shot = display.Screenshot(info->geometry.adjusted(0, -40, 0, 0));
        bevel = BevelIn(shot);
        if (bevel) lines = TextLines(shot, bevel->adjusted(3, 3, -3, -3));
        return lines.size() == 2;
      },
      5s);
  shot.save(QDir::tempPath() + QStringLiteral("/velarim-info.png"));
  ASSERT_TRUE(bevel);
  ASSERT_EQ(lines.size(), 2u);
  const double ratio = double(lines[1].width()) / lines[0].width();
  EXPECT_GT(ratio, 0.4);
  EXPECT_LT(ratio, 0.75);
  // Both centred in the frame.
  EXPECT_NEAR((lines[0].left + lines[0].right) / 2, bevel->center().x(), 4);
  EXPECT_NEAR((lines[1].left + lines[1].right) / 2, bevel->center().x(), 4);

  display.Key(QStringLiteral("Escape"));
  EXPECT_TRUE(velarim.WaitForWindowGone(info->id));
  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

TEST(HelpAndInfoTest, F2HandsTheSelectedPictureToTheDesktopOpener) {
  StandInOpener opener;
  Display display;
  ASSERT_TRUE(display.Ready());
  QTemporaryDir pictures;
  const QString picture = pictures.path() + QStringLiteral("/Urlaub am See.jpg");
  WriteFile(picture, "\xFF\xD8\xFF\xD9");
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + pictures.path().toUtf8() + "\n",
                            .environment = {opener.PathVariable()}});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*main));

  // The first entry of the file list, right of the folder list, below the tool bar, the
  // slide pages and the mask row.
  display.Click(main->geometry.topLeft() + QPoint(240, 328));
  display.Key(QStringLiteral("F2"));
  // The browse dialog lists just the picture; closing it opens the picture.
  const std::optional<Window> dialog =
      velarim.WaitForWindow(QStringLiteral("Bearbeitungsmöglichkeiten mit der rechten Maustaste .."));
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  display.Key(QStringLiteral("Escape"));
  const QByteArray expected = QUrl::fromLocalFile(QFileInfo(picture).canonicalFilePath()).toEncoded() + "\n";
  EXPECT_TRUE(WaitUntil([&] { return opener.Opened() == expected; }, 10s)) << opener.Opened().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
