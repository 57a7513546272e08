#include "framework/application_services.h"

namespace {

ApplicationServices* registered = nullptr;

}  // namespace

ApplicationServices* RegisteredApplication() { return registered; }

void RegisterApplication(ApplicationServices* services) { registered = services; }
