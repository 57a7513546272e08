// The window placement keeper: what the first close writes, the restore rules for a
// changed screen, changed pixels per inch, broken frames, versions and show commands,
// and failures that must not keep the window from showing or closing.
#include "app/form_placement.h"
#include "app/ini_file.h"
#include "framework/application.h"
#include "platform/private_profile_file.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TPlacedForm : public TForm {
 public:
  explicit TPlacedForm(TComponent* AOwner) : TForm(AOwner), keeper(new TFormPlacement(this)) {
    SetOwnFrame(true);
    SetBounds(236, 117, Width(), Height());
    SetClientSize(300, 200);
    keeper->Loaded();
  }
  QString ClassName() const override { return QStringLiteral("TPlacedForm"); }
  TFormPlacement* keeper;
};

class FormPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(profile_.isValid());
    oldProfile_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", profile_.path().toUtf8());
    CreateApplication()->SetExeName(QStringLiteral("/opt/velarim/Velarim"));
  }
  void TearDown() override {
    DestroyApplication();
    qputenv("XDG_CONFIG_HOME", oldProfile_);
  }

  QString placementFile() const { return profile_.path() + QStringLiteral("/velarim/Velarim.INI"); }
  void writePlacement(const QByteArray& text) {
    QDir().mkpath(profile_.path() + QStringLiteral("/velarim"));
    QFile file(placementFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QByteArray readPlacement() const {
    QFile file(placementFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  TPlacedForm* show() {
    form_ = Application()->CreateForm<TPlacedForm>();
    form_->Show();
    QCoreApplication::processEvents();
    return form_;
  }
  QRect geometry() const { return form_->Widget()->geometry(); }
  // A new run of the program with the same placement file.
  void restart() {
    DestroyApplication();
    CreateApplication()->SetExeName(QStringLiteral("/opt/velarim/Velarim"));
  }
  QByteArray sized(const char* key) const { return QByteArray(key) + ScreenSizeSuffix().toUtf8(); }

  QTemporaryDir profile_;
  QByteArray oldProfile_;
  TPlacedForm* form_ = nullptr;
};

TEST_F(FormPlacementTest, FirstCloseWritesTheNineKeysInOrder) {
  show();
  EXPECT_EQ(geometry().topLeft(), QPoint(236, 117)) << "no file: the designed position";
  form_->Close();
  const QRect frame = geometry();
  const QByteArray normal = QStringLiteral("%1,%2,%3,%4")
                                .arg(frame.left()).arg(frame.top()).arg(frame.right() + 1).arg(frame.bottom() + 1)
                                .toUtf8();
  const QByteArray expected = "[TPlacedForm]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=" +
                              QByteArray::number(ScreenPixelsPerInch()) + "\n" + sized("MinMaxPos") +
                              "=-1,-1,-4,-4\nMinMaxPos=-1,-1,-4,-4\n" + sized("NormPos") + "=" + normal +
                              "\nNormPos=" + normal + "\nVisible=0\n";
  EXPECT_EQ(readPlacement(), expected);
}

TEST_F(FormPlacementTest, TheSaveReplacesTheFileOnce) {
  writePlacement("[TPlacedForm]\nShowCmd=3\nNormPos=1,2,3,4\nOther=kept\n");
  show();
  int replacements = 0;
  platform::profile_file::SetReplaceStepHookForTesting([&](platform::profile_file::ReplaceStep step) {
    if (step == platform::profile_file::ReplaceStep::Rename) ++replacements;
  });
  form_->Close();
  platform::profile_file::SetReplaceStepHookForTesting({});
  EXPECT_EQ(replacements, 1);
  const QByteArray saved = readPlacement();
  for (const char* key : {"FormVersion=", "Flags=", "ShowCmd=", "PixelsPerInch=", "MinMaxPos=", "NormPos=",
                          "Visible=", "Other=kept"}) {
    EXPECT_TRUE(saved.contains(key)) << key;
  }
  EXPECT_TRUE(saved.contains(sized("MinMaxPos") + "=") && saved.contains(sized("NormPos") + "="));
}

TEST_F(FormPlacementTest, ReopensWhereItWasClosed) {
  writePlacement("[TPlacedForm]\nShowCmd=1\n" + sized("NormPos") + "=100,50,600,450\n");
  show();
  EXPECT_EQ(geometry(), QRect(100, 50, 500, 400));
  EXPECT_FALSE(form_->Widget()->isMaximized());
}

TEST_F(FormPlacementTest, WindowBackFromTheTaskBarKeepsWhereTheUserPutIt) {
  writePlacement("[TPlacedForm]\nShowCmd=1\nNormPos=100,50,600,450\n");
  show();
  form_->Widget()->setGeometry(300, 200, 500, 400);
  QShowEvent shownAgain;  // what the desktop sends when the window is restored
  QCoreApplication::sendEvent(form_->Widget(), &shownAgain);
  EXPECT_EQ(geometry(), QRect(300, 200, 500, 400));
  form_->Hide();
  form_->Show();
  EXPECT_EQ(geometry(), QRect(100, 50, 500, 400)) << "shown after hiding: restored again";
}

TEST_F(FormPlacementTest, OtherScreenSizeFallsBackToThePlainKeys) {
  writePlacement("[TPlacedForm]\nNormPos(1x1)=1,1,2,2\nNormPos=120,80,520,380\n");
  show();
  EXPECT_EQ(geometry(), QRect(120, 80, 400, 300));
  form_->Close();
  EXPECT_TRUE(readPlacement().contains(sized("NormPos") + "=120,80,520,380"));
}

TEST_F(FormPlacementTest, OtherPixelsPerInchRestoresTheStateButNotThePosition) {
  writePlacement("[TPlacedForm]\nShowCmd=3\nPixelsPerInch=" + QByteArray::number(ScreenPixelsPerInch() + 24) +
                 "\nNormPos=120,80,520,380\n");
  show();
  EXPECT_EQ(geometry().topLeft() == QPoint(120, 80), false);
  EXPECT_TRUE(form_->Widget()->isMaximized());
}

TEST_F(FormPlacementTest, FrameWhoseLeftIsNotLeftOfItsRightIsNotApplied) {
  writePlacement("[TPlacedForm]\nNormPos=0,0,0,0\n");
  show();
  EXPECT_EQ(geometry().topLeft(), QPoint(236, 117));
}

TEST_F(FormPlacementTest, ShowCommandThreeMaximises) {
  writePlacement("[TPlacedForm]\nShowCmd=3\nNormPos=120,80,520,380\n");
  show();
  EXPECT_TRUE(form_->Widget()->isMaximized());
  form_->Widget()->showNormal();
  QCoreApplication::processEvents();
  EXPECT_EQ(geometry(), QRect(120, 80, 400, 300)) << "the stored frame is the one restored to";
}

TEST_F(FormPlacementTest, ShowCommandTwoMinimisesTheProgramOnceTheLoopRuns) {
  writePlacement("[TPlacedForm]\nShowCmd=2\n");
  form_ = Application()->CreateForm<TPlacedForm>();
  form_->Show();
  EXPECT_FALSE(form_->Widget()->isMinimized()) << "shown normal first";
  for (int i = 0; i < 100 && !form_->Widget()->isMinimized(); ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(form_->Widget()->isMinimized());
}

TEST_F(FormPlacementTest, UnknownShowCommandsOpenNormal) {
  for (int showCmd : {0, 4, 8, 17}) {
    EXPECT_EQ(WindowStateFromShowCmd(showCmd, TWindowState::wsNormal), TWindowState::wsNormal) << showCmd;
  }
  EXPECT_EQ(WindowStateFromShowCmd(6, TWindowState::wsNormal), TWindowState::wsMinimized);
  EXPECT_EQ(WindowStateFromShowCmd(7, TWindowState::wsNormal), TWindowState::wsMinimized);
  EXPECT_EQ(WindowStateFromShowCmd(9, TWindowState::wsMaximized), TWindowState::wsNormal);
  EXPECT_EQ(WindowStateFromShowCmd(0, TWindowState::wsMaximized), TWindowState::wsMaximized);
}

TEST_F(FormPlacementTest, StoredVersionBelowTheKeepersSkipsTheRestoreButNotTheSave) {
  writePlacement("[TPlacedForm]\nFormVersion=-1\nShowCmd=3\nNormPos=120,80,520,380\n");
  show();
  EXPECT_EQ(geometry().topLeft(), QPoint(236, 117));
  EXPECT_FALSE(form_->Widget()->isMaximized());
  EXPECT_TRUE(form_->keeper->Restored());
  form_->Close();
  EXPECT_TRUE(readPlacement().contains("FormVersion=0\n"));
  EXPECT_TRUE(form_->keeper->Saved());
}

TEST_F(FormPlacementTest, NothingIsSavedWithoutARestore) {
  form_ = Application()->CreateForm<TPlacedForm>();
  form_->keeper->SaveFormPlacement();
  EXPECT_FALSE(QFile::exists(placementFile()));
}

TEST_F(FormPlacementTest, DestructionSavesWhenTheCloseDidNot) {
  show();
  DestroyApplication();
  EXPECT_TRUE(readPlacement().contains("Visible=1\n"));
}

TEST_F(FormPlacementTest, UnwritableProfileIsReportedAndTheWindowStillCloses) {
  ScriptedDialogs dialogs;
  QFile blocker(profile_.path() + QStringLiteral("/velarim"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
  blocker.close();
  show();
  form_->Close();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("kann nicht geschrieben werden")));
  EXPECT_TRUE(Application()->Terminated());
  DestroyApplication();
  EXPECT_EQ(dialogs.shown.size(), 1u) << "the failed write was reported a second time, after the window had gone";
}

TEST_F(FormPlacementTest, DamagedOrOffScreenFramesAreKeptOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QByteArray frames[] = {"0,0,2147483647,2147483647", "-5000,-5000,-4700,-4750", "9000,9000,9300,9250",
                               "100,50,105,55"};
  for (const QByteArray& frame : frames) {
    writePlacement("[TPlacedForm]\nShowCmd=1\nNormPos=" + frame + "\n");
    show();
    const QRect shown = geometry();
    EXPECT_TRUE(screen.contains(QRect(shown.topLeft(), QSize(shown.width(), 23)))) << frame.constData();
    EXPECT_LE(shown.width(), screen.width()) << frame.constData();
    EXPECT_LE(shown.height(), screen.height()) << frame.constData();
    restart();
  }
  // Too small to be real: the designed size at the stored place.
  writePlacement("[TPlacedForm]\nShowCmd=1\nNormPos=100,50,105,55\n");
  const QSize design = Application()->CreateForm<TPlacedForm>()->Widget()->size();
  restart();
  show();
  EXPECT_EQ(geometry(), QRect(QPoint(100, 50), design));
}

TEST_F(FormPlacementTest, QuotedTextGetsAnotherPairOfQuotes) {
  show();
  TIniFile ini(form_->keeper->IniFileName());
  form_->keeper->WriteString(ini, QStringLiteral("A"), QStringLiteral("\"x\""));
  form_->keeper->WriteString(ini, QStringLiteral("B"), QStringLiteral("'y'"));
  form_->keeper->WriteString(ini, QStringLiteral("C"), QStringLiteral("\"z"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("TPlacedForm"), QStringLiteral("A"), {}), QStringLiteral("\"x\""));
  EXPECT_EQ(ini.ReadString(QStringLiteral("TPlacedForm"), QStringLiteral("B"), {}), QStringLiteral("'y'"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("TPlacedForm"), QStringLiteral("C"), {}), QStringLiteral("\"z"));
}

TEST(PositionWords, SplitsAtCommasAndBlanksWithFallbacks) {
  const std::vector<int> fallbacks{7, 8, 9, 10};
  EXPECT_EQ(PositionWords(QStringLiteral("1,2,3,4"), fallbacks), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(PositionWords(QStringLiteral(" 1 , 2,,3 4"), fallbacks), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(PositionWords(QStringLiteral("1,x,-3"), fallbacks), (std::vector<int>{1, 8, -3, 10}));
  EXPECT_EQ(PositionWords(QString(), fallbacks), fallbacks);
}

TEST(MaximizedPosition, FrameJustOutsideTheScreen) {
  EXPECT_EQ(MaximizedPositionFor(TFormBorderStyle::bsSizeable), QPoint(-4, -4));
  EXPECT_EQ(MaximizedPositionFor(TFormBorderStyle::bsDialog), QPoint(-3, -3));
  EXPECT_EQ(MaximizedPositionFor(TFormBorderStyle::bsSingle), QPoint(-1, -1));
  EXPECT_EQ(MaximizedPositionFor(TFormBorderStyle::bsNone), QPoint(0, 0));
}

}  // namespace
