#pragma once
// The four-pane split panel: a vertical and a horizontal bar cross inside a raised
// panel and divide it into four panes, clockwise from the top left.

#include "sheet/split.h"

class TabcCustomQuadSplit : public TabcCustomSplit {
 public:
  QString ClassName() const override { return QStringLiteral("TabcCustomQuadSplit"); }

 protected:
  explicit TabcCustomQuadSplit(TComponent* AOwner);
  void AlignPanes() override;
  void PaintBars(QPainter& painter) override;
  int GetPaneCount() const override { return 4; }
};

class TabcQuadSplit : public TabcCustomQuadSplit {
 public:
  explicit TabcQuadSplit(TComponent* AOwner) : TabcCustomQuadSplit(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TabcQuadSplit"); }

 protected:
  TabcSplitPaneClass GetPaneClass() const override;
};

// Registers the crossing cursor "ABCCRSIZE" under crSplitCross, and removes it; the
// program does the one at start-up and the other at its end.
void RegisterSplitCursors();
void UnregisterSplitCursors();
