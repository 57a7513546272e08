#include "framework/application_services.h"

namespace {

ApplicationServices* registered = nullptr;

}  // namespace

ApplicationServices* RegisteredApplication() { return registered; }

void RegisterApplication(ApplicationServices* services) { registered = services; }

void ReportHandlerError(const std::exception& error) {
  if (registered) registered->HandleException(error);
}

QString ApplicationTitle() { return registered ? registered->Title() : QString(); }
