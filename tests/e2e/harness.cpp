#include "harness.h"

#include "screen_capture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace e2e {

namespace {

constexpr Milliseconds kTerminateGrace = 2s;

QString SourceFile(const char* name) { return QStringLiteral(E2E_SOURCE_DIR "/") + QLatin1String(name); }

// Display numbers well away from the low ones people and other tools use by hand.
int FirstCandidateDisplay() { return 200 + static_cast<int>(::getpid() % 600); }

bool DisplayLooksTaken(int number) {
  return QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
         QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
}

// Reads a number from a line "  Label: value" as xwininfo prints it.
int InfoValue(const QByteArray& output, const char* label) {
  for (const QByteArray& line : output.split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(label)) return trimmed.mid(static_cast<qsizetype>(std::strlen(label))).trimmed().toInt();
  }
  return 0;
}

// E2E_TRACE=1 lists every tool the harness runs, with the time since the first one.
bool Tracing() {
  static const bool on = qEnvironmentVariableIsSet("E2E_TRACE");
  return on;
}

qint64 SinceStart() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// The caption's two colours, with and without the focus. A window that has not painted
// yet shows what lay below it, the root's black and white weave, on a busy machine
// long enough for two pictures of it to agree.
bool ShowsPaintedCaption(const QImage& row) {
  for (int x = 0; x < row.width(); ++x) {
    const QRgb pixel = row.pixel(x, 0) & RGB_MASK;
    if (pixel == 0x000080 || pixel == 0x808080) return true;
  }
  return false;
}

// Where a window has not painted yet, the root's weave of black and white pixels shows
// through (or a null picture was taken).
bool ShowsRootWeave(const QImage& picture) {
  qint64 bare = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y) & RGB_MASK;
      if (pixel == 0x000000 || pixel == 0xFFFFFF) ++bare;
    }
  }
  return picture.isNull() || bare * 2 > qint64{picture.width()} * picture.height();
}

}  // namespace

ToolResult RunTool(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                   Milliseconds timeout) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(program, arguments);
  ToolResult result;
  if (!process.waitForStarted(static_cast<int>(timeout.count()))) return result;
  if (!process.waitForFinished(static_cast<int>(timeout.count()))) {
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(-1);
    return result;
  }
  result.output = process.readAllStandardOutput();
  if (Tracing()) {
    qDebug("%8lld ms  %s %s", static_cast<long long>(SinceStart()), qPrintable(program), qPrintable(arguments.join(u' ')));
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + process.exitCode();
  return result;
}

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& environment, const QString& workingDirectory,
                           const QString& logFile)
    : process_(std::make_unique<QProcess>()) {
  process_->setProcessEnvironment(environment);
  process_->setStandardInputFile(QProcess::nullDevice());
  if (!workingDirectory.isEmpty()) process_->setWorkingDirectory(workingDirectory);
  if (logFile.isEmpty()) {
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  } else {
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setStandardOutputFile(logFile);
  }
  // Should this test process itself be killed (a timeout of the test runner), the
  // children it started end with it instead of living on (the X server removing its lock).
  process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
  process_->start(program, arguments);
  started_ = process_->waitForStarted(10000);
  if (started_) pid_ = process_->processId();
}

ChildProcess::~ChildProcess() {
  if (!started_ || exitCode_) return;
  if (process_->state() != QProcess::NotRunning) {
    ::kill(static_cast<pid_t>(pid_), SIGTERM);
    if (!process_->waitForFinished(static_cast<int>(kTerminateGrace.count()))) {
      ::kill(static_cast<pid_t>(pid_), SIGKILL);
      process_->waitForFinished(-1);
    }
  }
}

bool ChildProcess::Running() const { return started_ && !exitCode_ && process_->state() != QProcess::NotRunning; }

