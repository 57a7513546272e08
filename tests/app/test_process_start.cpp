// The process start: four windows in their order, the initialisation step after all of
// them, and only the main window shown by the message loop.
#include "app/main_form.h"
#include "app/velarim_app.h"
#include "chrome/info_form.h"
#include "picture/file_formats.h"
#include "framework/application.h"
#include "print/pages_dlg.h"
#include "zoom/monitor_form.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ProcessStart, CreatesFourWindowsInOrderThenInitializes) {
  QTemporaryDir programDir;
  const QString startDir = QDir::currentPath();
  Application()->SetExeName(programDir.path() + QStringLiteral("/Velarim"));
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

}  // namespace
