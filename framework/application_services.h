#pragma once
// The few application services that controls and forms ask for. The application object
// implements them and registers itself when it is created, so the framework's controls
// never reach for the application: a control can be built and used without one, and
// then shows no hints and reports nothing.

#include <QPoint>
#include <QString>

#include <exception>

class TControl;
class TForm;

class ApplicationServices {
 public:
  // Shows the control's hint at globalPos, as the hint switch and timings allow.
  virtual void ShowHintFor(TControl* control, const QPoint& globalPos) = 0;
  // The application error report for an error that escaped an event handler.
  virtual void HandleException(const std::exception& error) = 0;
  virtual TForm* MainForm() const = 0;
  // The full path of the program's executable.
  virtual const QString& ExeName() const = 0;
  // The program's title, the caption of its message boxes.
  virtual const QString& Title() const = 0;
  virtual bool Terminated() const = 0;
  // Ends the message loop (the main form closed).
  virtual void Terminate() = 0;
  // A form is going away; the application forgets it.
  virtual void FormDestroyed(TForm* form) = 0;

 protected:
  ~ApplicationServices() = default;
};

// The registered application, or null when none exists.
ApplicationServices* RegisteredApplication();
// Registers services (null unregisters). Not owned.
void RegisterApplication(ApplicationServices* services);

// Hands an error that escaped a handler to the application's error report. Without an
// application it goes to the registered report (the event loop registers the error box,
// with no owner and no title), and without that to the standard error output.
void ReportHandlerError(const std::exception& error);

// The report for errors while no application is registered. This file sits below the
// dialogs, so the layer that shows them registers it; null unregisters.
using ErrorReport = void (*)(const std::exception& error);
void RegisterErrorReport(ErrorReport report);
// The application's main form, or null without an application.
TForm* ApplicationMainForm();
// The application's executable, or without an application the running one.
QString ApplicationExeName();
