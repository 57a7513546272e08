#pragma once
// The splitter between the folder list and the file list: dragging it moves the
// border between them, at least 20 pixels from either edge of the parent.

#include "framework/control.h"

#include <QRubberBand>

class TRxSplitter : public TCustomControl {
 public:
  explicit TRxSplitter(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TRxSplitter"); }

  // The control whose width the drag changes; the one beyond fills the rest by its
  // alignment, so the splitter need not know it.
  void SetControlFirst(TControl* control) { first_ = control; }

  static constexpr int kEdgeLimit = 20;
  // The new width of the first control for a drag of delta pixels.
  [[nodiscard]] static int DraggedWidth(int oldWidth, int delta, int splitterLeft, int parentWidth);

 protected:
  void WndProc(TMessage& message) override;
  void Paint(QPainter& painter) override;

 private:
  int clampedX(int parentX) const;

  TControl* first_ = nullptr;
  bool dragging_ = false;
  int startX_ = 0;
  QRubberBand* line_ = nullptr;
};
