// The settings file written at close goes through a link to the file it names, also when
// that file does not exist yet, and the close clears away the temporary file that an
// earlier killed write left beside it, touching nothing else.
#include "main_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace e2e {
namespace {

QStringList Entries(const QString& folder) {
  QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  entries.sort();
  return entries;
}

bool Touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

TEST(SettingsFileTest, CloseWritesThroughADanglingLinkAndRemovesStaleTemporaryFiles) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  // Set up while the program runs: it reads the settings only at start.
  const QString program = velarim.ProgramDir();
  const QString shared = velarim.HomeDir() + QStringLiteral("/shared");
  ASSERT_TRUE(QDir().mkpath(shared));
  ASSERT_TRUE(QFile::link(shared + QStringLiteral("/velarim.ini"), velarim.SettingsFile()));
  ASSERT_TRUE(Touch(shared + QStringLiteral("/.velarim.ini.tmp-5eed1e55")));
  ASSERT_TRUE(Touch(shared + QStringLiteral("/.velarim.ini.tmp-notes")));
  const QStringList before = Entries(program);

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::MenuBeenden));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();

  EXPECT_TRUE(QFileInfo(velarim.SettingsFile()).isSymLink());
  QFile target(shared + QStringLiteral("/velarim.ini"));
  ASSERT_TRUE(target.open(QIODevice::ReadOnly));
  const QByteArray expected = "[Verzeichnisse]\nletztes=" + QDir(velarim.HomeDir()).canonicalPath().toUtf8() +
                              "\n[OnlineHilfe]\nStatus=1\n";
  EXPECT_EQ(target.readAll(), expected);
  EXPECT_EQ(Entries(program), before);
  EXPECT_EQ(Entries(shared), (QStringList{QStringLiteral(".velarim.ini.tmp-notes"), QStringLiteral("velarim.ini")}));
}

}  // namespace
}  // namespace e2e
