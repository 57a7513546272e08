// Velarim installed the way a person installs it, `cmake --install` into a prefix of their
// own: the launcher starts the program in its program directory, which keeps the settings
// file since it is theirs to write, the desktop finds its entry, icons and metainfo, and
// the window carries the program's icon. (The package installed for everybody is in
// test_package.cpp.)
#include "main_window.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// The build folder is where the build put the executable.
QString BuildDir() { return QFileInfo(QStringLiteral(VELARIM_EXECUTABLE)).absolutePath(); }

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(prefixDir_.isValid());
    prefix_ = prefixDir_.path();
    const ToolResult installed =
        RunTool(QStringLiteral("cmake"), {QStringLiteral("--install"), BuildDir(), QStringLiteral("--prefix"), prefix_},
                QProcessEnvironment::systemEnvironment(), 60s);
    ASSERT_TRUE(installed.ok()) << installed.output.toStdString();
  }
  QString path(const QString& relative) const { return prefix_ + u'/' + relative; }
  QString programDir() const { return path(QStringLiteral("lib/velarim")); }
  VelarimOptions installedVelarim() const {
    return {.launcher = path(QStringLiteral("bin/velarim")), .installedProgramDir = programDir()};
  }

  QTemporaryDir prefixDir_;
  QString prefix_;
};

// The sizes of the images in the window's _NET_WM_ICON property, as xprop lists them.
QStringList WindowIconSizes(const Display& display, const Window& window) {
  const ToolResult shown = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.id),
                                                              QStringLiteral("_NET_WM_ICON")},
                                   display.Environment());
  QStringList sizes;
  const QRegularExpression size(QStringLiteral("Icon \\((\\d+) x (\\d+)\\)"));
  for (auto match = size.globalMatch(QString::fromUtf8(shown.output)); match.hasNext();) {
    const QRegularExpressionMatch found = match.next();
    sizes << found.captured(1) + u'x' + found.captured(2);
  }
  return sizes;
}

TEST_F(InstallTest, PutsTheDesktopFilesWhereTheDesktopLooksForThem) {
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("bin/velarim"))).isExecutable());
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("lib/velarim/Velarim"))).isExecutable());
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("lib/velarim/updates.url"))));

  // The installed entry starts the launcher by its full path, and is still valid.
  const QString entry = path(QStringLiteral("share/applications/velarim.desktop"));
  QFile entryFile(entry);
  ASSERT_TRUE(entryFile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(entryFile.readAll().contains("\nExec=\"" + path(QStringLiteral("bin/velarim")).toUtf8() + "\"\n"));
  const ToolResult validated = RunTool(QStringLiteral("desktop-file-validate"), {entry},
                                       QProcessEnvironment::systemEnvironment());
  EXPECT_TRUE(validated.ok()) << validated.output.toStdString();

  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QImage icon(path(QStringLiteral("share/icons/hicolor/%1x%1/apps/velarim.png").arg(size)));
    EXPECT_EQ(icon.size(), QSize(size, size)) << size << " px icon";
    EXPECT_TRUE(icon.hasAlphaChannel());
  }
  QFile svg(path(QStringLiteral("share/icons/hicolor/scalable/apps/velarim.svg")));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svg.readAll().contains("<svg "));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("share/metainfo/velarim.metainfo.xml"))));
}

TEST_F(InstallTest, LauncherStartsVelarimInItsProgramDirectoryWithItsIcon) {
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, installedVelarim());
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  // The images of the program's own icon at the sizes of title bars and task lists reach the
  // desktop (the platform leaves out the largest one).
  const QStringList iconSizes = WindowIconSizes(display, *main);
  for (const char* size : {"16x16", "32x32", "48x48"}) {
    EXPECT_TRUE(iconSizes.contains(QLatin1String(size))) << size << " not in " << iconSizes.join(u' ').toStdString();
  }

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  ASSERT_EQ(velarim.WaitForExit(2s), 0) << velarim.Log().toStdString();
  // The settings file is written beside the installed executable.
  EXPECT_TRUE(velarim.Settings().startsWith("[Verzeichnisse]\nletztes="));
}

}  // namespace
}  // namespace e2e
