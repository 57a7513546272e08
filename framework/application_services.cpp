#include "framework/application_services.h"

#include "platform/paths.h"

#include <cstdio>

namespace {

ApplicationServices* registered = nullptr;
ErrorReport unownedReport = nullptr;

}  // namespace

ApplicationServices* RegisteredApplication() { return registered; }

void RegisterApplication(ApplicationServices* services) { registered = services; }

void RegisterErrorReport(ErrorReport report) { unownedReport = report; }

void ReportHandlerError(const std::exception& error) {
  if (registered) {
    registered->HandleException(error);
  } else if (unownedReport) {
    unownedReport(error);
  } else {
    std::fprintf(stderr, "%s\n", error.what());
  }
}

TForm* ApplicationMainForm() { return registered ? registered->MainForm() : nullptr; }

QString ApplicationExeName() { return registered ? registered->ExeName() : platform::ExecutablePath(); }
