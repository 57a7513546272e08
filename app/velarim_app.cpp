#include "app/velarim_app.h"

#include "app/help_finder.h"
#include "app/main_form.h"
#include "chrome/info_form.h"
#include "picture/file_formats.h"
#include "framework/application.h"
#include "framework/window_hook.h"
#include "print/pages_dlg.h"
#include "sheet/quad_split.h"
#include "zoom/monitor_form.h"

VelarimWindows CreateVelarimWindows() {
  TApplication* application = CreateApplication();
  VelarimWindows windows;
  windows.Form1 = application->CreateForm<TForm1>();
  windows.FormMonitor = application->CreateForm<TFormMonitor>();
  windows.PagesDlg = application->CreateForm<TPagesDlg>();
  windows.FormHHInfo = application->CreateForm<TFormHHInfo>();
  InstallHelpEngine();
  windows.Form1->SetSecondaryWindows(windows.FormMonitor, windows.PagesDlg);
  application->Initialize();
  return windows;
}

int RunVelarim() {
  InitializeJpegKind();
  RegisterSplitCursors();
  CreateVelarimWindows();
  const int exitCode = Application()->Run();
  DestroyApplication();
  UnregisterSplitCursors();
  THookList::FreeHookList();
  FinalizeJpegKind();
  return exitCode;
}