std::optional<int> ChildProcess::WaitForExit(Milliseconds timeout) {
  if (!started_ || exitCode_) return exitCode_;
  if (process_->state() != QProcess::NotRunning && !process_->waitForFinished(static_cast<int>(timeout.count()))) {
    return std::nullopt;
  }
  exitCode_ = process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : 128 + process_->exitCode();
  return exitCode_;
}

std::optional<QByteArray> ChildProcess::ReadLine(Milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!process_->canReadLine()) {
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= 0ms || process_->state() == QProcess::NotRunning) return std::nullopt;
    process_->waitForReadyRead(static_cast<int>(left.count()));
  }
  return process_->readLine().trimmed();
}

Display::Display(WindowManager manager) : manager_(manager) {
  if (!dir_.isValid() || !QDir(dir_.path()).mkdir(QStringLiteral("runtime"))) {
    failure_ = QStringLiteral("no temporary folder");
    return;
  }
  QFile::setPermissions(dir_.path() + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (!startServer(dir_.path())) {
    failure_ = QStringLiteral("Xvfb did not start (scripts/ensure_packages.sh test installs it)");
    return;
  }
  ready_ = manager_ == WindowManager::None || startWindowManager();
  if (!ready_) failure_ = QStringLiteral("openbox did not start on ") + name_;
}

Display::~Display() {
  // The window manager goes first, so it never sees its server vanish under it.
  windowManager_.reset();
  server_.reset();
}

QProcessEnvironment Display::Environment() const {
  QProcessEnvironment environment;
  environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin")));
  environment.insert(QStringLiteral("DISPLAY"), name_);
  environment.insert(QStringLiteral("HOME"), dir_.path());
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path() + QStringLiteral("/runtime"));
  // No session bus: nothing may start a bus daemon that outlives the test.
  environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                     QStringLiteral("unix:path=") + dir_.path() + QStringLiteral("/no-session-bus"));
  return environment;
}

bool Display::startServer(const QString& workDir) {
  const int first = FirstCandidateDisplay();
  for (int number = first; number < first + 100; ++number) {
    if (DisplayLooksTaken(number)) continue;
    // -displayfd writes the number to standard output once the server accepts clients.
    const QStringList arguments{QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                QStringLiteral("-noreset"), QStringLiteral("-displayfd"), QStringLiteral("1")};
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    auto server = std::make_unique<ChildProcess>(QStringLiteral("Xvfb"), arguments, environment, workDir);
    if (!server->Started()) return false;
    const std::optional<QByteArray> announced = server->ReadLine(10s);
    if (announced && announced->toInt() == number) {
      server_ = std::move(server);
      name_ = QStringLiteral(":%1").arg(number);
      return true;
    }
    // Another server took this number between the check and the start: try the next.
  }
  return false;
}

bool Display::startWindowManager() {
  QProcessEnvironment environment = Environment();
  // The window manager's own settings, so no user or system configuration changes what a test sees.
  windowManager_ = std::make_unique<ChildProcess>(
      QStringLiteral("openbox"),
      QStringList{QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), SourceFile("openbox-rc.xml")},
      environment, dir_.path(), dir_.path() + QStringLiteral("/openbox.log"));
  if (!windowManager_->Started()) return false;
  return WaitUntil(
      [&] {
        const ToolResult check = RunTool(QStringLiteral("xprop"),
                                         {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                                         environment);
        return check.ok() && check.output.contains("window id");
      },
      10s);
}

ToolResult Display::Xdotool(const QStringList& arguments) const {
  return RunTool(QStringLiteral("xdotool"), arguments, Environment());
}

