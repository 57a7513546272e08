#include "framework/application_services.h"

#include "framework/dialogs.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace {

ApplicationServices* registered = nullptr;

}  // namespace

ApplicationServices* RegisteredApplication() { return registered; }

void RegisterApplication(ApplicationServices* services) { registered = services; }

void ReportHandlerError(const std::exception& error) {
  if (registered) {
    registered->HandleException(error);
  } else {
    ShowErrorReport(nullptr, QString(), error);
  }
}

QString ApplicationTitle() { return registered ? registered->Title() : QString(); }

TForm* ApplicationMainForm() { return registered ? registered->MainForm() : nullptr; }

QString ApplicationExeName() { return registered ? registered->ExeName() : platform::ExecutablePath(); }

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ShowErrorReport(QWidget* owner, const QString& title, const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  const auto* own = dynamic_cast<const Exception*>(&error);
  const QString message = own ? own->Message() : QString::fromLocal8Bit(error.what());
  Dialogs().MessageBox(owner, ErrorReportText(message), title, MessageIcon::Error, MessageButtons::Ok);
}
