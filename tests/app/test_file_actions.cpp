// The main window's file actions, hint switch and help command, with the file dialogs
// scripted and the desktop opener recorded, so nothing real opens.
#include "actions/file_dialogs.h"
#include "app/help_finder.h"
#include "app/ini_file.h"
#include "app/main_form.h"
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "chrome/info_form.h"
#include "chrome/url_label.h"
#include "chrome/speed_bar.h"
#include "framework/application.h"
#include "framework/menus.h"
#include "platform/errors.h"
#include "support/recording_shell.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_file_dialogs.h"
#include "tests/app/main_form_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileActionsTest : public MainFormFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MainFormFixture::SetUp());
    WriteFile(picture("Bild.JPG"), "not really a picture");
    WriteFile(picture("anderes.jpg"), "neither");
    createMainForm();
    form_->DirectoryListBox1->SetDirectory(picturesDir());
  }

  QString picturesDir() const { return QDir(pictures_.path()).canonicalPath(); }
  QString picture(const char* name) const { return pictures_.path() + QLatin1Char('/') + QLatin1String(name); }
  QString selected() const { return form_->FileListBox1->FileName(); }

  void select(const QString& name) {
    const int index = static_cast<int>(form_->FileListBox1->Items().indexOf(name));
    ASSERT_GE(index, 0) << name.toStdString();
    form_->FileListBox1->SetItemIndex(index);
  }

  bool PressKey(const QKeySequence& key) { return form_->MainMenu1->IsShortCut(key); }

  ScriptedDialogs messages_;
  ScriptedFileDialogs fileDialogs_;
  RecordingShell shell_;
};

TEST_F(FileActionsTest, BrowseAndOpenCancelledStillOpensAndReselectsIgnoringCase) {
  select(QStringLiteral("Bild.JPG"));
  const QString path = selected();
  fileDialogs_.answers.push_back({false, {}, {}});

  ASSERT_TRUE(PressKey(QKeySequence(Qt::Key_F2)));

  ASSERT_EQ(fileDialogs_.requests.size(), 1u);
  const FileDialogRequest& request = fileDialogs_.requests[0];
  EXPECT_EQ(request.kind, FileDialogKind::Open);
  EXPECT_EQ(request.fileName, path);
  EXPECT_EQ(request.initialDir, picturesDir());
  EXPECT_EQ(request.filter, QStringLiteral("Bilddateien |Bild.JPG"));
  EXPECT_EQ(request.title, QStringLiteral("Bearbeitungsmöglichkeiten mit der rechten Maustaste .."));
  EXPECT_EQ(request.defaultExt, QStringLiteral(".JPG"));
  EXPECT_TRUE(request.fileMustExist);
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(path));
  EXPECT_EQ(selected(), path);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FileActionsTest, FileRenamedInTheDialogLeavesNoSelectionAndOpensNothing) {
  select(QStringLiteral("Bild.JPG"));
  fileDialogs_.answers.push_back(
      {true, picture("neu.jpg"), [this] { ASSERT_TRUE(QFile::rename(picture("Bild.JPG"), picture("neu.jpg"))); }});

  form_->Umbenennen1->Click();

  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_EQ(form_->FileListBox1->ItemIndex(), -1);
  EXPECT_TRUE(form_->FileListBox1->Items().contains(QStringLiteral("neu.jpg")));
}

TEST_F(FileActionsTest, NothingSelectedRefreshesOnlyWithAnEmptyPattern) {
  WriteFile(picture("spaeter.jpg"), "added behind the list's back");
  form_->Umbenennen1->Click();
  ASSERT_EQ(fileDialogs_.requests.size(), 1u);
  EXPECT_EQ(fileDialogs_.requests[0].filter, QStringLiteral("Bilddateien |"));
  EXPECT_TRUE(fileDialogs_.requests[0].defaultExt.isEmpty());
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_TRUE(form_->FileListBox1->Items().contains(QStringLiteral("spaeter.jpg")));
}