std::optional<Window> Display::Describe(unsigned long id) const {
  const QString idText = QString::number(id);
  // xwininfo gives the window's own place on the screen, inside any frame of the window manager.
  const ToolResult geometry = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), idText}, Environment());
  const ToolResult name = Xdotool({QStringLiteral("getwindowname"), idText});
  if (!geometry.ok() || !name.ok()) return std::nullopt;
  Window window;
  window.id = id;
  window.title = QString::fromUtf8(name.output).chopped(name.output.endsWith('\n') ? 1 : 0);
  window.geometry = QRect(InfoValue(geometry.output, "Absolute upper-left X:"),
                          InfoValue(geometry.output, "Absolute upper-left Y:"), InfoValue(geometry.output, "Width:"),
                          InfoValue(geometry.output, "Height:"));
  window.overrideRedirect = geometry.output.contains("Override Redirect State: yes");
  // The first standard type of the list; vendor types such as _KDE_NET_WM_WINDOW_TYPE_OVERRIDE come before it.
  const QStringList types = AtomsOf(id, "_NET_WM_WINDOW_TYPE");
  if (!types.isEmpty()) window.type = types.first();
  return window;
}

QStringList Display::AtomsOf(unsigned long id, const QByteArray& property) const {
  const ToolResult read = RunTool(QStringLiteral("xprop"),
                                  {QStringLiteral("-id"), QString::number(id), QString::fromLatin1(property)}, Environment());
  QStringList atoms;
  if (!read.ok()) return atoms;
  const QByteArray prefix = property + '_';
  for (const QByteArray& atom : read.output.mid(read.output.indexOf('=') + 1).split(',')) {
    if (atom.trimmed().startsWith(prefix)) atoms << QString::fromLatin1(atom.trimmed().mid(prefix.size())).toLower();
  }
  return atoms;
}

QStringList Display::WindowStates(unsigned long id) const { return AtomsOf(id, "_NET_WM_STATE"); }

std::vector<unsigned long> Display::StackingOrder() const {
  const ToolResult read = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")},
                                  Environment());
  std::vector<unsigned long> order;
  if (!read.ok()) return order;
  const qsizetype hash = read.output.indexOf('#');
  if (hash < 0) return order;
  for (const QByteArray& id : read.output.mid(hash + 1).split(',')) {
    bool ok = false;
    const unsigned long value = id.trimmed().toULong(&ok, 16);
    if (ok) order.push_back(value);
  }
  return order;
}

std::vector<Window> Display::VisibleWindowsOf(qint64 pid) const {
  std::vector<Window> windows;
  const ToolResult found = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                    QString::number(pid)});
  for (const QByteArray& line : found.output.split('\n')) {
    if (line.trimmed().isEmpty()) continue;
    if (std::optional<Window> window = Describe(line.trimmed().toULong())) windows.push_back(*window);
  }
  return windows;
}

void Display::Key(const QString& keys) const { Xdotool({QStringLiteral("key"), keys}); }

void Display::Type(const QString& text) const { Xdotool({QStringLiteral("type"), text}); }

std::optional<QPoint> Display::PointerPosition() const {
  const ToolResult location = Xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
  if (!location.ok()) return std::nullopt;
  QPoint position;
  for (const QByteArray& line : location.output.split('\n')) {
    if (line.startsWith("X=")) position.setX(line.mid(2).toInt());
    if (line.startsWith("Y=")) position.setY(line.mid(2).toInt());
  }
  return position;
}

void Display::MoveMouse(QPoint p) const {
  // --sync waits for the pointer to move, and so until the tool's timeout when it is
  // already there.
  if (PointerPosition() == p) return;
  Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()), QString::number(p.y())});
}

void Display::Click(QPoint p, int button) const {
  MoveMouse(p);
  Xdotool({QStringLiteral("click"), QString::number(button)});
}

void Display::PressButton(int button) const { Xdotool({QStringLiteral("mousedown"), QString::number(button)}); }

void Display::ReleaseButton(int button) const { Xdotool({QStringLiteral("mouseup"), QString::number(button)}); }

void Display::Drag(QPoint from, QPoint to) const {
  MoveMouse(from);
  PressButton();
  // A few steps in between, so the program sees a movement beyond its drag distance.
  constexpr int kSteps = 6;
  for (int step = 1; step <= kSteps; ++step) MoveMouse(from + (to - from) * step / kSteps);
  ReleaseButton();
}

