#include "app/form_placement.h"

#include "app/ini_file.h"
#include "app/placement_fit.h"
#include "framework/application.h"
#include "platform/paths.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace {

// The platform keeps these parts of a window's placement with the window itself.
const char* const kFlagsProperty = "velarimPlacementFlags";
const char* const kMinPositionProperty = "velarimMinPosition";
const char* const kMaxPositionProperty = "velarimMaxPosition";

const QString kFormVersion = QStringLiteral("FormVersion");
const QString kFlags = QStringLiteral("Flags");
const QString kShowCmd = QStringLiteral("ShowCmd");
const QString kPixelsPerInch = QStringLiteral("PixelsPerInch");
const QString kMinMaxPos = QStringLiteral("MinMaxPos");
const QString kNormPos = QStringLiteral("NormPos");
const QString kVisible = QStringLiteral("Visible");

// The narrowest a sizeable window can be made: room for the caption buttons and a little title.
constexpr int kSmallestFrameWidth = 136;

QPoint PointProperty(const QWidget* widget, const char* name) {
  const QVariant value = widget->property(name);
  return value.isValid() ? value.toPoint() : QPoint(-1, -1);
}

QString PositionText(int a, int b, int c, int d) { return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d); }

// Whether the window is on the screen yet; at its show notification it is not.
bool WindowShown(const QWidget* widget) {
  const QWindow* window = widget->windowHandle();
  return window && window->isVisible();
}

bool IsMainForm(const TForm* form) {
  const TForm* main = Application()->MainForm();
  return main == nullptr || main == form;
}

void ApplyState(QWidget* widget, int showCmd) {
  const TWindowState state = WindowStateFromShowCmd(showCmd, TWindowState::wsNormal);
  Qt::WindowStates states = widget->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == TWindowState::wsMinimized) states |= Qt::WindowMinimized;
  if (state == TWindowState::wsMaximized) states |= Qt::WindowMaximized;
  widget->setWindowState(states);
}

bool SameFrame(const TWindowPlacement& placement, const QRect& frame) {
  return placement.left == frame.left() && placement.top == frame.top() &&
         int64_t{placement.right} == int64_t{frame.left()} + frame.width() &&
         int64_t{placement.bottom} == int64_t{frame.top()} + frame.height();
}

std::vector<QRect> WorkAreas() {
  std::vector<QRect> areas;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas.push_back(screen->availableGeometry());
  return areas;
}

// The smallest frame that still holds the whole title bar and menu bar; anything smaller
// was not left by a person but by a damaged file. The window's present size is the one
// it was designed with, since a placement is applied before the window is first shown.
FrameLimits FrameLimitsOf(const QWidget* widget) {
  const int titleBar = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  const QSize minimum(kSmallestFrameWidth, titleBar + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYFRAME));
  return {minimum.expandedTo(widget->minimumSize()), widget->size(), titleBar};
}

}  // namespace

TWindowPlacement GetWindowPlacement(const TForm* form) {
  const QWidget* widget = form->Widget();
  TWindowPlacement placement;
  placement.flags = widget->property(kFlagsProperty).toUInt();
  if (widget->isMinimized() && (widget->windowState() & Qt::WindowMaximized)) {
    placement.flags |= WPF_RESTORETOMAXIMIZED;
  }
  placement.showCmd = widget->isMinimized() ? SW_SHOWMINIMIZED : widget->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement.minPosition = PointProperty(widget, kMinPositionProperty);
  placement.maxPosition = PointProperty(widget, kMaxPositionProperty);
  QRect normal = widget->isMinimized() || widget->isMaximized() ? widget->normalGeometry() : widget->geometry();
  if (!normal.isValid()) normal = widget->geometry();
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.left() + normal.width();
  placement.bottom = normal.top() + normal.height();
  return placement;
}

void SetWindowPlacement(TForm* form, const TWindowPlacement& placement) {
  QWidget* widget = form->Widget();
  widget->setProperty(kFlagsProperty, placement.flags);
  widget->setProperty(kMinPositionProperty, placement.minPosition);
  widget->setProperty(kMaxPositionProperty, placement.maxPosition);
  const bool changesState = placement.showCmd != SW_HIDE;
  if (widget->isMaximized() || widget->isMinimized()) {
    if (!changesState) return;  // the frame applies when the window is restored
    widget->showNormal();
  }
  if (placement.left < placement.right && !SameFrame(placement, widget->geometry())) {
    widget->setGeometry(FitFrameToWorkAreas({placement.left, placement.top, placement.right, placement.bottom},
                                            WorkAreas(), FrameLimitsOf(widget)));
  }
  if (changesState) ApplyState(widget, placement.showCmd);
}

