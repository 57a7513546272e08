// The Debian package, built in a release build of its own before these cases run: what it
// holds and where, what lintian and apt say of it, and the installed program used by a
// person who may not write its program directory, whose settings go to their own config
// folder and come back at the next start.
#include "main_window.h"
#include "read_only_program.h"
#include "tests/support/file_bytes.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <iostream>
#include <set>

namespace e2e {
namespace {

const QProcessEnvironment kSystem = QProcessEnvironment::systemEnvironment();

// The one package that the package build made.
QString PackageFile() {
  const QDir build(QStringLiteral(VELARIM_PACKAGE_BUILD));
  const QStringList found = build.entryList({QStringLiteral("velarim_*_amd64.deb")}, QDir::Files);
  return found.size() == 1 ? build.filePath(found.front()) : QString();
}

QString ControlField(const QString& package, const QString& field) {
  return QString::fromUtf8(RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), package, field}, kSystem).output)
      .trimmed();
}

QStringList Lines(const QByteArray& output) {
  return QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
}

// The entries of a folder, hidden ones too, sorted.
QStringList Entries(const QString& folder) {
  QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  entries.sort();
  return entries;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    package_ = PackageFile();
    ASSERT_FALSE(package_.isEmpty()) << "no single velarim_*_amd64.deb in " VELARIM_PACKAGE_BUILD;
    ASSERT_TRUE(root_.isValid());
  }
  // Unpacks the package into the temporary root, as dpkg would into /.
  void Extract() {
    const ToolResult extracted =
        RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--extract"), package_, root_.path()}, kSystem, 60s);
    ASSERT_TRUE(extracted.ok()) << extracted.output.toStdString();
  }
  QString Unpacked(const QString& path) const { return root_.path() + path; }

  QString package_;
  QTemporaryDir root_;
};

TEST_F(PackageTest, IsNamedAfterTheVersionBlockAndNeedsWhatTheProgramLoads) {
  const QString version = ControlField(package_, QStringLiteral("Version"));
  EXPECT_EQ(QFileInfo(package_).fileName(), QStringLiteral("velarim_%1_amd64.deb").arg(version));
  EXPECT_EQ(ControlField(package_, QStringLiteral("Package")), QStringLiteral("velarim"));
  EXPECT_EQ(ControlField(package_, QStringLiteral("Architecture")), QStringLiteral("amd64"));

  // The executable's own version block (UTF-16 text) carries the same file version.
  Extract();
  const QByteArray program = ReadBytes(Unpacked(QStringLiteral("/usr/lib/velarim/Velarim")));
  const QString fileVersion = QStringLiteral("FileVersion") + QChar(0);
  const QString versionText = version + QChar(0);
  const auto utf16 = [](const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  };
  const qsizetype key = program.indexOf(utf16(fileVersion));
  ASSERT_GE(key, 0) << "no version block in the packaged program";
  // The value follows its key, padded to four bytes.
  const qsizetype value = program.indexOf(utf16(versionText), key);
  EXPECT_TRUE(value >= key + utf16(fileVersion).size() && value <= key + utf16(fileVersion).size() + 2)
      << "the block's FileVersion is not " << version.toStdString();

  // The linked libraries (found by dpkg-shlibdeps) and what is loaded or started at run time.
  const QStringList depends = ControlField(package_, QStringLiteral("Depends")).split(QStringLiteral(", "));
  const QStringList names = [&] {
    QStringList result;
    for (const QString& dependency : depends) result << dependency.section(u' ', 0, 0);
    return result;
  }();
  for (const char* needed : {"libqt6widgets6", "libqt6printsupport6", "libjpeg62-turbo", "libc6", "qt6-qpa-plugins",
                             "qt6-translations-l10n", "fonts-liberation", "xdg-utils"}) {
    EXPECT_TRUE(names.contains(QLatin1String(needed))) << needed << " not in " << depends.join(", ").toStdString();
  }
  EXPECT_FALSE(names.contains(QStringLiteral("libasan8"))) << "a sanitizer build was packaged";

  // The Debian changelog's newest entry is this version.
  const ToolResult changelog = RunTool(QStringLiteral("zcat"), {Unpacked("/usr/share/doc/velarim/changelog.gz")}, kSystem);
  EXPECT_TRUE(changelog.output.startsWith("velarim (" + version.toUtf8() + ") ")) << changelog.output.left(80).data();
}

