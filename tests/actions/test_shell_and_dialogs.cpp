// What the shell is asked to open for a target, internet shortcuts, the dialogs' filter
// translation and the copy behind "Speichern unter".
#include "actions/file_copy.h"
#include "actions/file_dialogs.h"
#include "actions/shell_opener.h"
#include "platform/errors.h"
#include "platform/lossless_utf8.h"
#include "support/recording_shell.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(InternetShortcut, TargetIsTheUrlOfItsSectionOnly) {
  EXPECT_EQ(InternetShortcutTarget("[InternetShortcut]\r\nURL=https://a.example.org/x?y=1\r\n"),
            QStringLiteral("https://a.example.org/x?y=1"));
  EXPECT_EQ(InternetShortcutTarget("[Other]\nURL=https://wrong.example.org\n[internetshortcut]\n url = http://b.example.org \n"),
            QStringLiteral("http://b.example.org"));
  EXPECT_TRUE(InternetShortcutTarget("URL=https://outside.example.org\n").isEmpty());
  EXPECT_TRUE(InternetShortcutTarget("[InternetShortcut]\nIconFile=x\n").isEmpty());
}

TEST(ShellTarget, FilesShortcutsAndAddresses) {
  QTemporaryDir dir;
  const QString picture = dir.path() + QStringLiteral("/mein bild;$(rm -rf).jpg");
  WriteFile(picture, "x");
  // A name full of shell syntax is a file url like any other; no command line is made.
  EXPECT_EQ(ShellTargetUrl(picture), QUrl::fromLocalFile(picture));

  const QString link = dir.path() + QStringLiteral("/updates.URL");
  WriteFile(link, "[InternetShortcut]\nURL=https://www.velarim.example.org/neu\n");
  EXPECT_EQ(ShellTargetUrl(link), QUrl(QStringLiteral("https://www.velarim.example.org/neu")));

  const QString relative = dir.path() + QStringLiteral("/relative.url");
  WriteFile(relative, "[InternetShortcut]\nURL=somewhere.html\n");
  EXPECT_FALSE(ShellTargetUrl(relative).isValid());
  EXPECT_FALSE(ShellTargetUrl(dir.path() + QStringLiteral("/missing.url")).isValid());

  EXPECT_EQ(ShellTargetUrl(QStringLiteral("mailto:kontakt@velarim.example.org")),
            QUrl(QStringLiteral("mailto:kontakt@velarim.example.org")));
  EXPECT_FALSE(ShellTargetUrl(QStringLiteral("   ")).isValid());
}

TEST(ShellTarget, ShellExecuteHandsTheUrlToTheOpener) {
  RecordingShell shell;
  EXPECT_TRUE(ShellExecute(nullptr, QStringLiteral("open"), QStringLiteral("http://www.velarim.example.org")));
  EXPECT_FALSE(ShellExecute(nullptr, QString(), QString()));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], QUrl(QStringLiteral("http://www.velarim.example.org")));
}

// A Latin-1 name reaches the opener as a URL of its own bytes ("%E4"), which the
// desktop's opener turns back into the very file; "%EF%BF%BD" would name another.
TEST(ShellTarget, NameThatIsNotUtf8IsPercentEncodedFromItsBytes) {
  QTemporaryDir dir;
  const QByteArray bytes = QFile::encodeName(dir.path()) + "/bild\xE4 1.jpg";
  QFile file;
  ASSERT_TRUE(file.open(::fopen(bytes.constData(), "w"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
  file.close();
  RecordingShell shell;
  EXPECT_TRUE(ShellExecute(nullptr, QStringLiteral("open"), platform::DecodeUtf8Lossless(bytes)));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].toEncoded(), "file://" + QFile::encodeName(dir.path()) + "/bild%E4%201.jpg");
}

// The address of an internet shortcut reaches the browser with its own bytes.
TEST(ShellTarget, ShortcutAddressesKeepTheirBytesInAProgramFolderOfAnyName) {
  QTemporaryDir dir;
  const QByteArray folder = QFile::encodeName(dir.path()) + "/Programm\xE4";
  ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
  const struct {
    QByteArray line;
    QByteArray expected;
  } cases[] = {
      {"URL=https://www.velarim.example.org/gr\xE4" "bt", "https://www.velarim.example.org/gr%E4bt"},
      {"URL=https://www.velarim.example.org/neu", "https://www.velarim.example.org/neu"},
      {"URL=https://www.velarim.example.org/s\xC3\xBC\xC3\x9F", "https://www.velarim.example.org/s%C3%BC%C3%9F"},
  };
  for (const auto& c : cases) {
    QFile link;
    ASSERT_TRUE(link.open(::fopen((folder + "/updates.url").constData(), "w"), QIODevice::WriteOnly,
                          QFileDevice::AutoCloseHandle));
    link.write("[InternetShortcut]\n" + c.line + "\n");
    link.close();
    EXPECT_EQ(ShellTargetUrl(platform::DecodeUtf8Lossless(folder + "/updates.url")).toEncoded(), c.expected)
        << c.line.toStdString();
  }
}

TEST(FileDialogFilter, PairsBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters(QStringLiteral("Bilddateien |bild.jpg")), QStringList{QStringLiteral("Bilddateien (bild.jpg)")});
  EXPECT_EQ(QtNameFilters(QStringLiteral("JPEG|*.jpg;*.jpeg|Alle|*.*")),
            (QStringList{QStringLiteral("JPEG (*.jpg *.jpeg)"), QStringLiteral("Alle (*.*)")}));
  EXPECT_EQ(QtNameFilters(QStringLiteral("Bilddateien |Urlaub am See.jpg")),
            QStringList{QStringLiteral("Bilddateien (Urlaub?am?See.jpg)")});
  // Qt reads a pattern only when it holds plain characters; "?" stands in for the others.
  EXPECT_EQ(QtNameFilters(platform::DecodeUtf8Lossless("Bilddateien |Gr\xFC\xDF" "e (1).jpg")),
            QStringList{QStringLiteral("Bilddateien (Gr??e??1?.jpg)")});
  EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
  EXPECT_EQ(BareExtension(QStringLiteral("*.url")), QStringLiteral("url"));
  EXPECT_EQ(BareExtension(QStringLiteral(".jpg")), QStringLiteral("jpg"));
  EXPECT_EQ(BareExtension(QStringLiteral("URL")), QStringLiteral("URL"));
}

