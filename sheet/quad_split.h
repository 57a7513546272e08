#pragma once
// The four-pane split panel: a vertical and a horizontal bar cross inside a raised
// panel and divide it into four panes (top left, top right, bottom right, bottom left).

#include "framework/std_controls.h"

#include <array>

class TabcQuadSplit;

// A pane: a container for one slide, owned by its split.
class TabcSplitPane : public TCustomPanel {
 public:
  explicit TabcSplitPane(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TabcSplitPane"); }
  TabcQuadSplit* Split() const { return split_; }
  void SetSplit(TabcQuadSplit* split) { split_ = split; }

 private:
  TabcQuadSplit* split_ = nullptr;
};

struct QuadSplitGeometry {
  int edge = 1;
  int thickness = 2;
  int width = 100;
  int height = 100;
  int hPos = 50;
  int vPos = 50;
};

// The bounds of the four panes, clockwise from the top left.
[[nodiscard]] std::array<QRect, 4> QuadPaneBounds(const QuadSplitGeometry& g);

class TabcQuadSplit : public TCustomPanel {
 public:
  explicit TabcQuadSplit(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TabcQuadSplit"); }

  int SplitHPos() const { return hPos_; }
  void SetSplitHPos(int pos);
  int SplitVPos() const { return vPos_; }
  void SetSplitVPos(int pos);
  int Thickness() const { return thickness_; }

  // Appends a pane; panes take indices in the order they are added.
  void AddPane(TabcSplitPane* pane);
  int PaneCount() const { return static_cast<int>(panes_.size()); }
  TabcSplitPane* Panes(int index) const { return panes_.at(static_cast<size_t>(index)); }
  void AlignPanes();

 protected:
  void BoundsChanged() override;
  void Paint(QPainter& painter) override;

 private:
  QuadSplitGeometry geometry() const;

  std::vector<TabcSplitPane*> panes_;
  int hPos_ = 50;
  int vPos_ = 50;
  int thickness_ = 2;
};
