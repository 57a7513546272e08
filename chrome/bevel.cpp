#include "chrome/bevel.h"

#include <QPainter>

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  widget_->setAttribute(Qt::WA_TransparentForMouseEvents);
  widget_->setAttribute(Qt::WA_TranslucentBackground);
}

void TBevel::Paint(QPainter& painter) {
  const QRect r = ClientRect().adjusted(0, 0, -1, -1);
  const QColor shadow = ToQColor(clSystemColor | COLOR_BTNSHADOW);
  const QColor highlight = ToQColor(clSystemColor | COLOR_BTNHIGHLIGHT);
  painter.setPen(shadow);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  painter.setPen(highlight);
  painter.drawRect(r.adjusted(1, 1, 0, 0));
}