TEST(SaveCopy, ReplacesAnExistingTargetWhole) {
  QTemporaryDir dir;
  const QString source = dir.path() + QStringLiteral("/a.jpg");
  const QString target = dir.path() + QStringLiteral("/b.jpg");
  WriteFile(source, QByteArray(3 * 1024 * 1024 + 17, 'a'));
  WriteFile(target, "old");
  SaveCopyOfFile(source, target);
  QFile copy(target);
  ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
  EXPECT_EQ(copy.readAll(), QByteArray(3 * 1024 * 1024 + 17, 'a'));
}

TEST(SaveCopy, UnwritableFolderIsReportedAndLeftEmpty) {
  QTemporaryDir dir;
  const QString source = dir.path() + QStringLiteral("/a.jpg");
  WriteFile(source, "picture");
  const QString locked = dir.path() + QStringLiteral("/locked");
  ASSERT_TRUE(QDir().mkdir(locked));
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  if (QFile(locked + QStringLiteral("/probe")).open(QIODevice::WriteOnly)) GTEST_SKIP() << "running as root";
  EXPECT_THROW(SaveCopyOfFile(source, locked + QStringLiteral("/c.jpg")), Exception);
  EXPECT_TRUE(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

// Both names by their bytes; a failure says why.
TEST(SaveCopy, Latin1NamesAreCopiedByTheirBytesAndFailuresGiveTheReason) {
  QTemporaryDir dir;
  const QByteArray base = QFile::encodeName(dir.path());
  const QString source = platform::DecodeUtf8Lossless(base + "/Gr\xFC\xDF" "e.jpg");
  QFile photo;
  ASSERT_TRUE(photo.open(::fopen((base + "/Gr\xFC\xDF" "e.jpg").constData(), "w"), QIODevice::WriteOnly,
                         QFileDevice::AutoCloseHandle));
  photo.write("picture \xFF\xD8");
  photo.close();
  SaveCopyOfFile(source, platform::DecodeUtf8Lossless(base + "/K\xF6ln.jpg"));
  QFile copy;
  ASSERT_TRUE(copy.open(::fopen((base + "/K\xF6ln.jpg").constData(), "r"), QIODevice::ReadOnly,
                        QFileDevice::AutoCloseHandle));
  EXPECT_EQ(copy.readAll(), QByteArray("picture \xFF\xD8"));

  const struct {
    QString target;
    QString message;
  } failures[] = {
      {dir.path() + "/weg/a.jpg", dir.path() + "/weg/a.jpg kann nicht gespeichert werden: Der Ordner existiert nicht mehr"},
      {dir.path() + "/" + QString(300, u'n') + ".jpg",
       dir.path() + "/" + QString(300, u'n') + ".jpg kann nicht gespeichert werden: Der Name ist zu lang"},
  };
  for (const auto& f : failures) {
    try {
      SaveCopyOfFile(source, f.target);
      ADD_FAILURE() << "no error for " << f.target.toStdString();
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), f.message);
    }
  }
}

TEST(SaveCopy, MissingSourceIsReportedAndTargetKept) {
  QTemporaryDir dir;
  const QString target = dir.path() + QStringLiteral("/b.jpg");
  WriteFile(target, "old");
  EXPECT_THROW(SaveCopyOfFile(dir.path() + QStringLiteral("/gone.jpg"), target), Exception);
  QFile kept(target);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("old"));
}

}  // namespace
