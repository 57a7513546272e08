#pragma once
// The end-to-end harness: a private X server (Xvfb) with or without a window manager,
// the real Velarim executable started in a temporary program directory and home, real
// input through xdotool, and what a person sees read from outside (windows, titles,
// geometry, screenshots, files, the process's exit). Every process it starts is ended
// by its id when its owner goes out of scope, also when a test fails.

#include "tests/support/wait_until.h"

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <string>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// What a short tool wrote to its standard output, and how it ended.
struct ToolResult {
  int exitCode = -1;
  QByteArray output;
  bool ok() const { return exitCode == 0; }
};

// Runs a short tool to its end; one that has not ended within the timeout is killed.
ToolResult RunTool(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                   Milliseconds timeout = 10s);

// A long-running child process, ended by its id (SIGTERM, then SIGKILL) when the object dies.
class ChildProcess {
 public:
  // Output goes to logFile; an empty name keeps standard output readable through the pipe.
  ChildProcess(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
               const QString& workingDirectory = QString(), const QString& logFile = QString());
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_; }
  qint64 Pid() const { return pid_; }
  bool Running() const;
  // The exit code once the process has ended within the timeout; a signal gives 128 + its number.
  std::optional<int> WaitForExit(Milliseconds timeout);
  // Reads standard output (when not sent to a log file) until it contains a newline.
  std::optional<QByteArray> ReadLine(Milliseconds timeout);

 private:
  std::unique_ptr<QProcess> process_;
  qint64 pid_ = 0;
  bool started_ = false;
  std::optional<int> exitCode_;
};

enum class WindowManager { Openbox, None };

// A window of the X server, as xdotool reports it; geometry in screen coordinates.
struct Window {
  unsigned long id = 0;
  QString title;
  QRect geometry;
  QString type;  // from _NET_WM_WINDOW_TYPE: "normal", "dialog", "popup_menu", ...
  bool overrideRedirect = false;  // placed by the program itself, not the window manager (menus, tips)
};

// A private X server of 1280 x 1024 pixels at 24 bits on a free display number, with
// the chosen window manager, and the tools that send input to it and read it.
class Display {
 public:
  explicit Display(WindowManager manager = WindowManager::Openbox);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  bool Ready() const { return ready_; }
  // Why the display is not ready, for the test's failure message.
  std::string Failure() const { return failure_.toStdString(); }
  const QString& Name() const { return name_; }
  WindowManager Manager() const { return manager_; }
  // The environment of a program on this display: DISPLAY, and nothing of the caller's desktop.
  QProcessEnvironment Environment() const;

  // The mapped windows that the process with this id created, each with title and geometry.
  std::vector<Window> VisibleWindowsOf(qint64 pid) const;
  std::optional<Window> Describe(unsigned long id) const;
  // The window manager's states of the window (_NET_WM_STATE), such as "above" or "hidden".
  QStringList WindowStates(unsigned long id) const;
  // The window manager's windows from the bottom of the stack to the top
  // (_NET_CLIENT_LIST_STACKING). The ids are those of the program's own windows.
  std::vector<unsigned long> StackingOrder() const;

  // Real input through the XTEST extension, as from a keyboard and mouse.
  void Key(const QString& keys) const;  // xdotool key names, e.g. "alt+F4", "Return"
  void Type(const QString& text) const;
  void MoveMouse(QPoint screenPoint) const;
  std::optional<QPoint> PointerPosition() const;
  void Click(QPoint screenPoint, int button = 1) const;
  void Drag(QPoint from, QPoint to) const;
  void PressButton(int button = 1) const;
  void ReleaseButton(int button = 1) const;
  // Gives the window the keyboard focus the way this desktop does: through the window
  // manager when there is one, else directly.
  bool Focus(const Window& window) const;
  // The window that has the keyboard focus, if any.
  std::optional<unsigned long> FocusedWindow() const;

  // A picture of the whole screen, or of one part of it.
  QImage Screenshot() const;
  QImage Screenshot(const QRect& area) const;
  // A picture of the area once two pictures in a row agree, so painting has finished.
  QImage SettledScreenshot(const QRect& area, Milliseconds timeout = 5s) const;

