// Names that are not UTF-8 between the program and Qt (dialog folders and answers, the
// home and documents folders, the help file, a rename), and the German reasons a failed
// write is reported with.
#include "platform/dialog_names.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/help_file.h"
#include "platform/home_folder.h"
#include "platform/lossless_utf8.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// A folder of the test by its bytes, with its entries made by their bytes.
class ByteNames : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  // Qt cannot name what the tests made by bytes, so they are removed by their bytes.
  void TearDown() override { RemoveTree(QFile::encodeName(dir_.path())); }
  static void RemoveTree(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
      const QByteArray name(entry->d_name);
      if (name == "." || name == "..") continue;
      const QByteArray path = folder + "/" + name;
      struct stat info {};
      if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        RemoveTree(path);
        ::rmdir(path.constData());
      } else {
        ::unlink(path.constData());
      }
    }
    ::closedir(dir);
  }
  QByteArray Native(const QByteArray& relative) const { return QFile::encodeName(dir_.path()) + "/" + relative; }
  QString Path(const QByteArray& relative) const { return DecodeUtf8Lossless(Native(relative)); }
  void MakeFile(const QByteArray& relative, const QByteArray& bytes = "x") const {
    const int fd = ::open(Native(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << relative.toStdString();
    ASSERT_EQ(::write(fd, bytes.constData(), bytes.size()), bytes.size());
    ::close(fd);
  }
  QByteArray Read(const QByteArray& relative) const {
    QFile file;
    const int fd = ::open(Native(relative).constData(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return "<missing>";
    return file.readAll();
  }
  void MakeFolder(const QByteArray& relative) const { ASSERT_EQ(::mkdir(Native(relative).constData(), 0755), 0); }

  QTemporaryDir dir_;
};

TEST(WriteFailureReason, EachErrnoAPersonCanActOnHasItsGermanReason) {
  const struct {
    int error;
    const char* reason;
  } cases[] = {
      {ENOSPC, "Der Datenträger ist voll"},
      {EDQUOT, "Der Datenträger ist voll"},
      {EACCES, "Keine Berechtigung zum Schreiben"},
      {EPERM, "Keine Berechtigung zum Schreiben"},
      {EROFS, "Das Dateisystem ist schreibgeschützt"},
      {ENOENT, "Der Ordner existiert nicht mehr"},
      {ENAMETOOLONG, "Der Name ist zu lang"},
      {EEXIST, "Der Name ist schon vergeben"},
      {EINVAL, "Der Name ist hier nicht erlaubt"},
      {EINTR, ""},
      {0, ""},
  };
  const QString message = QStringLiteral("/m/a.jpg kann nicht gespeichert werden");
  for (const auto& c : cases) {
    const QString reason = QString::fromUtf8(c.reason);
    EXPECT_EQ(WriteFailureReason(c.error), reason) << c.error;
    EXPECT_EQ(WithWriteFailureReason(message, c.error), reason.isEmpty() ? message : message + ": " + reason) << c.error;
  }
}

TEST(HomeFolder, HomeVariableElseTheAccountsHomeElseRoot) {
  const struct {
    std::optional<QByteArray> variable;
    std::optional<QByteArray> account;
    QByteArray expected;
  } cases[] = {
      {QByteArray("/home/anna"), QByteArray("/home/other"), "/home/anna"},
      {QByteArray("/home/Home \xE4"), std::nullopt, "/home/Home \xE4"},
      {std::nullopt, QByteArray("/home/anna"), "/home/anna"},
      {QByteArray(""), QByteArray("/home/anna"), "/home/anna"},
      {QByteArray("relative"), QByteArray("/srv/anna"), "/srv/anna"},
      {std::nullopt, std::nullopt, "/"},
      {std::nullopt, QByteArray(""), "/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeUtf8Lossless(HomeFolderFrom(c.variable, c.account)), c.expected)
        << c.variable.value_or("<unset>").toStdString();
  }
  EXPECT_TRUE(HomeFolder().startsWith(u'/'));
}

TEST(HomeFolder, DocumentsAsQtNamesThemMoveToTheHomesOwnBytes) {
  const QString home = DecodeUtf8Lossless("/home/Home \xE4");
  const QString qtHome = QString::fromUtf8("/home/Home \xEF\xBF\xBD");
  const struct {
    QString qtDocuments;
    QString expected;
  } cases[] = {
      {qtHome + "/Dokumente", home + "/Dokumente"},
      {qtHome, home},
      {QStringLiteral("/data/Dokumente"), QStringLiteral("/data/Dokumente")},
      {QString::fromUtf8("/data/Dok\xEF\xBF\xBD"), QString()},
      {QString(), QString()},
  };
  for (const auto& c : cases) EXPECT_EQ(DocumentsUnderHome(c.qtDocuments, qtHome, home), c.expected) << c.qtDocuments.toStdString();
}

TEST_F(ByteNames, DialogAnswersMapBackToTheBytesTheyStandFor) {
  MakeFolder("Programm\xE4");
  MakeFile("Programm\xE4/Gr\xFC\xDF" "e aus K\xF6ln.jpg");
  MakeFile("Programm\xE4/plain.jpg");
  const QString folder = Path("Programm\xE4");
  const DialogFolder reach(folder);
  ASSERT_TRUE(reach.Shown().startsWith(QStringLiteral("/proc/self/fd/"))) << reach.Shown().toStdString();
  EXPECT_TRUE(QDir(reach.Shown()).exists(QStringLiteral("plain.jpg"))) << "Qt cannot reach the folder through the link";
  const QString latin1 = DecodeUtf8Lossless("Gr\xFC\xDF" "e aus K\xF6ln.jpg");
  const QString link = reach.Shown();
  const QString parent = Path("");
  const struct {
    QString answered;
    QString preset;
    QString expected;
  } cases[] = {
      // Through the link: the folder's own bytes, the name as Qt lists it or as shown.
      {link + "/" + QtListedName(latin1), QString(), folder + "/" + latin1},
      {link + "/" + ShownName(latin1), QString(), folder + "/" + latin1},
      {link + "/Kopie.jpg", QString(), folder + "/Kopie.jpg"},
      {link + "/plain.jpg", QString(), folder + "/plain.jpg"},
      // A path as Qt names it, the folder element mapped too.
      {parent + QtListedName(DecodeUtf8Lossless("Programm\xE4")) + "/Neu.jpg", QString(), folder + "/Neu.jpg"},
      {parent + ShownName(DecodeUtf8Lossless("Programm\xE4")) + "/" + ShownName(latin1), QString(), folder + "/" + latin1},
      // The suggested name kept in another folder is the source's own name there.
      {parent + "Kopien/" + ShownName(latin1), latin1, parent + "Kopien/" + latin1},
      {parent + "ganz/neu/Datei.jpg", QString(), parent + "ganz/neu/Datei.jpg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeUtf8Lossless(reach.Resolve(c.answered, c.preset)), EncodeUtf8Lossless(c.expected))
        << c.answered.toStdString();
  }
  EXPECT_EQ(DialogFolder(parent).Shown(), parent) << "a UTF-8 folder is given as it is";
}

// A rename by the bytes of a Latin-1 folder and name never takes the place of another entry.
TEST_F(ByteNames, RenameGoesByTheBytesAndReplacesNothing) {
  MakeFolder("Alben \xE4");
  MakeFolder("Alben \xE4/Unterordner");
  MakeFile("Alben \xE4/andere.jpg", "other");
  const QString folder = Path("Alben \xE4");
  const QString latin1 = DecodeUtf8Lossless("Gr\xFC\xDF" "e.jpg");
  const struct {
    QString newName;
    int error;
  } cases[] = {
      {QStringLiteral("andere.jpg"), EEXIST}, {QStringLiteral("Unterordner"), EEXIST},
      {QStringLiteral("Unterordner/x.jpg"), EINVAL}, {QString(), EINVAL}, {QStringLiteral(".."), EINVAL},
      {QString::fromUtf8("Grüße.jpg"), 0},
  };
  for (const auto& c : cases) {
    MakeFile("Alben \xE4/Gr\xFC\xDF" "e.jpg", "photo");
    EXPECT_EQ(RenameEntry(folder, latin1, c.newName), c.error) << c.newName.toStdString();
  }
  EXPECT_EQ(Read("Alben \xE4/Gr\xC3\xBC\xC3\x9F" "e.jpg"), "photo") << "the new name is not its UTF-8";
  EXPECT_EQ(Read("Alben \xE4/Gr\xFC\xDF" "e.jpg"), "<missing>");
  EXPECT_EQ(Read("Alben \xE4/andere.jpg"), "other");
}

TEST_F(ByteNames, HelpFileIsReadFromAProgramFolderNamedInLatin1) {
  MakeFolder("Programm\xE4");
  MakeFile("Programm\xE4/Velarim.HLP", QByteArray(kHelpFileMagic) + "\n@titel Hilfe\n== start | Anfang\nText.\n");
  QString error;
  EXPECT_TRUE(LoadHelpFile(Path("Programm\xE4/Velarim.HLP"), &error)) << error.toStdString();
  EXPECT_FALSE(LoadHelpFile(Path("Programm\xE4/Fehlt.HLP"), &error));
  EXPECT_TRUE(error.contains(QString::fromUtf8("Programmä/Fehlt.HLP"))) << error.toStdString();
}

}  // namespace
