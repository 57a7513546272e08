#pragma once
// The program from start to end: the four windows in their order, the initialisation
// step, the message loop, and the end with all windows.

class TForm1;
class TFormMonitor;
class TPagesDlg;
class TFormHHInfo;

struct VelarimWindows {
  TForm1* Form1 = nullptr;
  TFormMonitor* FormMonitor = nullptr;
  TPagesDlg* PagesDlg = nullptr;
  TFormHHInfo* FormHHInfo = nullptr;
};

// Creates the application object when there is none yet, the four windows (the main
// window's FormCreate runs at once) and runs the application's initialisation step.
// Needs a Qt application.
VelarimWindows CreateVelarimWindows();

// The whole run: creates the windows, runs the message loop until the main window has
// closed, and destroys everything. Returns the process's exit code.
int RunVelarim();
