#include "browse/splitter.h"

#include "framework/accessible.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TRxSplitter::TRxSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 3, 100);
  widget_->setCursor(Qt::SplitHCursor);
  DescribeAccessible(widget_, AccessibleDescription{QAccessible::Separator,
                                                    [] { return QStringLiteral("Trennbalken zwischen Ordner- und Dateiliste"); },
                                                    {}, {}, {}});
}

int TRxSplitter::DraggedWidth(int oldWidth, int delta, int splitterLeft, int parentWidth) {
  const int x = std::clamp(splitterLeft + delta, kEdgeLimit, std::max(kEdgeLimit, parentWidth - kEdgeLimit));
  const int width = oldWidth + (x - splitterLeft);
  return std::clamp(width, 1, std::max(1, parentWidth - 1));
}

int TRxSplitter::clampedX(int parentX) const {
  const int parentWidth = Parent() ? Parent()->ClientWidth() : Width();
  return std::clamp(parentX, kEdgeLimit, std::max(kEdgeLimit, parentWidth - kEdgeLimit));
}

void TRxSplitter::WndProc(TMessage& message) {
  auto* mouse = message.Event ? dynamic_cast<QMouseEvent*>(message.Event) : nullptr;
  if (mouse && Parent()) {
    const int parentX = widget_->mapTo(Parent()->ClientWidget(), mouse->position().toPoint()).x();
    if (message.Msg == WM_LBUTTONDOWN) {
      dragging_ = true;
      startX_ = parentX;
      if (!line_) line_ = new QRubberBand(QRubberBand::Line, Parent()->ClientWidget());
    }
    if (dragging_ && line_) {
      line_->setGeometry(clampedX(parentX), Top(), 2, Height());
      line_->show();
      widget_->setCursor(clampedX(parentX) == parentX ? Qt::SplitHCursor : Qt::ForbiddenCursor);
    }
    if (message.Msg == WM_LBUTTONUP && dragging_) {
      dragging_ = false;
      if (line_) line_->hide();
      widget_->setCursor(Qt::SplitHCursor);
      if (first_) {
        first_->SetWidth(DraggedWidth(first_->Width(), parentX - startX_, Left(), Parent()->ClientWidth()));
      }
    }
  }
  TCustomControl::WndProc(message);
}

void TRxSplitter::Paint(QPainter& painter) {
  painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
}