  ToolResult Xdotool(const QStringList& arguments) const;

 private:
  // The atoms of a list property that start with its own name, without that name, in lower case.
  QStringList AtomsOf(unsigned long id, const QByteArray& property) const;
  bool startServer(const QString& workDir);
  bool startWindowManager();

  WindowManager manager_;
  QTemporaryDir dir_;
  QString name_;
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> windowManager_;
  bool ready_ = false;
  QString failure_;
};

// How Velarim is started: on which platform, with which settings file beside it.
// The settings file's text that makes the program start in this folder (its canonical path).
QByteArray LastFolderSettings(const QString& folder);

struct VelarimOptions {
  // Content of velarim.ini in the program directory; none means a first start.
  std::optional<QByteArray> settings{};
  // Content of the placement file Velarim.INI in the profile folder; none means none stored.
  std::optional<QByteArray> placement{};
  QString platform = QStringLiteral("xcb");
  // Runs on the program directory before the start, to put files (or obstacles) there.
  std::function<void(const QString& programDir)> prepare{};
  // More variables of the program's environment ("NAME=value"), for a printer server, say.
  QStringList environment{};
  // Starts this program (an installed launcher, say) instead of a copy of the built
  // executable; installedProgramDir is then the folder it starts Velarim from.
  QString launcher{};
  QString installedProgramDir{};
};

// The real, built Velarim executable, copied into a temporary program directory and
// started with a temporary home (HOME, XDG_CONFIG_HOME) as its current folder.
class Velarim {
 public:
  explicit Velarim(const Display& display, VelarimOptions options = {});
  ~Velarim();
  Velarim(const Velarim&) = delete;
  Velarim& operator=(const Velarim&) = delete;

  bool Started() const { return process_ && process_->Started(); }
  qint64 Pid() const { return process_ ? process_->Pid() : 0; }
  const QString& ProgramDir() const { return programDir_; }
  const QString& HomeDir() const { return homeDir_; }
  QString SettingsFile() const { return programDir_ + QStringLiteral("/velarim.ini"); }
  QByteArray Settings() const;
  QString PlacementFile() const { return homeDir_ + QStringLiteral("/.config/velarim/Velarim.INI"); }
  QByteArray Placement() const;
  // How often velarim.ini was replaced so far (each written key replaces the file once).
  int SettingsWrites();

  std::vector<Window> VisibleWindows() const { return display_.VisibleWindowsOf(Pid()); }
  // The first mapped window with this title (any title when empty) and window type (any
  // type when empty), waited for.
  std::optional<Window> WaitForWindow(const QString& title, const QString& type = QString(),
                                      Milliseconds timeout = 10s) const;
  // Waits until the window is no longer mapped.
  bool WaitForWindowGone(unsigned long id, Milliseconds timeout = 5s) const;
  // The main window: mapped, titled "Velarim", the program's own frame around it, and
  // painted (waited for up to 5 s more, since a picture of it is often the reference).
  std::optional<Window> WaitForMainWindow(Milliseconds timeout = 10s) const;

  std::optional<int> WaitForExit(Milliseconds timeout) { return process_->WaitForExit(timeout); }
  bool Running() const { return process_ && process_->Running(); }
  // Everything the program wrote to standard output and error.
  QByteArray Log() const;

 private:
  const Display& display_;
  QTemporaryDir dir_;
  QString programDir_;
  QString homeDir_;
  int watch_ = -1;
  int settingsWrites_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

// How the program's error report looks with this caption and text: the picture of the
// inside of a reference message box drawn on the display (stop icon, OK, Fusion style).
QImage ReferenceMessageBox(const Display& display, const QString& caption, const QString& text);

// Whether the file is a PDF written to its end.
bool PdfComplete(const QString& path);

// The number of pixels that differ between two pictures of one size by more than the
// tolerance in any colour channel; pictures of different sizes differ everywhere.
qint64 DifferingPixels(const QImage& a, const QImage& b, int tolerance = 0);

}  // namespace e2e