TWindowState WindowStateFromShowCmd(int showCmd, TWindowState fallback) {
  switch (showCmd) {
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE: return TWindowState::wsNormal;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: return TWindowState::wsMinimized;
    case SW_SHOWMAXIMIZED: return TWindowState::wsMaximized;
    default: return fallback;
  }
}

std::vector<int> PositionWords(const QString& text, const std::vector<int>& fallbacks) {
  static const QRegularExpression delimiters(QStringLiteral("[, ]"));
  const QStringList words = text.split(delimiters, Qt::SkipEmptyParts);
  std::vector<int> values = fallbacks;
  for (size_t i = 0; i < values.size() && i < static_cast<size_t>(words.size()); ++i) {
    values[i] = IniIntegerFromText(words[static_cast<qsizetype>(i)]).value_or(fallbacks[i]);
  }
  return values;
}

QPoint MaximizedPositionFor(TFormBorderStyle border) {
  switch (border) {
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      return -QPoint(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      return -QPoint(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    case TFormBorderStyle::bsDialog:
      return -QPoint(GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
    case TFormBorderStyle::bsNone: break;
  }
  return QPoint(0, 0);
}

QString ScreenSizeSuffix() {
  return QStringLiteral("(%1x%2)").arg(GetSystemMetrics(SM_CXSCREEN)).arg(GetSystemMetrics(SM_CYSCREEN));
}

int ScreenPixelsPerInch() {
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

// ---- TFormPlacement ----

TFormPlacement::TFormPlacement(TComponent* AOwner) : TComponent(AOwner) {}

TFormPlacement::~TFormPlacement() {
  BeginDestruction();
  TForm* owner = form();
  if (attached_ && owner && !owner->Destroying()) {
    owner->OnShow = savedOnShow_;
    owner->OnCloseQuery = savedOnCloseQuery_;
    owner->OnDestroy = savedOnDestroy_;
  }
}

TForm* TFormPlacement::form() const { return dynamic_cast<TForm*>(Owner()); }

void TFormPlacement::Loaded() {
  TForm* owner = form();
  if (!owner || attached_) return;
  attached_ = true;
  owner->HandleNeeded();
  savedOnShow_ = owner->OnShow;
  savedOnCloseQuery_ = owner->OnCloseQuery;
  savedOnDestroy_ = owner->OnDestroy;
  owner->OnShow = [this](TObject* sender) { formShow(sender); };
  owner->OnCloseQuery = [this](TObject* sender, bool& canClose) { formCloseQuery(sender, canClose); };
  owner->OnDestroy = [this](TObject* sender) { formDestroy(sender); };
}

void TFormPlacement::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}

QString TFormPlacement::IniFileName() const {
  return platform::PlacementFileNameFromExecutable(Application()->ExeName());
}

QString TFormPlacement::IniSection() const {
  const TForm* owner = form();
  return owner ? owner->ClassName() : QString();
}

void TFormPlacement::formShow(TObject* sender) {
  // A window coming back from the task bar is shown again by the desktop, but it was
  // never hidden: only a window that goes on the screen gets its placement restored.
  if (active_ && !WindowShown(form()->Widget())) {
    try {
      RestoreFormPlacement();
    } catch (const std::exception& error) {
      Application()->HandleException(error);  // the window is shown all the same
    }
  }
  if (savedOnShow_) savedOnShow_(sender);
}

void TFormPlacement::formCloseQuery(TObject* sender, bool& canClose) {
  if (savedOnCloseQuery_) savedOnCloseQuery_(sender, canClose);
  if (!canClose || !active_ || !form() || !form()->HandleAllocated()) return;
  try {
    SaveFormPlacement();
  } catch (const std::exception& error) {
    // Reported once: the destroy notification must not try (and report) it again.
    saved_ = true;
    Application()->HandleException(error);  // the close goes on
  }
}

void TFormPlacement::formDestroy(TObject* sender) {
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveFormPlacement();
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
    destroying_ = false;
  }
  if (savedOnDestroy_) savedOnDestroy_(sender);
}

void TFormPlacement::WriteString(TIniFile& ini, const QString& ident, const QString& value) const {
  ini.WriteString(IniSection(), ident, value);  // the access object keeps quotes and blanks
}

void TFormPlacement::SaveFormPlacement() {
  TForm* owner = form();
  if (!owner || (!restored_ && active_)) return;
  TIniFile ini(IniFileName());
  TWindowPlacement placement = GetWindowPlacement(owner);
  if (IsMainForm(owner) && owner->Widget()->isMinimized()) placement.showCmd = SW_SHOWMINIMIZED;
  const QString suffix = ScreenSizeSuffix();
  const QString minMax = PositionText(placement.minPosition.x(), placement.minPosition.y(),
                                      placement.maxPosition.x(), placement.maxPosition.y());
  const QString normal = PositionText(placement.left, placement.top, placement.right, placement.bottom);
  // One replacement of the file: a kill or a second instance closing at the same moment
  // leaves one whole placement, never a mix of two or a part of one.
  ini.WriteStrings(IniSection(), {{kFormVersion, QString::number(version_)},
                                  {kFlags, QString::number(static_cast<int>(placement.flags))},
                                  {kShowCmd, QString::number(placement.showCmd)},
                                  {kPixelsPerInch, QString::number(ScreenPixelsPerInch())},
                                  {kMinMaxPos + suffix, minMax},
                                  {kMinMaxPos, minMax},
                                  {kNormPos + suffix, normal},
                                  {kNormPos, normal},
                                  {kVisible, destroying_ ? QStringLiteral("1") : QStringLiteral("0")}});
  saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  TForm* owner = form();
  if (!owner) return;
  struct MarkRestored {
    bool& flag;
    ~MarkRestored() { flag = true; }
  } markRestored{restored_};
  TIniFile ini(IniFileName());
  const QString section = IniSection();
  if (ini.ReadInteger(section, kFormVersion, 0) < version_) return;
  if (options_ & fpPosition) restorePosition(ini, section);
  if (options_ & fpState) restoreState(ini, section);
  setMaximizedPosition();
}

void TFormPlacement::restorePosition(TIniFile& ini, const QString& section) {
  TForm* owner = form();
  TWindowPlacement placement = GetWindowPlacement(owner);
  if (!WindowShown(owner->Widget())) placement.showCmd = SW_HIDE;
  placement.flags = static_cast<uint32_t>(ini.ReadInteger(section, kFlags, static_cast<int>(placement.flags)));
  const QString suffix = ScreenSizeSuffix();
  auto readList = [&](const QString& key) {
    const QString sized = ini.ReadString(section, key + suffix, QString());
    return sized.isEmpty() ? ini.ReadString(section, key, QString()) : sized;
  };
  const QString minMax = readList(kMinMaxPos);
  const QString normal = readList(kNormPos);
  if (!minMax.isEmpty()) {
    const std::vector<int> w = PositionWords(minMax, {0, 0, 0, 0});
    placement.minPosition = QPoint(w[0], w[1]);
    placement.maxPosition = QPoint(w[2], w[3]);
  }
  if (!normal.isEmpty()) {
    const QRect current = owner->Widget()->geometry();
    const std::vector<int> w =
        PositionWords(normal, {current.left(), current.top(), current.left() + current.width(),
                               current.top() + current.height()});
    placement.left = w[0];
    placement.top = w[1];
    placement.right = w[2];
    placement.bottom = w[3];
  }
  const int pixelsPerInch = ini.ReadInteger(section, kPixelsPerInch, ScreenPixelsPerInch());
  if ((minMax.isEmpty() && normal.isEmpty()) || pixelsPerInch != ScreenPixelsPerInch()) return;
  if (!IsSizeableBorder(owner->BorderStyle())) {
    placement.right = placement.left + owner->Width();
    placement.bottom = placement.top + owner->Height();
  }
  if (placement.left >= placement.right) return;
  if (owner->Position() == TPosition::poScreenCenter || owner->Position() == TPosition::poDesktopCenter) {
    owner->SetPosition(TPosition::poDesigned);
  }
  SetWindowPlacement(owner, placement);
}

void TFormPlacement::restoreState(TIniFile& ini, const QString& section) {
  TForm* owner = form();
  const bool defaultMaximized = IsMainForm(owner) && owner->Position() == TPosition::poDefault;
  const TWindowState fallback = defaultMaximized ? TWindowState::wsMaximized : TWindowState::wsNormal;
  const TWindowState state = WindowStateFromShowCmd(ini.ReadInteger(section, kShowCmd, SW_HIDE), fallback);
  QWidget* widget = owner->Widget();
  if (state == TWindowState::wsMinimized && IsMainForm(owner)) {
    ApplyState(widget, SW_SHOWNORMAL);
    // The whole program goes to the task bar once the message loop runs.
    QTimer::singleShot(0, widget, [widget] { widget->showMinimized(); });
    return;
  }
  ApplyState(widget, state == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                     : state == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                          : SW_SHOWNORMAL);
  widget->update();
}

void TFormPlacement::setMaximizedPosition() {
  TForm* owner = form();
  if (!owner->HandleAllocated()) return;
  TWindowPlacement placement = GetWindowPlacement(owner);
  placement.maxPosition = MaximizedPositionFor(owner->BorderStyle());
  // Only the positions change here; the frame and state stay as restored.
  placement.showCmd = SW_HIDE;
  SetWindowPlacement(owner, placement);
}
