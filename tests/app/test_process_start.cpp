// The process start: four windows in their order, the initialisation step after all of
// them, and only the main window shown by the message loop.
#include "app/main_form.h"
#include "app/velarim_app.h"
#include "chrome/info_form.h"
#include "picture/file_formats.h"
#include "framework/application.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "print/pages_dlg.h"
#include "zoom/monitor_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ProcessStart, CreatesFourWindowsInOrderThenInitializes) {
  QTemporaryDir programDir;
  const QString startDir = QDir::currentPath();
  CreateApplication()->SetExeName(programDir.path() + QStringLiteral("/Velarim"));
  int windowsAtInit = -1;
  Application()->InitProcs.push_back([&] { windowsAtInit = Application()->ComponentCount(); });

  const VelarimWindows windows = CreateVelarimWindows();

  EXPECT_EQ(windowsAtInit, 4);
  ASSERT_EQ(Application()->ComponentCount(), 4);
  EXPECT_EQ(Application()->Components(0), windows.Form1);
  EXPECT_EQ(Application()->Components(1), windows.FormMonitor);
  EXPECT_EQ(Application()->Components(2), windows.PagesDlg);
  EXPECT_EQ(Application()->Components(3), windows.FormHHInfo);
  EXPECT_EQ(Application()->MainForm(), windows.Form1);
  // FormCreate ran while the main window was created.
  EXPECT_EQ(windows.Form1->ProgramDirectory(), programDir.path() + QStringLiteral("/"));
  for (TForm* form : {static_cast<TForm*>(windows.Form1), static_cast<TForm*>(windows.FormMonitor),
                      static_cast<TForm*>(windows.PagesDlg), static_cast<TForm*>(windows.FormHHInfo)}) {
    EXPECT_FALSE(form->Widget()->isVisible()) << form->ClassName().toStdString();
  }
  EXPECT_EQ(windows.FormMonitor->Caption(), QStringLiteral("VELARIM--> Zoomansicht ..."));
  EXPECT_EQ(windows.PagesDlg->ClientWidth(), 457);
  EXPECT_EQ(windows.FormHHInfo->ClientHeight(), 386);
  EXPECT_EQ(windows.Form1->ClientWidth(), 718);
  EXPECT_EQ(windows.Form1->ClientHeight(), 465);

  DestroyApplication();
  QDir::setCurrent(startDir);
}

TEST(ProcessStart, JpegKindRegistersAndUnregistersItsExtensions) {
  InitializeJpegKind();
  EXPECT_NE(GetFileFormats().FindExt(QStringLiteral("jpg")), nullptr);
  FinalizeJpegKind();
  EXPECT_EQ(GetFileFormats().FindExt(QStringLiteral("jpg")), nullptr);
  EXPECT_NE(GetFileFormats().FindExt(QStringLiteral("bmp")), nullptr);
}

// The whole run on the real message loop: closing the main window ends it, whatever
// the other windows are doing at that moment.
enum class CloseWay { MenuItem, CloseRequest, AltF4 };
enum class OtherWindow { Hidden, ZoomShown, PrintFormatShown, InfoShown, ModalDialogOpen };

struct EndCase {
  CloseWay way;
  OtherWindow other;
};

class ProcessEndTest : public ::testing::TestWithParam<EndCase> {
 protected:
  void TearDown() override {
    DestroyApplication();
    QDir::setCurrent(startDir_);
  }

  static void close(const VelarimWindows& windows, CloseWay way) {
    switch (way) {
      case CloseWay::MenuItem:
        windows.Form1->Beenden1->Click();
        break;
      case CloseWay::CloseRequest: {
        QCloseEvent close;
        QApplication::sendEvent(windows.Form1->Widget(), &close);
        break;
      }
      case CloseWay::AltF4: {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
        QApplication::sendEvent(windows.Form1->Edit1->Widget(), &key);
        break;
      }
    }
  }

  QTemporaryDir programDir_;
  const QString startDir_ = QDir::currentPath();
};

TEST_P(ProcessEndTest, MainWindowCloseEndsTheMessageLoop) {
  CreateApplication()->SetExeName(programDir_.path() + QStringLiteral("/Velarim"));
  const VelarimWindows windows = CreateVelarimWindows();
  const CloseWay way = GetParam().way;
  switch (GetParam().other) {
    case OtherWindow::Hidden: break;
    case OtherWindow::ZoomShown: windows.FormMonitor->Show(); break;
    case OtherWindow::PrintFormatShown: windows.PagesDlg->Show(); break;
    case OtherWindow::InfoShown: windows.FormHHInfo->Show(); break;
    case OtherWindow::ModalDialogOpen:
      // The close comes while a modal dialog runs its own loop over the main window.
      QTimer::singleShot(0, windows.Form1->Widget(), [&windows, way] {
        QDialog dialog(windows.Form1->Widget());
        QTimer::singleShot(0, &dialog, [&windows, way] { close(windows, way); });
        dialog.exec();
      });
      break;
  }
  if (GetParam().other != OtherWindow::ModalDialogOpen) {
    QTimer::singleShot(0, windows.Form1->Widget(), [&windows, way] { close(windows, way); });
  }
  // A loop that has not ended within two seconds is ended here with a code of its own.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(2000);

  EXPECT_EQ(Application()->Run(), 0);
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_TRUE(QFile::exists(programDir_.path() + QStringLiteral("/velarim.ini")));
}

std::string EndCaseName(const ::testing::TestParamInfo<EndCase>& info) {
  const char* ways[] = {"MenuItem", "CloseRequest", "AltF4"};
  const char* others[] = {"OthersHidden", "ZoomShown", "PrintFormatShown", "InfoShown", "ModalDialogOpen"};
  return std::string(ways[static_cast<int>(info.param.way)]) + "_" + others[static_cast<int>(info.param.other)];
}

std::vector<EndCase> EveryEndCase() {
  std::vector<EndCase> cases;
  for (CloseWay way : {CloseWay::MenuItem, CloseWay::CloseRequest, CloseWay::AltF4}) {
    for (OtherWindow other : {OtherWindow::Hidden, OtherWindow::ZoomShown, OtherWindow::PrintFormatShown,
                              OtherWindow::InfoShown, OtherWindow::ModalDialogOpen}) {
      cases.push_back({way, other});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(ProcessEnd, ProcessEndTest, ::testing::ValuesIn(EveryEndCase()), EndCaseName);

}  // namespace