std::optional<unsigned long> Display::FocusedWindow() const {
  const ToolResult focused = Xdotool({QStringLiteral("getwindowfocus"), QStringLiteral("-f")});
  if (!focused.ok()) return std::nullopt;
  return focused.output.trimmed().toULong();
}

bool Display::Focus(const Window& window) const {
  const QString verb = manager_ == WindowManager::None ? QStringLiteral("windowfocus") : QStringLiteral("windowactivate");
  Xdotool({verb, QStringLiteral("--sync"), QString::number(window.id)});
  return WaitUntil([&] { return FocusedWindow() == window.id; }, 5s);
}

QImage Display::Screenshot() const { return CaptureScreen(name_); }

QImage Display::Screenshot(const QRect& area) const { return CaptureScreen(name_, area); }

QImage Display::SettledScreenshot(const QRect& area, Milliseconds timeout) const {
  QImage previous = Screenshot(area);
  QImage settled;
  WaitUntil(
      [&] {
        QImage current = Screenshot(area);
        if (current == previous) settled = current;
        previous = std::move(current);
        return !settled.isNull();
      },
      timeout);
  return settled;
}

Velarim::Velarim(const Display& display, VelarimOptions options) : display_(display) {
  if (!dir_.isValid()) return;
  programDir_ = options.launcher.isEmpty() ? dir_.path() + QStringLiteral("/program") : options.installedProgramDir;
  homeDir_ = dir_.path() + QStringLiteral("/home");
  const QString runtimeDir = dir_.path() + QStringLiteral("/runtime");
  QDir().mkpath(programDir_);
  QDir().mkpath(homeDir_ + QStringLiteral("/.config"));
  QDir().mkpath(runtimeDir);
  QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  // The program finds its directory from its own path, so it must be a file here, not a
  // symbolic link to the build folder; a hard link costs nothing where one is possible.
  QString executable = options.launcher;
  if (executable.isEmpty()) {
    executable = programDir_ + QStringLiteral("/Velarim");
    if (::link(VELARIM_EXECUTABLE, QFile::encodeName(executable).constData()) != 0 &&
        !QFile::copy(QStringLiteral(VELARIM_EXECUTABLE), executable)) {
      return;
    }
  }
  if (options.prepare) options.prepare(programDir_);
  if (options.settings) {
    QFile file(SettingsFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(*options.settings) != options.settings->size()) return;
  }
  if (options.placement) {
    QDir().mkpath(homeDir_ + QStringLiteral("/.config/velarim"));
    QFile file(PlacementFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(*options.placement) != options.placement->size()) return;
  }
  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ >= 0) ::inotify_add_watch(watch_, QFile::encodeName(programDir_).constData(), IN_MOVED_TO | IN_CLOSE_WRITE);

  QProcessEnvironment environment = display_.Environment();
  environment.insert(QStringLiteral("HOME"), homeDir_);
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), homeDir_ + QStringLiteral("/.config"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), options.platform);
  // A leak or an undefined operation fails the run through the exit code, not an abort dialog.
  environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1:abort_on_error=0:exitcode=86"));
  environment.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("exitcode=87:suppressions=") +
                                                         SourceFile("../lsan.supp") +
                                                         QStringLiteral(":print_suppressions=0"));
  environment.insert(QStringLiteral("UBSAN_OPTIONS"), QStringLiteral("print_stacktrace=1:halt_on_error=1:exitcode=88"));
  for (const QString& variable : options.environment) {
    const qsizetype equals = variable.indexOf(u'=');
    if (equals > 0) environment.insert(variable.left(equals), variable.mid(equals + 1));
  }
  process_ = std::make_unique<ChildProcess>(executable, QStringList(), environment, homeDir_,
                                            dir_.path() + QStringLiteral("/velarim.log"));
}

