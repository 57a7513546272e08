#include "zoom/monitor_form.h"

TFormMonitor::TFormMonitor(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("FormMonitor"));
  // Opens at its designed position; the window system has no default size for new
  // windows here, so the designed outer size stands in for it.
  SetPosition(TPosition::poDefaultSizeOnly);
  SetBounds(279, 177, 400, 300);
  SetClientSize(392, 273);
  SetColor(clBtnFace);
  SetCaption(QStringLiteral("VELARIM--> Zoomansicht ..."));
}
