// Dragging between controls: the target's handlers see the source control, decide on
// acceptance, and receive the drop; drags that carry no control are refused.
#include "framework/drag_drop.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DragDrop, TargetDecidesAndReceivesTheDrop) {
  TCustomControl parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  TCustomControl target(nullptr);
  TCustomControl source(nullptr);
  target.SetBounds(10, 10, 50, 50);
  target.SetParent(&parent);
  parent.Widget()->show();
  std::vector<TDragState> states;
  TObject* dropped = nullptr;
  QPoint dropPoint;
  SetDragHandlers(
      &target,
      [&](TObject* sender, TObject* from, int, int, TDragState state, bool& accept) {
        EXPECT_EQ(sender, &target);
        states.push_back(state);
        accept = from == &source;
      },
      [&](TObject*, TObject* from, int x, int y) {
        dropped = from;
        dropPoint = QPoint(x, y);
      });
  ControlDragData data(&source);
  QDragEnterEvent enter(QPoint(5, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target.Widget(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDragMoveEvent move(QPoint(7, 8), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target.Widget(), &move);
  EXPECT_TRUE(move.isAccepted());
  QDropEvent drop(QPointF(9, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target.Widget(), &drop);
  EXPECT_EQ(dropped, &source);
  EXPECT_EQ(dropPoint, QPoint(9, 10));
  EXPECT_EQ(states, (std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragMove}));

  // Another source, or a drag that carries no control, is refused on entering.
  TCustomControl stranger(nullptr);
  ControlDragData strangerData(&stranger);
  QDragEnterEvent strangerEnter(QPoint(5, 6), Qt::CopyAction, &strangerData, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target.Widget(), &strangerEnter);
  EXPECT_FALSE(strangerEnter.isAccepted());
  QMimeData text;
  text.setText(QStringLiteral("x"));
  QDragEnterEvent textEnter(QPoint(5, 6), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target.Widget(), &textEnter);
  EXPECT_FALSE(textEnter.isAccepted());
  EXPECT_EQ(states.size(), 3u);  // the drag without a control never reached the handler
}

TEST(DragDrop, SourceDestroyedDuringTheDragIsNoSource) {
  auto source = std::make_unique<TCustomControl>(nullptr);
  ControlDragData data(source.get());
  EXPECT_EQ(data.Source(), source.get());
  source.reset();
  EXPECT_EQ(data.Source(), nullptr);
}

}  // namespace