Velarim::~Velarim() {
  process_.reset();
  if (watch_ >= 0) ::close(watch_);
}

QByteArray Velarim::Settings() const {
  QFile file(SettingsFile());
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Velarim::Placement() const {
  QFile file(PlacementFile());
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Velarim::SettingsWrites() {
  if (watch_ < 0) return -1;
  alignas(inotify_event) char buffer[4096];
  ssize_t length;
  while ((length = ::read(watch_, buffer, sizeof buffer)) > 0) {
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && std::strcmp(event->name, "velarim.ini") == 0) ++settingsWrites_;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return settingsWrites_;
}

std::optional<Window> Velarim::WaitForWindow(const QString& title, const QString& type, Milliseconds timeout) const {
  std::optional<Window> found;
  WaitUntil(
      [&] {
        for (const Window& window : VisibleWindows()) {
          if ((title.isEmpty() || window.title == title) && (type.isEmpty() || window.type == type)) {
            found = window;
            return true;
          }
        }
        return !Running();
      },
      timeout);
  return found;
}

bool Velarim::WaitForWindowGone(unsigned long id, Milliseconds timeout) const {
  return WaitUntil(
      [&] {
        for (const Window& window : VisibleWindows()) {
          if (window.id == id) return false;
        }
        return true;
      },
      timeout);
}

std::optional<Window> Velarim::WaitForMainWindow(Milliseconds timeout) const {
  std::optional<Window> main = WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("normal"), timeout);
  if (!main) return main;
  // Row 13 from the top lies in the caption, also when a maximised window's frame lies
  // outside the screen.
  const QRect captionRow(main->geometry.left(), main->geometry.top() + 13, main->geometry.width(), 1);
  WaitUntil([&] { return ShowsPaintedCaption(display_.Screenshot(captionRow)) || !Running(); }, 5s);
  return main;
}

QByteArray Velarim::Log() const {
  QFile file(dir_.path() + QStringLiteral("/velarim.log"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage ReferenceMessageBox(const Display& display, const QString& caption, const QString& text) {
  QProcessEnvironment environment = display.Environment();
  environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
  ChildProcess reference(QStringLiteral(E2E_MESSAGE_BOX), {caption, text}, environment);
  std::optional<Window> box;
  WaitUntil(
      [&] {
        for (const Window& window : display.VisibleWindowsOf(reference.Pid())) {
          if (window.title == caption) box = window;
        }
        return box.has_value() || !reference.Running();
      },
      10s);
  if (!box) return QImage();
  // The focused box is drawn active, as the program's box is when it is looked at.
  display.Focus(*box);
  QImage shown;
  WaitUntil([&] { return !ShowsRootWeave(shown = display.SettledScreenshot(box->geometry, 1s)); }, 10s);
  return shown;
}

QByteArray LastFolderSettings(const QString& folder) {
  return "[Verzeichnisse]\nletztes=" + QDir(folder).canonicalPath().toUtf8() + "\n";
}

bool PdfComplete(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() < 64) return false;
  file.seek(file.size() - 16);
  return file.read(16).contains("%%EOF");
}

qint64 DifferingPixels(const QImage& a, const QImage& b, int tolerance) {
  if (a.size() != b.size()) return static_cast<qint64>(std::max(a.width(), b.width())) * std::max(a.height(), b.height());
  const QImage left = a.convertToFormat(QImage::Format_RGB32);
  const QImage right = b.convertToFormat(QImage::Format_RGB32);
  qint64 differing = 0;
  for (int y = 0; y < left.height(); ++y) {
    const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
    const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
    for (int x = 0; x < left.width(); ++x) {
      if (std::abs(qRed(l[x]) - qRed(r[x])) > tolerance || std::abs(qGreen(l[x]) - qGreen(r[x])) > tolerance ||
          std::abs(qBlue(l[x]) - qBlue(r[x])) > tolerance) {
        ++differing;
      }
    }
  }
  return differing;
}

}  // namespace e2e