TEST_F(PackageTest, PutsEveryFileUnderUsrOwnedByRootAndWritableByNobodyElse) {
  const ToolResult listed = RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), package_}, kSystem);
  ASSERT_TRUE(listed.ok()) << listed.output.toStdString();
  std::set<QString> paths;
  for (const QString& line : Lines(listed.output)) {
    // "-rwxr-xr-x root/root 1234 2026-12-08 12:00 ./usr/bin/velarim"
    const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
    ASSERT_GE(fields.size(), 6) << line.toStdString();
    const QString mode = fields[0];
    const QString path = fields[5];
    paths.insert(path);
    EXPECT_EQ(fields[1], QStringLiteral("root/root")) << line.toStdString();
    EXPECT_TRUE(path == QStringLiteral("./") || path.startsWith(QStringLiteral("./usr/"))) << line.toStdString();
    EXPECT_EQ(QString(mode[5]) + mode[8], QStringLiteral("--")) << "group or others may write: " << line.toStdString();
  }
  std::vector<QString> expected = {
      "./usr/bin/velarim",
      "./usr/lib/velarim/Velarim",
      "./usr/lib/velarim/Velarim.HLP",
      "./usr/lib/velarim/updates.url",
      "./usr/share/applications/velarim.desktop",
      "./usr/share/icons/hicolor/scalable/apps/velarim.svg",
      "./usr/share/metainfo/velarim.metainfo.xml",
      "./usr/share/doc/velarim/copyright",
      "./usr/share/doc/velarim/changelog.gz",
      "./usr/share/man/man1/velarim.1.gz",
  };
  for (int size : {16, 32, 48, 64, 128, 256}) {
    expected.push_back(QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/velarim.png").arg(size));
  }
  for (const QString& path : expected) EXPECT_TRUE(paths.count(path)) << path.toStdString() << " is not in the package";

  // The installed desktop files are still valid, and the menu starts the command on the search path.
  Extract();
  const QString entry = Unpacked(QStringLiteral("/usr/share/applications/velarim.desktop"));
  EXPECT_TRUE(ReadBytes(entry).contains("\nExec=velarim\n"));
  const ToolResult entryValid = RunTool(QStringLiteral("desktop-file-validate"), {entry}, kSystem);
  EXPECT_TRUE(entryValid.ok() && entryValid.output.isEmpty()) << entryValid.output.toStdString();
  const ToolResult metainfoValid =
      RunTool(QStringLiteral("appstreamcli"),
              {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--pedantic"),
               Unpacked(QStringLiteral("/usr/share/metainfo/velarim.metainfo.xml"))},
              kSystem, 60s);
  EXPECT_TRUE(metainfoValid.ok()) << metainfoValid.output.toStdString();

  // The German manual page says where the files live, and man reads it without a complaint.
  const QString manual = Unpacked(QStringLiteral("/usr/share/man/man1/velarim.1.gz"));
  const QByteArray page = RunTool(QStringLiteral("zcat"), {manual}, kSystem).output;
  for (const char* text : {".SH BESCHREIBUNG", ".SH DATEIEN", "/usr/lib/velarim/", "~/.config/velarim/velarim.ini",
                           "Velarim.HLP", "updates.url", "XDG_CONFIG_HOME"}) {
    EXPECT_TRUE(page.contains(text)) << text;
  }
  QProcessEnvironment quiet = kSystem;
  quiet.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
  const ToolResult rendered = RunTool(QStringLiteral("sh"),
                                      {QStringLiteral("-c"), QStringLiteral("man --warnings -E UTF-8 -l \"$1\" 2>&1 >/dev/null"),
                                       QStringLiteral("sh"), manual},
                                      quiet, 30s);
  EXPECT_TRUE(rendered.ok() && rendered.output.isEmpty()) << rendered.output.toStdString();
}