TEST_F(FileActionsTest, ActionDialogKeepsTheLastBrowseTitleFilterAndExtension) {
  // Ctrl+A performs the hidden item; before any browse the dialog has no title or filter.
  select(QStringLiteral("anderes.jpg"));
  const QString first = selected();
  ASSERT_TRUE(PressKey(QKeySequence(Qt::CTRL | Qt::Key_A)));
  ASSERT_EQ(fileDialogs_.requests.size(), 1u);
  EXPECT_TRUE(fileDialogs_.requests[0].title.isEmpty());
  EXPECT_TRUE(fileDialogs_.requests[0].filter.isEmpty());
  EXPECT_EQ(fileDialogs_.requests[0].fileName, first);

  select(QStringLiteral("Bild.JPG"));
  form_->Umbenennen1->Click();
  select(QStringLiteral("anderes.jpg"));
  WriteFile(picture("neu.jpg"), "made meanwhile");
  ASSERT_TRUE(PressKey(QKeySequence(Qt::CTRL | Qt::Key_A)));

  ASSERT_EQ(fileDialogs_.requests.size(), 3u);
  const FileDialogRequest& later = fileDialogs_.requests[2];
  EXPECT_EQ(later.title, QStringLiteral("Bearbeitungsmöglichkeiten mit der rechten Maustaste .."));
  EXPECT_EQ(later.filter, QStringLiteral("Bilddateien |Bild.JPG"));
  EXPECT_EQ(later.defaultExt, QStringLiteral(".JPG"));
  EXPECT_EQ(later.fileName, picture("anderes.jpg"));
  EXPECT_EQ(later.initialDir, picturesDir());
  // The list was read again afterwards.
  EXPECT_TRUE(form_->FileListBox1->Items().contains(QStringLiteral("neu.jpg")));
  EXPECT_EQ(shell_.opened.size(), 1u);  // only the browse-and-open opened anything
}

TEST_F(FileActionsTest, SaveAsCopiesOnlyWhenConfirmedAndRefusesTheSourceItself) {
  select(QStringLiteral("Bild.JPG"));
  fileDialogs_.answers.push_back({false, {}, {}});
  ASSERT_TRUE(PressKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
  ASSERT_EQ(fileDialogs_.requests.size(), 1u);
  EXPECT_EQ(fileDialogs_.requests[0].kind, FileDialogKind::Save);
  // A name typed without an extension gets the photo's own, never "URL".
  EXPECT_EQ(fileDialogs_.requests[0].defaultExt, QStringLiteral("JPG"));
  EXPECT_EQ(fileDialogs_.requests[0].fileName, picture("Bild.JPG"));
  EXPECT_EQ(QDir(pictures_.path()).entryList(QDir::Files).size(), 2);

  // A copy into the shown folder shows in the list at once; the photo stays selected.
  const QString copy = picture("kopie.jpg");
  fileDialogs_.answers.push_back({true, copy, {}});
  form_->Speichernunter1->Click();
  EXPECT_EQ(ReadFile(copy), QByteArray("not really a picture"));
  EXPECT_TRUE(form_->FileListBox1->Items().contains(QStringLiteral("kopie.jpg")));
  EXPECT_EQ(selected(), picture("Bild.JPG"));
  EXPECT_TRUE(messages_.shown.empty());

  // The dialog has just asked whether to replace the file: the answer says why not.
  fileDialogs_.answers.push_back({true, picture("Bild.JPG"), {}});
  try {
    form_->Speichernunter1->Click();
    ADD_FAILURE() << "a copy onto the source itself was not refused";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), picture("Bild.JPG") + QStringLiteral(" kann nicht auf sich selbst kopiert werden"));
  }
  EXPECT_EQ(ReadFile(picture("Bild.JPG")), QByteArray("not really a picture"));
}

TEST_F(FileActionsTest, SaveAsWithoutSelectionKeepsTheDialogsExtensionAndCopiesNothing) {
  fileDialogs_.answers.push_back({true, picture("neu"), {}});
  form_->Speichernunter1->Click();
  ASSERT_EQ(fileDialogs_.requests.size(), 1u);
  EXPECT_EQ(fileDialogs_.requests[0].defaultExt, QStringLiteral("URL"));
  EXPECT_FALSE(QFile::exists(picture("neu")));
}

