#include "framework/application.h"

#include "framework/control.h"
#include "framework/design_fonts.h"
#include "platform/errors.h"
#include "framework/form.h"
#include "platform/paths.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <QToolTip>

QString GetShortHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.mid(bar + 1);
}

namespace {

TApplication* theApplication = nullptr;

// Errors that escape a handler while no application is registered still get the error
// box, with no owner and no title.
void ShowUnownedErrorReport(const std::exception& error) { ShowErrorReport(nullptr, QString(), error); }

// Makes Qt's tool-tip timing follow the application's hint pause.
class HintTimingStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ToolTip_WakeUpDelay && theApplication) return theApplication->HintPause();
    if (hint == SH_ToolTip_FallAsleepDelay && theApplication) return theApplication->HintShortPause();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

void InstallHintTiming() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || dynamic_cast<HintTimingStyle*>(QApplication::style())) return;
  QApplication::setStyle(new HintTimingStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
  SetExeName(platform::ExecutablePath());
  InstallHintTiming();
  RegisterApplication(this);
}

TApplication::~TApplication() {
  BeginDestruction();
  if (RegisteredApplication() == this) RegisterApplication(nullptr);
  if (theApplication == this) theApplication = nullptr;
}

void TApplication::SetExeName(const QString& path) {
  exeName_ = path;
  title_ = platform::ApplicationTitleFromExecutable(path);
}

void TApplication::SetShowHint(bool show) {
  showHint_ = show;
  if (!show) QToolTip::hideText();
}

void TApplication::ShowHintFor(TControl* control, const QPoint& globalPos) {
  if (!showHint_ || !control->ShowHint() || control->Hint().isEmpty()) {
    QToolTip::hideText();
    return;
  }
  const QString shortHint = GetShortHint(control->Hint());
  if (OnHint) OnHint(GetLongHint(control->Hint()));
  if (shortHint.isEmpty()) return;
  QToolTip::showText(globalPos, shortHint, control->Widget(), QRect(), hintHidePause_);
}

bool TApplication::HelpCommand(unsigned command, intptr_t data) {
  if (!HelpEngine) return false;
  return HelpEngine(helpFile_, command, data);
}

void TApplication::Initialize() {
  for (const auto& proc : InitProcs) proc();
}

int TApplication::Run() {
  if (!mainForm_) return 0;
  mainForm_->Show();
  if (terminated_) return 0;
  return QApplication::exec();
}

void TApplication::Terminate() {
  terminated_ = true;
  // exit() ends every running event loop at once. quit() would first offer a close to
  // every top-level window, and the hidden secondary forms answer a close by hiding and
  // refusing, which cancels the quit on a real desktop.
  QCoreApplication::exit(0);
}

void TApplication::HandleException(const std::exception& error) {
  ShowErrorReport(mainForm_ && mainForm_->Visible() ? mainForm_->Widget() : nullptr, title_, error);
}

void TApplication::ShowNotice(const QString& text) {
  QWidget* owner = mainForm_ && mainForm_->Visible() ? mainForm_->Widget() : nullptr;
  Dialogs().MessageBox(owner, text, title_, MessageIcon::None, MessageButtons::Ok);
}

void TApplication::FormDestroyed(TForm* form) {
  if (form == mainForm_) mainForm_ = nullptr;
}

TApplication* Application() { return theApplication; }

TApplication* CreateApplication() {
  if (!theApplication) theApplication = new TApplication();
  return theApplication;
}

void DestroyApplication() {
  delete theApplication;
  theApplication = nullptr;
}

EventLoopApplication::EventLoopApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InstallDesignFontSubstitutes();
  RegisterErrorReport(ShowUnownedErrorReport);
}

EventLoopApplication::~EventLoopApplication() { RegisterErrorReport(nullptr); }

bool EventLoopApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportHandlerError(error);
  } catch (...) {
    ReportHandlerError(Exception(QStringLiteral("Unbekannter Fehler")));
  }
  return true;
}