// Errors fail; whatever else lintian says is printed with the output of the case.
TEST_F(PackageTest, LintianFindsNoErrors) {
  const ToolResult checked = RunTool(QStringLiteral("lintian"), {package_}, kSystem, 300s);
  std::cout << checked.output.toStdString();
  QStringList errors;
  for (const QString& line : Lines(checked.output)) {
    if (line.startsWith(QStringLiteral("E: "))) errors << line;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
  EXPECT_TRUE(checked.ok()) << "lintian ended with " << checked.exitCode;
}

TEST_F(PackageTest, AptResolvesItsDependencies) {
  const ToolResult simulated = RunTool(QStringLiteral("apt-get"),
                                       {QStringLiteral("install"), QStringLiteral("--simulate"), package_}, kSystem, 120s);
  EXPECT_TRUE(simulated.ok()) << simulated.output.toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("(^|\\n)Inst velarim ")).match(QString::fromUtf8(simulated.output)).hasMatch())
      << simulated.output.toStdString();
}

// A person who may not write /usr/lib/velarim starts the installed program, goes to
// another folder and closes it with Alt+F4: no error box, the settings land in their
// ~/.config/velarim/, and the next start opens the folder they left.
TEST_F(PackageTest, InstalledProgramKeepsEachPersonsSettingsInTheirConfigFolder) {
  Extract();
  const QString programDir = Unpacked(QStringLiteral("/usr/lib/velarim"));
  const QStringList installed = Entries(programDir);
  QTemporaryDir scripts;
  const QString launcher =
      ReadOnlyProgramLauncher(scripts.path(), programDir, Unpacked(QStringLiteral("/usr/bin/velarim")));
  ASSERT_FALSE(launcher.isEmpty());
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();

  Velarim first(display, {.launcher = launcher, .installedProgramDir = programDir});
  const std::optional<Window> main = first.WaitForMainWindow();
  ASSERT_TRUE(main) << first.Log().toStdString();
  const QRect folders = FolderListOf(*main);
  const QImage before = display.SettledScreenshot(folders);
  // To the top of the folder list, the root, and into it.
  ASSERT_TRUE(display.Focus(*main));
  display.Click(folders.center());
  display.Key(QStringLiteral("Home"));
  display.Key(QStringLiteral("Return"));
  ASSERT_TRUE(WaitUntil([&] { return DifferingPixels(display.Screenshot(folders), before, 16) > 100; }, 10s));
  const QImage changed = display.SettledScreenshot(folders);
  ASSERT_TRUE(CloseMainWindow(display, first, *main, CloseWay::AltF4));
  // An error box would keep the program running until someone answers it.
  ASSERT_EQ(first.WaitForExit(5s), 0) << first.Log().toStdString();

  const QString settings = first.HomeDir() + QStringLiteral("/.config/velarim/velarim.ini");
  EXPECT_EQ(ReadBytes(settings), "[Verzeichnisse]\nletztes=/\n[OnlineHilfe]\nStatus=1\n");
  EXPECT_EQ(Entries(first.HomeDir() + QStringLiteral("/.config/velarim")),
            (QStringList{QStringLiteral("Velarim.INI"), QStringLiteral("velarim.ini")}));
  EXPECT_EQ(Entries(programDir), installed);
  EXPECT_EQ(first.SettingsWrites(), 0);

  // The same person again, from another current folder: the folder list opens on the root.
  Velarim second(display, {.environment = {QStringLiteral("HOME=") + first.HomeDir(),
                                           QStringLiteral("XDG_CONFIG_HOME=") + first.HomeDir() + QStringLiteral("/.config")},
                           .launcher = launcher,
                           .installedProgramDir = programDir});
  const std::optional<Window> again = second.WaitForMainWindow();
  ASSERT_TRUE(again) << second.Log().toStdString();
  EXPECT_EQ(again->geometry, main->geometry);
  const QImage restored = display.SettledScreenshot(FolderListOf(*again));
  EXPECT_LT(DifferingPixels(restored, changed, 16), restored.width() * restored.height() / 50);
  ASSERT_TRUE(CloseMainWindow(display, second, *again, CloseWay::AltF4));
  ASSERT_EQ(second.WaitForExit(5s), 0) << second.Log().toStdString();
  EXPECT_EQ(ReadBytes(settings), "[Verzeichnisse]\nletztes=/\n[OnlineHilfe]\nStatus=1\n");
  EXPECT_EQ(Entries(programDir), installed);
}

}  // namespace
}  // namespace e2e