TEST_F(FileActionsTest, HomepageOpensTheTargetOfTheUpdatesLink) {
  form_->Homepage1->Click();  // no link file: nothing opens and nothing is said
  EXPECT_TRUE(shell_.opened.empty());

  WriteFile(programDir_.path() + QStringLiteral("/updates.url"),
            "[InternetShortcut]\r\nURL=https://www.velarim.example.org/updates.html\r\n");
  form_->Homepage1->Click();
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0], QUrl(QStringLiteral("https://www.velarim.example.org/updates.html")));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FileActionsTest, HintSwitchFollowsTheTickAndIsStoredAtOnce) {
  const QString settingsFile = programDir_.path() + QStringLiteral("/velarim.ini");
  form_->OnlineHilfe->Click();
  EXPECT_FALSE(form_->OnlineHilfe->Checked());
  EXPECT_FALSE(Application()->ShowHint());
  EXPECT_EQ(TIniFile(settingsFile).ReadString(QStringLiteral("OnlineHilfe"), QStringLiteral("Status"), QString()),
            QStringLiteral("0"));
  // No control shows a hint now, the tool bar buttons included.
  Application()->ShowHintFor(form_->ZoomBt, QPoint(10, 10));
  EXPECT_FALSE(QToolTip::isVisible());

  form_->OnlineHilfe->Click();
  EXPECT_TRUE(Application()->ShowHint());
  EXPECT_EQ(TIniFile(settingsFile).ReadString(QStringLiteral("OnlineHilfe"), QStringLiteral("Status"), QString()),
            QStringLiteral("1"));
}

TEST_F(FileActionsTest, F1OpensTheFinderOfTheProgramDirectorysHelpFileWhereverTheFolderIs) {
  const QString helpFile = programDir_.path() + QStringLiteral("/Velarim.HLP");
  WriteFile(helpFile,
            "VELARIM-HILFE 1\n@titel Velarim-Hilfe\n== start | Willkommen bei Velarim\n@buch Erste Schritte\n"
            "Bis zu vier Dias auf einem Blatt.\n== tasten | Tasten\n- F1: Hilfe\n");
  InstallHelpEngine();
  // The folder list moves the process's current folder elsewhere.
  QTemporaryDir elsewhere;
  form_->DirectoryListBox1->SetDirectory(elsewhere.path());
  ASSERT_EQ(QDir::currentPath(), QDir(elsewhere.path()).canonicalPath());

  ASSERT_TRUE(PressKey(QKeySequence(Qt::Key_F1)));

  EXPECT_EQ(Application()->HelpFile(), helpFile);
  HelpFinderWindow* finder = TopicsFinder();
  ASSERT_NE(finder, nullptr);
  EXPECT_TRUE(finder->isVisible());
  EXPECT_EQ(finder->FileName(), helpFile);
  EXPECT_EQ(finder->windowTitle(), QStringLiteral("Hilfethemen: Velarim-Hilfe - Willkommen bei Velarim"));
  EXPECT_GT(finder->Contents()->topLevelItemCount(), 0);

  finder->SearchInput()->setText(QStringLiteral("vier dias"));
  finder->RunSearch();
  ASSERT_GT(finder->SearchResults()->count(), 0);
  EXPECT_EQ(finder->File().topics[static_cast<size_t>(finder->ShownTopic())].id, QStringLiteral("start"));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FileActionsTest, MissingHelpFileIsReportedByTheFinderItself) {
  InstallHelpEngine();
  form_->Hilfedatei1->Click();
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_TRUE(messages_.shown[0].text.contains(programDir_.path() + QStringLiteral("/Velarim.HLP")));
  EXPECT_TRUE(TopicsFinder() == nullptr || !TopicsFinder()->isVisible());
}

TEST_F(FileActionsTest, InfoShowsTheInformationWindowUntilEscape) {
  TFormHHInfo* info = Application()->CreateForm<TFormHHInfo>();
  form_->SoftwareInfo1->Click();
  EXPECT_TRUE(info->Visible());
  EXPECT_EQ(info->Widget()->windowModality(), Qt::ApplicationModal);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(info->UrlLabel1->Widget(), &escape);
  EXPECT_FALSE(info->Visible());
  EXPECT_EQ(info->ModalResult(), TModalResult::mrCancel);
}

}  // namespace
