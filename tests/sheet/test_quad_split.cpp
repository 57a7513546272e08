// The quad split panel as the main window builds it: panes aligned at the end of
// loading, the cursor over the bars, dragging with the inverted line and with the panes
// following at once, position events, the pane list, painting and size changes.
#include "framework/std_controls.h"
#include "platform/errors.h"
#include "sheet/quad_split.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Design {
  QRect bounds;
  QPoint positions;
};
const Design kFirst{{184, 8, 169, 89}, {85, 45}};
const Design kSecond{{116, 8, 81, 89}, {40, 45}};

class QuadSplitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterSplitCursors();
    parent_ = makeSheet();
  }
  // A white stand-in for the tab sheet.
  static std::unique_ptr<TPanel> makeSheet() {
    auto sheet = std::make_unique<TPanel>(nullptr);
    sheet->SetBevelOuter(TPanelBevel::bvNone);
    sheet->SetBounds(0, 0, 400, 110);
    sheet->SetColor(clWhite);
    return sheet;
  }
  void TearDown() override {
    parent_.reset();
    UnregisterSplitCursors();
  }

  // Built as the form description builds it: bounds, positions, then the panes.
  TabcQuadSplit* build(const Design& design) { return build(parent_.get(), design); }
  static TabcQuadSplit* build(TPanel* sheet, const Design& design) {
    auto* split = new TabcQuadSplit(sheet);
    split->SetBounds(design.bounds.left(), design.bounds.top(), design.bounds.width(), design.bounds.height());
    split->SetParent(sheet);
    split->BeginLoading();
    split->SetSplitHPos(design.positions.x());
    split->SetSplitVPos(design.positions.y());
    for (int i = 0; i < 4; ++i) (new TabcSplitPane(sheet))->SetParent(split);
    split->Loaded();
    return split;
  }

  static void mouse(TControl* control, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || button == Qt::NoButton ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(p), QPointF(control->Widget()->mapToGlobal(p)), button,
                      type == QEvent::MouseMove ? Qt::MouseButtons(Qt::LeftButton) & held : held, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &event);
  }
  static void drag(TControl* control, QPoint from, QPoint to) {
    mouse(control, QEvent::MouseMove, from);
    mouse(control, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(control, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(control, QEvent::MouseButtonRelease, to, Qt::LeftButton);
  }
  static std::vector<QSize> paneSizes(const TabcCustomSplit& split) {
    std::vector<QSize> sizes;
    for (int i = 0; i < split.PaneCount(); ++i) sizes.push_back(split.Panes(i)->BoundsRect().size());
    return sizes;
  }

  std::unique_ptr<TPanel> parent_;
};

TEST_F(QuadSplitTest, BothInstancesAsLoaded) {
  TabcQuadSplit* first = build(kFirst);
  EXPECT_EQ(paneSizes(*first), (std::vector<QSize>{{82, 42}, {81, 42}, {81, 41}, {82, 41}}));
  EXPECT_EQ(first->Panes(2)->BoundsRect(), QRect(87, 47, 81, 41));
  EXPECT_EQ(first->SplitHPercent(), 50);
  EXPECT_EQ(first->SplitVPercent(), 51);
  EXPECT_FALSE(first->MoveImmediate());
  TabcQuadSplit* second = build(kSecond);
  EXPECT_EQ(paneSizes(*second), (std::vector<QSize>{{37, 42}, {38, 42}, {38, 41}, {37, 41}}));
  EXPECT_EQ(second->SplitHPercent(), 49);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(second->Panes(i)->PaneIndex(), i);
    EXPECT_EQ(second->Panes(i)->Split(), second);
  }
}

TEST_F(QuadSplitTest, NothingIsAlignedUntilLoadingEnds) {
  auto* split = new TabcQuadSplit(parent_.get());
  split->SetBounds(184, 8, 169, 89);
  split->BeginLoading();
  split->SetSplitHPos(85);
  auto* pane = new TabcSplitPane(parent_.get());
  pane->SetBounds(5, 5, 10, 10);
  pane->SetParent(split);
  EXPECT_EQ(pane->BoundsRect(), QRect(5, 5, 10, 10));
  split->Loaded();
  EXPECT_EQ(pane->BoundsRect(), QRect(1, 1, 82, 47));
}

