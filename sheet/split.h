#pragma once
// Split panels: a raised panel divided into panes by splitter bars that the user drags
// with the mouse. TabcCustomSplit keeps the pane list, the bar positions and their
// geometry, hits and drags the bars and paints them; a derived kind arranges the panes.

#include "framework/cursors.h"
#include "framework/std_controls.h"
#include "sheet/split_geometry.h"

#include <QPointer>
#include <QRegion>

#include <vector>

class TabcCustomSplit;
class DragBarOverlay;

enum class TBorderStyle { bsNone, bsSingle };

// How a drag shows the bar: an inverted line (the patterned styles draw the same plain
// inversion), no line at all, or the panes following the pointer at once.
enum class TabcSplitMoveStyle { amsBlack, amsDark, amsMedium, amsMediumLight, amsLight, amsNoLine, amsImmediate };

// A panel that never copies its name into its caption.
class TabcCustomEdgePanel : public TCustomPanel {
 public:
  explicit TabcCustomEdgePanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TabcCustomEdgePanel"); }
};

// A pane: a container that belongs to the split it is placed in, taking the split's
// colour and font. Placing a pane in a split appends it to the split's pane list.
class TabcSplitPane : public TCustomControl {
 public:
  explicit TabcSplitPane(TComponent* AOwner);
  ~TabcSplitPane() override;
  QString ClassName() const override { return QStringLiteral("TabcSplitPane"); }

  void SetParent(TWinControl* parent) override;
  TabcCustomSplit* Split() const { return split_; }
  // The pane's index in its split's list; -1 without a split.
  int PaneIndex() const;
  // Moves the pane to another index of the list and realigns; an index outside the
  // list raises an error.
  void SetPaneIndex(int index);

 private:
  friend class TabcCustomSplit;
  TabcCustomSplit* split_ = nullptr;
};

using TabcSplitPaneClass = TabcSplitPane* (*)(TComponent* AOwner);

class TabcCustomSplit : public TabcCustomEdgePanel {
 public:
  ~TabcCustomSplit() override;
  QString ClassName() const override { return QStringLiteral("TabcCustomSplit"); }

  // The bars' positions; every change is clamped, realigns the panes, repaints and then
  // raises OnSplitMoveH or OnSplitMoveV. A position that stays as it is changes nothing.
  int SplitHPos() const { return hPos_; }
  void SetSplitHPos(int value);
  int SplitVPos() const { return vPos_; }
  void SetSplitVPos(int value);
  // The positions as percentages of the width and height, as of the last change.
  int SplitHPercent() const { return hPercent_; }
  int SplitVPercent() const { return vPercent_; }
  // Keep the vertical bar's percentage instead of its pixel position when the size changes.
  void SetSplitVScaled(bool scaled) { vScaled_ = scaled; }
  void SetSplitHLock(bool locked) { locks_.horizontal = locked; }

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  void SetSplitMoveStyle(TabcSplitMoveStyle style) { moveStyle_ = style; }
  bool MoveImmediate() const { return moveStyle_ == TabcSplitMoveStyle::amsImmediate; }
  TColor SplitColor() const { return splitColor_; }
  void SetSplitColor(TColor color);

  TNotifyEvent OnSplitMoveH;
  TNotifyEvent OnSplitMoveV;

  int PaneCount() const { return static_cast<int>(panes_.size()); }
  TabcSplitPane* Panes(int index) const { return panes_.at(static_cast<size_t>(index)); }
  int IndexOfPane(const TabcSplitPane* pane) const;
  // Creates the missing panes of the split's kind, owned by the split's owner.
  virtual void CreatePanes();

  // While the split is being built from its design, positions are stored without
  // aligning; Loaded() then clamps them and aligns the panes once.
  void BeginLoading() { loading_ = true; }
  virtual void Loaded();

  bool Dragging() const { return dragging_; }
  // The strips of the parent currently inverted to show the dragged bars, in the
  // parent's client coordinates; empty when none are shown.
  QRegion ShownDragBars() const { return shownBars_; }
  // The cursor for a point of the split's client area.
  virtual TCursor HitTestBars(QPoint point) const;
  // The derived geometry the bars, panes and drags are computed from.
  SplitFrame Frame() const;
  BarSpan BarColumns() const { return SplitBarSpan(hPos_, thickness_); }
  BarSpan BarRows() const { return SplitBarSpan(vPos_, thickness_); }

 protected:
  explicit TabcCustomSplit(TComponent* AOwner);
  virtual void DestroyPanes();
  // Inverts the drag bars at point (split coordinates): showing and hiding are the
  // same operation, so doing it twice at one place leaves no trace.
  virtual void DrawDragBars(QPoint point);
  virtual void PaintBars(QPainter& painter) = 0;
  virtual void AlignPanes() = 0;
  virtual int GetPaneCount() const = 0;
  virtual TabcSplitPaneClass GetPaneClass() const = 0;
  virtual QPoint GetDragPoint(QPoint point) const;

  void Paint(QPainter& painter) override;
  void BoundsChanged() override;
  // The split takes its mouse messages itself: they start, follow and end drags.
  void WndProc(TMessage& message) override;
  // The first and second colour of the bars' bevel lines.
  std::pair<QColor, QColor> BarColours() const;

 private:
  friend class TabcSplitPane;
  void appendPane(TabcSplitPane* pane);
  void removePane(TabcSplitPane* pane);
  void movePane(TabcSplitPane* pane, int index);
  void mousePressed(QPoint point);
  void mouseMoved(QPoint point);
  void mouseReleased(QPoint point);
  void storePositions(QPoint clamped);
  void setPositions(QPoint point);
  // Clamps and stores both positions without the no-change test, then aligns.
  void reapplyPositions(QPoint point);
  void realign();
  QPoint withinLimits(QPoint point) const;
  void showCursor(TCursor cursor);

  std::vector<TabcSplitPane*> panes_;
  int hPos_ = 50;
  int vPos_ = 50;
  int hPercent_ = 50;
  int vPercent_ = 50;
  SplitLimits hLimits_;
  SplitLimits vLimits_;
  bool hScaled_ = false;
  bool vScaled_ = false;
  SplitLocks locks_;
  int thickness_ = 2;
  TBorderStyle borderStyle_ = TBorderStyle::bsNone;
  TabcSplitMoveStyle moveStyle_ = TabcSplitMoveStyle::amsBlack;
  TPanelBevel splitBevel_ = TPanelBevel::bvRaised;
  TColor splitColor_ = clBtnFace;
  TCursor cursor_ = crDefault;
  bool loading_ = false;
  QSize lastSize_;

  bool dragging_ = false;
  TCursor hitCode_ = crDefault;
  QPoint dragPoint_;
  bool barsShown_ = false;
  QRegion shownBars_;
  QPointer<DragBarOverlay> overlay_;
};
