// Process start: the four windows in their order, the initialisation step, the message
// loop, and the end of the process with all windows.
#include "app/velarim_app.h"

#include "data/main_icon.h"
#include "framework/application.h"

namespace {

// Under Wayland a program may neither place its windows nor keep one above the others,
// and this program does both; so it runs through XWayland unless the user chose a platform.
void PreferXWaylandInWaylandSessions() {
  const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
  if (wayland && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

}  // namespace

int main(int argc, char** argv) {
  PreferXWaylandInWaylandSessions();
  EventLoopApplication qtApp(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("velarim"));
  if (qtApp.windowIcon().isNull()) qtApp.setWindowIcon(MainIcon());
  return RunVelarim();
}
