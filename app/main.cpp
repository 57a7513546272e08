// Process start: the four windows in their order, the initialisation step, the message
// loop, and the end of the process with all windows.
#include "app/velarim_app.h"

#include "framework/application.h"

int main(int argc, char** argv) {
  EventLoopApplication qtApp(argc, argv);
  return RunVelarim();
}
