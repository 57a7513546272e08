#include "sheet/quad_split.h"

#include <QPainter>

std::array<QRect, 4> QuadPaneBounds(const QuadSplitGeometry& g) {
  const int vl = g.hPos - g.thickness / 2 - 1;
  const int vr = g.hPos + (g.thickness + 1) / 2;
  const int ht = g.vPos - g.thickness / 2 - 1;
  const int hb = g.vPos + (g.thickness + 1) / 2;
  const int e = g.edge;
  return {QRect(e, e, vl - e, ht - e), QRect(vr + 1, e, g.width - e - vr - 1, ht - e),
          QRect(vr + 1, hb + 1, g.width - e - vr - 1, g.height - e - hb - 1),
          QRect(e, hb + 1, vl - e, g.height - e - hb - 1)};
}

TabcSplitPane::TabcSplitPane(TComponent* AOwner) : TCustomPanel(AOwner) { SetBevelOuter(TPanelBevel::bvNone); }

TabcQuadSplit::TabcQuadSplit(TComponent* AOwner) : TCustomPanel(AOwner) { SetBounds(0, 0, 100, 100); }

QuadSplitGeometry TabcQuadSplit::geometry() const {
  const QMargins m = ContentMargins();
  return QuadSplitGeometry{m.left(), thickness_, Width(), Height(), hPos_, vPos_};
}

void TabcQuadSplit::SetSplitHPos(int pos) {
  hPos_ = pos;
  AlignPanes();
}

void TabcQuadSplit::SetSplitVPos(int pos) {
  vPos_ = pos;
  AlignPanes();
}

void TabcQuadSplit::AddPane(TabcSplitPane* pane) {
  panes_.push_back(pane);
  pane->SetSplit(this);
  pane->SetParent(this);
  AlignPanes();
}

void TabcQuadSplit::AlignPanes() {
  const std::array<QRect, 4> bounds = QuadPaneBounds(geometry());
  for (size_t i = 0; i < panes_.size() && i < bounds.size(); ++i) {
    const QRect& r = bounds[i];
    panes_[i]->SetBounds(r.left(), r.top(), std::max(0, r.width()), std::max(0, r.height()));
  }
  Invalidate();
}

void TabcQuadSplit::BoundsChanged() {
  TCustomPanel::BoundsChanged();
  AlignPanes();
}

// The bars: a raised line pair on each side of the bar's face.
void TabcQuadSplit::Paint(QPainter& painter) {
  TCustomPanel::Paint(painter);
  const int e = ContentMargins().left();
  const int vl = hPos_ - thickness_ / 2 - 1;
  const int vr = hPos_ + (thickness_ + 1) / 2;
  const int ht = vPos_ - thickness_ / 2 - 1;
  const int hb = vPos_ + (thickness_ + 1) / 2;
  const QColor light = ToQColor(clSystemColor | COLOR_BTNHIGHLIGHT);
  const QColor shadow = ToQColor(clSystemColor | COLOR_BTNSHADOW);
  painter.setPen(light);
  painter.drawLine(vl, e, vl, Height() - e - 1);
  painter.drawLine(e, ht, Width() - e - 1, ht);
  painter.setPen(shadow);
  painter.drawLine(vr, e, vr, Height() - e - 1);
  painter.drawLine(e, hb, Width() - e - 1, hb);
}
