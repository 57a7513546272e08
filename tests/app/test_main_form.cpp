// The main window's start and close: settings read into the folder list and the hint
// switch, the framed controls, the failure of a start-up step, and every way of closing.
#include "app/ini_file.h"
#include "app/main_form.h"
#include "browse/directory_list.h"
#include "browse/drive_combo.h"
#include "browse/file_list.h"
#include "chrome/gradient_caption.h"
#include "chrome/speed_bar.h"
#include "framework/application.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "support/scripted_dialogs.h"
#include "tests/app/main_form_fixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The pictures folder of the fixture is the current folder the program starts in.
class MainFormTest : public MainFormFixture {
 protected:
  QString settingsFile() const { return programDir_.path() + QStringLiteral("/velarim.ini"); }
  QString workDir() const { return QDir(pictures_.path()).canonicalPath(); }

  void writeSettings(const QByteArray& text) {
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  // Creates the main window as the program does, with the executable in programDir.
  TForm1* start(const QString& programDir = QString()) {
    CreateApplication()->SetExeName((programDir.isEmpty() ? programDir_.path() : programDir) + QStringLiteral("/Velarim"));
    return Application()->CreateForm<TForm1>();
  }

  ScriptedDialogs dialogs_;
};

TEST_F(MainFormTest, FirstStartKeepsFolderTurnsHintsOnAndWritesNothing) {
  TForm1* form = start();
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(form->ProgramDirectory(), programDir_.path() + QStringLiteral("/"));
  EXPECT_EQ(form->DirectoryListBox1->Directory(), workDir());
  EXPECT_TRUE(form->OnlineHilfe->Checked());
  EXPECT_TRUE(Application()->ShowHint());
  EXPECT_EQ(Application()->HintPause(), 0);
  EXPECT_FALSE(QFile::exists(settingsFile()));
  EXPECT_EQ(form->FileListBox1->Mask(), QStringLiteral("*.jpg;*.jpeg"));
}

TEST_F(MainFormTest, StartUpGivesPreviewPanelItsShapeAndFramesPlainControls) {
  TForm1* form = start();
  EXPECT_EQ(form->Panel6->Height(), 102);
  EXPECT_EQ(form->Panel6->Width(), 136);
  for (TWinControl* framed : std::initializer_list<TWinControl*>{form->Edit1, form->FileListBox1, form->Panel2,
                                                                  form->Panel4, form->Panel1, form->Panel6,
                                                                  form->Panel5, form->DirectoryListBox1}) {
    EXPECT_TRUE(framed->Style() & WS_DLGFRAME) << framed->Name().toStdString();
  }
  EXPECT_FALSE(form->Toolbar->Style() & WS_DLGFRAME);
  EXPECT_EQ(form->Edit1->Height(), 28);

  // Computed once: a later resize keeps the width.
  form->SetClientSize(900, 600);
  EXPECT_EQ(form->Panel6->Width(), 136);
}

TEST_F(MainFormTest, StoredFolderIsEnteredAndHintStateRead) {
  QTemporaryDir stored;
  writeSettings("[Verzeichnisse]\nletztes=" + stored.path().toUtf8() + "\n[OnlineHilfe]\nStatus=0\n");
  TForm1* form = start();
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(form->DirectoryListBox1->Directory(), QDir(stored.path()).canonicalPath());
  EXPECT_EQ(form->FileListBox1->Directory(), QDir(stored.path()).canonicalPath());
  EXPECT_FALSE(form->OnlineHilfe->Checked());
  EXPECT_FALSE(Application()->ShowHint());
}

// Every step after the lost folder still runs: the hint state, the frames, the mask,
// the progress handlers and the title.
void ExpectStartUpComplete(TForm1* form) {
  EXPECT_FALSE(form->OnlineHilfe->Checked()) << "the stored hint state was read";
  EXPECT_TRUE(form->Edit1->Style() & WS_DLGFRAME);
  EXPECT_EQ(form->Edit1->Height(), 28);
  EXPECT_EQ(form->FileListBox1->Mask(), QStringLiteral("*.jpg;*.jpeg"));
  for (TImage* image : {form->Image3, form->Image2, form->Image4, form->Image5, form->Image6}) {
    EXPECT_TRUE(image->OnProgress) << image->Name().toStdString();
  }
  EXPECT_EQ(form->RxGradientCaption1->FormCaption(), QStringLiteral("VELARIM V3.0 Webversion"));
}

TEST_F(MainFormTest, LostStoredFolderIsReportedThenItsNearestParentShownAndStartUpCompleted) {
  QTemporaryDir root;
  const QString urlaub = QDir(root.path()).canonicalPath() + QStringLiteral("/Urlaub");
  ASSERT_TRUE(QDir().mkpath(urlaub));
  writeSettings("[Verzeichnisse]\nletztes=" + urlaub.toUtf8() + "/2001/Juni\n[OnlineHilfe]\nStatus=0\n");
  TForm1* form = start();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, QStringLiteral("Datei nicht gefunden."));
  EXPECT_EQ(dialogs_.shown[0].caption, QStringLiteral("Velarim"));
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(form->DirectoryListBox1->Directory(), urlaub);
  EXPECT_EQ(form->FileListBox1->Directory(), urlaub);
  ExpectStartUpComplete(form);