TEST_F(QuadSplitTest, CursorOverTheBarsAndTheirCrossing) {
  TabcQuadSplit* split = build(kFirst);
  QWidget* widget = split->Widget();
  for (int x = 83; x <= 86; ++x) {
    mouse(split, QEvent::MouseMove, {x, 20});
    EXPECT_EQ(widget->cursor().shape(), Qt::SplitHCursor) << "column " << x;
  }
  for (int y = 43; y <= 46; ++y) {
    mouse(split, QEvent::MouseMove, {150, y});
    EXPECT_EQ(widget->cursor().shape(), Qt::SplitVCursor) << "row " << y;
  }
  mouse(split, QEvent::MouseMove, {84, 44});
  EXPECT_EQ(widget->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(widget->cursor().hotSpot(), QPoint(15, 15));
  mouse(split, QEvent::MouseMove, {82, 20});
  EXPECT_EQ(widget->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(split->Panes(0)->Widget()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QuadSplitTest, DraggingTheVerticalBarStopsAtBothLimits) {
  TabcQuadSplit* split = build(kFirst);
  drag(split, {84, 20}, {0, 20});
  EXPECT_EQ(split->SplitHPos(), 3);
  EXPECT_EQ(split->SplitVPos(), 45);
  EXPECT_EQ(split->Panes(0)->Width(), 0);
  EXPECT_EQ(split->Panes(3)->Width(), 0);
  EXPECT_EQ(split->Panes(1)->Width(), 163);

  drag(split, {3, 20}, {200, 20});
  EXPECT_EQ(split->SplitHPos(), 166);
  EXPECT_EQ(split->SplitVPos(), 45);
  EXPECT_EQ(split->Panes(1)->Width(), 0);
  EXPECT_EQ(split->Panes(2)->Width(), 0);
  EXPECT_EQ(split->Widget()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QuadSplitTest, DraggingFromTheCrossingMovesBothBarsOnce) {
  TabcQuadSplit* split = build(kFirst);
  int hMoves = 0;
  int vMoves = 0;
  split->OnSplitMoveH = [&](TObject* sender) {
    EXPECT_EQ(sender, split);
    ++hMoves;
  };
  split->OnSplitMoveV = [&](TObject*) { ++vMoves; };
  drag(split, {84, 44}, {120, 60});
  EXPECT_EQ(split->SplitHPos(), 120);
  EXPECT_EQ(split->SplitVPos(), 60);
  EXPECT_EQ(hMoves, 1);
  EXPECT_EQ(vMoves, 1);
  EXPECT_EQ(split->Panes(0)->BoundsRect(), QRect(1, 1, 117, 57));

  // The horizontal bar alone leaves the vertical one where it is.
  drag(split, {20, 59}, {20, 30});
  EXPECT_EQ(split->SplitHPos(), 120);
  EXPECT_EQ(split->SplitVPos(), 30);
  EXPECT_EQ(hMoves, 1);
  EXPECT_EQ(vMoves, 2);
}

TEST_F(QuadSplitTest, UnchangedPositionRaisesNoEvent) {
  TabcQuadSplit* split = build(kFirst);
  int moves = 0;
  split->OnSplitMoveH = [&](TObject*) { ++moves; };
  split->SetSplitHPos(85);
  EXPECT_EQ(moves, 0);
  split->SetSplitHPos(500);
  split->SetSplitHPos(500);  // still at the limit: no change
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(split->SplitHPos(), 166);
  // A press and release on the bar without moving changes nothing either.
  drag(split, {166, 20}, {166, 20});
  EXPECT_EQ(moves, 1);
}

TEST_F(QuadSplitTest, InvertedLineFollowsThePointerAndLeavesNoTrace) {
  TabcQuadSplit* split = build(kFirst);
  QWidget* sheet = parent_->Widget();
  const QImage before = sheet->grab().toImage();
  mouse(split, QEvent::MouseMove, {84, 20});
  mouse(split, QEvent::MouseButtonPress, {84, 20}, Qt::LeftButton);
  mouse(split, QEvent::MouseMove, {120, 20}, Qt::LeftButton);
  // Only the 2-pixel line moved; the panes keep their sizes until the release.
  EXPECT_EQ(split->ShownDragBars(), QRegion(184 + 119, 9, 2, 87));
  EXPECT_EQ(split->Panes(0)->Width(), 82);
  const QImage during = sheet->grab().toImage();
  EXPECT_EQ(during.pixel(184 + 120, 30), ~before.pixel(184 + 120, 30) | 0xFF000000u);
  EXPECT_EQ(during.pixel(184 + 121, 30), before.pixel(184 + 121, 30));

  mouse(split, QEvent::MouseButtonRelease, {120, 20}, Qt::LeftButton);
  EXPECT_TRUE(split->ShownDragBars().isEmpty());
  EXPECT_EQ(split->Panes(0)->Width(), 117);
  // Nothing inverted is left on the sheet: it looks as a fresh split at 120 does.
  const QImage after = sheet->grab().toImage();
  const std::unique_ptr<TPanel> reference = makeSheet();
  build(reference.get(), {{184, 8, 169, 89}, {120, 45}});
  EXPECT_EQ(after, reference->Widget()->grab().toImage());
}

TEST_F(QuadSplitTest, PressAfterALostReleaseEndsTheDragFirst) {
  TabcQuadSplit* split = build(kFirst);
  mouse(split, QEvent::MouseMove, {84, 20});
  mouse(split, QEvent::MouseButtonPress, {84, 20}, Qt::LeftButton);
  mouse(split, QEvent::MouseMove, {120, 20}, Qt::LeftButton);
  mouse(split, QEvent::MouseButtonPress, {120, 20}, Qt::LeftButton);  // the release never came
  EXPECT_EQ(split->SplitHPos(), 120);
  EXPECT_FALSE(split->ShownDragBars().isEmpty());  // the new press starts a new drag on the bar
  mouse(split, QEvent::MouseButtonRelease, {120, 20}, Qt::LeftButton);
  EXPECT_TRUE(split->ShownDragBars().isEmpty());
  EXPECT_FALSE(split->Dragging());
}

TEST_F(QuadSplitTest, ImmediateStyleMovesThePanesWithThePointer) {
  TabcQuadSplit* split = build(kFirst);
  split->SetSplitMoveStyle(TabcSplitMoveStyle::amsImmediate);
  EXPECT_TRUE(split->MoveImmediate());
  mouse(split, QEvent::MouseMove, {84, 20});
  mouse(split, QEvent::MouseButtonPress, {84, 20}, Qt::LeftButton);
  mouse(split, QEvent::MouseMove, {100, 20}, Qt::LeftButton);
  EXPECT_EQ(split->SplitHPos(), 100);
  EXPECT_EQ(split->Panes(0)->Width(), 97);
  EXPECT_TRUE(split->ShownDragBars().isEmpty());
  mouse(split, QEvent::MouseButtonRelease, {100, 20}, Qt::LeftButton);
  EXPECT_FALSE(split->Dragging());
}

TEST_F(QuadSplitTest, LockedBarsDoNotMove) {
  TabcQuadSplit* split = build(kFirst);
  split->SetSplitHLock(true);
  drag(split, {84, 20}, {120, 20});
  EXPECT_EQ(split->SplitHPos(), 85);
  drag(split, {84, 44}, {120, 60});  // the crossing now moves the horizontal bar only
  EXPECT_EQ(split->SplitHPos(), 85);
  EXPECT_EQ(split->SplitVPos(), 60);
}

TEST_F(QuadSplitTest, PaneListOrderAndIndexErrors) {
  TabcQuadSplit* split = build(kFirst);
  TabcSplitPane* last = split->Panes(3);
  last->SetPaneIndex(0);
  EXPECT_EQ(split->Panes(0), last);
  EXPECT_EQ(last->BoundsRect(), QRect(1, 1, 82, 42));
  try {
    last->SetPaneIndex(4);
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("4 is an invalid PaneIndex value.  PaneIndex must be between 0 and 3"));
  }
  EXPECT_EQ(TabcSplitPane(nullptr).PaneIndex(), -1);

  delete split->Panes(1);
  EXPECT_EQ(split->PaneCount(), 3);
  EXPECT_EQ(split->Panes(1)->BoundsRect(), QRect(87, 1, 81, 42));
  split->CreatePanes();
  EXPECT_EQ(split->PaneCount(), 4);
  EXPECT_EQ(split->Panes(3)->BoundsRect(), QRect(1, 47, 82, 41));
}

TEST_F(QuadSplitTest, PaintsRaisedBarsInsideARaisedFrame) {
  TabcQuadSplit* split = build(kFirst);
  const QImage image = split->Widget()->grab().toImage();
  const QRgb light = ToQColor(clSystemColor | COLOR_BTNHIGHLIGHT).rgb();
  const QRgb shadow = ToQColor(clSystemColor | COLOR_BTNSHADOW).rgb();
  const QRgb face = ToQColor(clBtnFace).rgb();
  EXPECT_EQ(image.pixel(0, 20), light);
  EXPECT_EQ(image.pixel(168, 20), shadow);
  EXPECT_EQ(image.pixel(83, 20), light);
  EXPECT_EQ(image.pixel(84, 20), face);
  EXPECT_EQ(image.pixel(85, 20), face);
  EXPECT_EQ(image.pixel(86, 20), shadow);
  EXPECT_EQ(image.pixel(20, 43), light);
  EXPECT_EQ(image.pixel(20, 46), shadow);
  EXPECT_EQ(image.pixel(84, 44), face);

  split->SetSplitColor(0x0000FF);  // red, in the colour value's blue-green-red order
  const QImage red = split->Widget()->grab().toImage();
  EXPECT_EQ(red.pixel(84, 20), qRgb(255, 0, 0));
  EXPECT_EQ(red.pixel(20, 45), qRgb(255, 0, 0));
  EXPECT_EQ(red.pixel(83, 20), light);
}

TEST_F(QuadSplitTest, SizeChangeKeepsPixelsOrPercentages) {
  TabcQuadSplit* split = build(kFirst);
  split->SetSplitVScaled(true);
  split->SetBounds(184, 8, 250, 200);
  EXPECT_EQ(split->SplitHPos(), 85);
  EXPECT_EQ(split->Panes(1)->Width(), 250 - 1 - 86 - 1);
  EXPECT_EQ(split->SplitHPercent(), 34);
  EXPECT_EQ(split->SplitVPos(), 102);  // 51 % of 200
  split->SetSplitVScaled(false);
  split->SetBounds(184, 8, 60, 20);  // the pixel positions are clamped to the smaller size
  EXPECT_EQ(split->SplitHPos(), 57);
  EXPECT_EQ(split->SplitVPos(), 17);
}

}  // namespace
