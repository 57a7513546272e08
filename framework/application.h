#pragma once
// The application object: the main form, the hint switch and timings, the help file,
// and the application error report that every failure escaping a handler reaches.

#include "framework/application_services.h"
#include "framework/component.h"
#include "framework/dialogs.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

class TControl;
class TForm;

// The short part of a hint "short|long" and the long part.
QString GetShortHint(const QString& hint);
QString GetLongHint(const QString& hint);

class TApplication : public TComponent, public ApplicationServices {
 public:
  TApplication();
  ~TApplication() override;
  QString ClassName() const override { return QStringLiteral("TApplication"); }

  // The full path of the executable; the title and the program directory follow from it.
  const QString& ExeName() const override { return exeName_; }
  void SetExeName(const QString& path);

  const QString& Title() const override { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  TForm* MainForm() const override { return mainForm_; }
  // Creates a form owned by the application; the first one becomes the main form.
  template <class Form>
  Form* CreateForm() {
    auto* form = new Form(this);
    if (!mainForm_) mainForm_ = form;
    form->Created();
    return form;
  }

  // The hint switch: off means no control of any window shows a hint.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintShortPause() const { return hintShortPause_; }
  void ShowHintFor(TControl* control, const QPoint& globalPos) override;
  // The long part of the hint under the mouse (nobody listens in this program).
  std::function<void(const QString&)> OnHint;

  const QString& HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString& file) { helpFile_ = file; }
  // Routes a help command to the help engine; set by the help subsystem.
  std::function<bool(const QString& file, unsigned command, intptr_t data)> HelpEngine;
  bool HelpCommand(unsigned command, intptr_t data);

  // Start hooks that run after the forms exist and before the message loop.
  void Initialize();
  std::vector<std::function<void()>> InitProcs;
  // Shows the main form and runs the message loop until it closes.
  int Run();
  bool Terminated() const override { return terminated_; }
  void Terminate() override;

  // The application error report: a modal box with the stop icon.
  void HandleException(const std::exception& error) override;
  // A plain notice of the program: the same caption, OK, no icon.
  void ShowNotice(const QString& text);

  void FormDestroyed(TForm* form) override;

 private:
  QString exeName_;
  QString title_;
  TForm* mainForm_ = nullptr;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  int hintShortPause_ = 0;
  QString helpFile_;
  bool terminated_ = false;
};

// The application object, or null when none exists: a control never makes one, so it
// cannot reach an application that is still being built.
TApplication* Application();
// Makes the application object when none exists (the program's start, a test); returns it.
TApplication* CreateApplication();
// Destroys the application object and every form it owns (end of the process, tests).
void DestroyApplication();

// The Qt application that catches errors escaping event handlers and hands them to the
// application error report, so one failing handler never ends the program.
class EventLoopApplication : public QApplication {
 public:
  EventLoopApplication(int& argc, char** argv);
  ~EventLoopApplication() override;
  bool notify(QObject* receiver, QEvent* event) override;
};