  // The next close stores the folder then shown, so the following start is normal.
  form->Beenden1->Click();
  const TIniFile settings(settingsFile());
  EXPECT_EQ(settings.ReadString(QStringLiteral("Verzeichnisse"), QStringLiteral("letztes"), QString()), urlaub);
  EXPECT_EQ(settings.ReadString(QStringLiteral("OnlineHilfe"), QStringLiteral("Status"), QString()),
            QStringLiteral("0"));
}

TEST_F(MainFormTest, StoredFolderBelowAFileFallsBackToTheFolderHoldingIt) {
  QTemporaryDir root;
  const QString folder = QDir(root.path()).canonicalPath();
  QFile file(folder + QStringLiteral("/notiz.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  writeSettings("[Verzeichnisse]\nletztes=" + folder.toUtf8() + "/notiz.txt/Bilder\n[OnlineHilfe]\nStatus=0\n");
  TForm1* form = start();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(form->DirectoryListBox1->Directory(), folder);
  ExpectStartUpComplete(form);
}

TEST_F(MainFormTest, FolderWithBlanksAtItsEndsIsStoredAndEnteredAgain) {
  QTemporaryDir root;
  const QString folder = QDir(root.path()).canonicalPath() + QStringLiteral("/ Urlaub ");
  ASSERT_TRUE(QDir().mkpath(folder));
  writeSettings("[Verzeichnisse]\nletztes=\"" + folder.toUtf8() + "\"\n");
  TForm1* form = start();
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(form->DirectoryListBox1->Directory(), folder);
  form->Beenden1->Click();
  DestroyApplication();

  TForm1* again = start();
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(again->DirectoryListBox1->Directory(), folder);
}

TEST_F(MainFormTest, FolderWithLineBreakKeepsStoredFolderAndStillWritesHintState) {
  QTemporaryDir root;
  const QString folder = QDir(root.path()).canonicalPath() + QStringLiteral("/Zeile\nzwei");
  ASSERT_TRUE(QDir().mkpath(folder));
  writeSettings("[Verzeichnisse]\nletztes=/vorher\n[OnlineHilfe]\nStatus=1\n");
  TForm1* form = start();
  dialogs_.shown.clear();
  form->DirectoryListBox1->SetDirectory(folder);
  ASSERT_EQ(form->DirectoryListBox1->Directory(), folder);
  form->OnlineHilfe->SetChecked(false);
  form->Beenden1->Click();
  EXPECT_TRUE(dialogs_.shown.empty()) << "no error box at the close";
  EXPECT_TRUE(Application()->Terminated());
  const TIniFile settings(settingsFile());
  EXPECT_EQ(settings.ReadString(QStringLiteral("Verzeichnisse"), QStringLiteral("letztes"), QString()),
            QStringLiteral("/vorher"));
  EXPECT_EQ(settings.ReadString(QStringLiteral("OnlineHilfe"), QStringLiteral("Status"), QString()),
            QStringLiteral("0"));
}

// The window joins the drive selector and the folder list: choosing a drive takes the
// lists there, and the folder list entering another drive shows it in the selector.
TEST_F(MainFormTest, DriveSelectorAndFolderListStayOnOneDrive) {
  TForm1* form = start();
  const QString first = form->DirectoryListBox1->Directory();
  const QString firstRoot = platform::DriveRootOf(first);
  const std::vector<platform::DriveInfo> drives = platform::GetDrives();
  const auto indexOf = [&](const QString& root) {
    const auto found = std::find_if(drives.begin(), drives.end(), [&](const auto& drive) { return drive.root == root; });
    return found == drives.end() ? -1 : static_cast<int>(found - drives.begin());
  };
  const auto other = std::find_if(drives.begin(), drives.end(), [&](const platform::DriveInfo& drive) {
    const QFileInfo root(drive.root);
    return drive.root != firstRoot && root.isDir() && root.isExecutable();
  });
  if (other == drives.end()) GTEST_SKIP() << "no second drive to choose";
  auto* combo = qobject_cast<QComboBox*>(form->RzDriveComboBox1->Widget());
  ASSERT_NE(combo, nullptr);
  emit combo->activated(indexOf(other->root));
  EXPECT_EQ(form->RzDriveComboBox1->Drive(), other->root);
  EXPECT_EQ(platform::DriveRootOf(form->DirectoryListBox1->Directory()), other->root);
  EXPECT_EQ(form->FileListBox1->Directory(), form->DirectoryListBox1->Directory());

  form->DirectoryListBox1->SetDirectory(first);
  EXPECT_EQ(form->RzDriveComboBox1->Drive(), firstRoot);
  EXPECT_EQ(combo->currentIndex(), indexOf(firstRoot));
}

struct HintCase {
  const char* stored;
  bool on;
};

class HintStateTest : public MainFormTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(HintStateTest, StoredValueFollowsIntegerRule) {
  writeSettings(QByteArray("[OnlineHilfe]\nStatus=") + GetParam().stored + "\n");
  TForm1* form = start();
  EXPECT_EQ(form->OnlineHilfe->Checked(), GetParam().on);
  EXPECT_EQ(Application()->ShowHint(), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(MainForm, HintStateTest,
                         ::testing::Values(HintCase{"1", true}, HintCase{"-1", true}, HintCase{"0x10", true},
                                           HintCase{"7", true}, HintCase{"2", true}, HintCase{"0x1F", true},
                                           HintCase{"0", false}, HintCase{"0x0", false}, HintCase{"ja", true},
                                           HintCase{"", true}, HintCase{"abc", true}));

enum class CloseWay { MenuItem, CloseBox, AltF4 };

class CloseTest : public MainFormTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(CloseTest, EachWayRunsFormCloseOnceAndEndsTheProgram) {
  TForm1* form = start();
  int closes = 0;
  auto formClose = form->OnClose;
  form->OnClose = [&](TObject* sender, TCloseAction& action) {
    ++closes;
    formClose(sender, action);
  };
  switch (GetParam()) {
    case CloseWay::MenuItem:
      form->Beenden1->Click();
      break;
    case CloseWay::CloseBox: {
      QCloseEvent close;
      QApplication::sendEvent(form->Widget(), &close);
      break;
    }
    case CloseWay::AltF4: {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
      QApplication::sendEvent(form->FileListBox1->Widget(), &key);
      break;
    }
  }
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(Application()->Terminated());
  // A second request after the end does not run it again.
  form->Beenden1->Click();
  EXPECT_EQ(closes, 1);
  const TIniFile settings(settingsFile());
  EXPECT_EQ(settings.ReadString(QStringLiteral("Verzeichnisse"), QStringLiteral("letztes"), QString()), workDir());
}

INSTANTIATE_TEST_SUITE_P(MainForm, CloseTest,
                         ::testing::Values(CloseWay::MenuItem, CloseWay::CloseBox, CloseWay::AltF4));

// The profile folder of this test's own, restored afterwards.
class ProfileFolder {
 public:
  explicit ProfileFolder(const QByteArray& configHome)
      : wasSet_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")), saved_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", configHome);
  }
  ~ProfileFolder() {
    if (wasSet_) {
      qputenv("XDG_CONFIG_HOME", saved_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
  }

 private:
  bool wasSet_;
  QByteArray saved_;
};

TEST_F(MainFormTest, FailedSettingsWriteIsReportedAndProgramStillCloses) {
  // Neither the program directory nor the profile folder can be written.
  const ProfileFolder profile("/proc/self/no-config");
  TForm1* form = start(QStringLiteral("/proc/velarim-no-such-folder"));
  dialogs_.shown.clear();
  form->Beenden1->Click();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text,
            QStringLiteral("nach /proc/self/no-config/velarim/velarim.ini kann nicht geschrieben werden."));
  EXPECT_TRUE(Application()->Terminated());
}

// A system-wide install: the settings go to the person's profile folder, and the next
// start reads them from there.
TEST_F(MainFormTest, UnwritableProgramDirectoryKeepsSettingsInTheProfileFolder) {
  QTemporaryDir configHome;
  ASSERT_TRUE(configHome.isValid());
  const ProfileFolder profile(QFile::encodeName(configHome.path()));
  const QString settings = configHome.path() + QStringLiteral("/velarim/velarim.ini");
  TForm1* form = start(QStringLiteral("/proc/self"));
  EXPECT_EQ(form->SettingsFileName(), settings);
  form->OnlineHilfe->SetChecked(false);
  form->Beenden1->Click();
  EXPECT_TRUE(dialogs_.shown.empty());
  DestroyApplication();

  form = start(QStringLiteral("/proc/self"));
  EXPECT_FALSE(form->OnlineHilfe->Checked());
  EXPECT_EQ(TIniFile(settings).ReadString(QStringLiteral("Verzeichnisse"), QStringLiteral("letztes"), QString()),
            workDir());
}

TEST_F(MainFormTest, HiddenActionItemStillPerformsOnCtrlA) {
  TForm1* form = start();
  int performed = 0;
  form->Aktionausfhren1->OnClick = [&](TObject*) { ++performed; };
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
  QApplication::sendEvent(form->Edit1->Widget(), &key);
  EXPECT_EQ(performed, 1);
  EXPECT_FALSE(form->Aktionausfhren1->Visible());
  EXPECT_FALSE(form->Speichern1->Enabled());
}

}  // namespace
