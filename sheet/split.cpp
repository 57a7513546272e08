#include "sheet/split.h"

#include "framework/accessible.h"
#include "platform/errors.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

// The parent's pixels under the drag bars, inverted: a transparent widget on top of the
// parent's children that paints only the inverted strips, so the screen beneath comes
// back unchanged when a strip is inverted again.
class DragBarOverlay : public QWidget {
 public:
  explicit DragBarOverlay(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(parent->rect());
    raise();
    show();
  }

  void SetInverted(const QRegion& inverted) {
    const QRegion changed = inverted.xored(inverted_);
    inverted_ = inverted;
    update(changed);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& r : inverted_) painter.fillRect(r, Qt::black);
  }

 private:
  QRegion inverted_;
};

namespace {

QPoint MessagePoint(intptr_t lParam) {
  return QPoint(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

}  // namespace

// ---- TabcSplitPane ----

namespace {

// A pane by its place in the split: the list runs clockwise from the top left.
QString PaneName(int index) {
  static const char* const kPlaces[] = {"oben links", "oben rechts", "unten rechts", "unten links"};
  if (index < 0 || index >= 4) return QStringLiteral("Feld");
  return QStringLiteral("Feld %1").arg(QString::fromLatin1(kPlaces[index]));
}

}  // namespace

TabcSplitPane::TabcSplitPane(TComponent* AOwner) : TCustomControl(AOwner) {
  DescribeAccessible(widget_, AccessibleDescription{QAccessible::Pane, [this] { return PaneName(PaneIndex()); }, {}, {}, {}});
}

TabcSplitPane::~TabcSplitPane() {
  BeginDestruction();
  if (split_) split_->removePane(this);
}

void TabcSplitPane::SetParent(TWinControl* parent) {
  if (split_ && parent != split_) split_->removePane(this);
  TCustomControl::SetParent(parent);
  auto* split = dynamic_cast<TabcCustomSplit*>(parent);
  if (split && split_ != split) split->appendPane(this);
}

int TabcSplitPane::PaneIndex() const { return split_ ? split_->IndexOfPane(this) : -1; }

void TabcSplitPane::SetPaneIndex(int index) {
  if (split_) split_->movePane(this, index);
}

// ---- TabcCustomSplit ----

TabcCustomSplit::TabcCustomSplit(TComponent* AOwner) : TabcCustomEdgePanel(AOwner) {
  // Set first, so the default size is no size change (the panes' arrangement is not
  // there yet while the base is being built).
  lastSize_ = QSize(100, 100);
  SetBounds(Left(), Top(), 100, 100);
  widget_->setMouseTracking(true);
}

TabcCustomSplit::~TabcCustomSplit() {
  BeginDestruction();
  delete overlay_.data();
  DestroyPanes();
}

void TabcCustomSplit::DestroyPanes() {
  while (!panes_.empty()) delete panes_.back();
}

void TabcCustomSplit::CreatePanes() {
  while (PaneCount() < GetPaneCount()) GetPaneClass()(Owner())->SetParent(this);
}

int TabcCustomSplit::IndexOfPane(const TabcSplitPane* pane) const {
  const auto it = std::find(panes_.begin(), panes_.end(), pane);
  return it == panes_.end() ? -1 : static_cast<int>(it - panes_.begin());
}

void TabcCustomSplit::appendPane(TabcSplitPane* pane) {
  panes_.push_back(pane);
  pane->split_ = this;
  pane->SetColor(Color());
  pane->SetFont(Font());
  pane->Widget()->setCursor(ScreenCursor(cursor_));
  realign();
}

void TabcCustomSplit::removePane(TabcSplitPane* pane) {
  panes_.erase(std::remove(panes_.begin(), panes_.end(), pane), panes_.end());
  pane->split_ = nullptr;
  if (!Destroying()) realign();
}

void TabcCustomSplit::movePane(TabcSplitPane* pane, int index) {
  const int last = PaneCount() - 1;
  if (index < 0 || index > last) {
    throw Exception(QStringLiteral("%1 is an invalid PaneIndex value.  PaneIndex must be between 0 and %2")
                        .arg(index)
                        .arg(last));
  }
  panes_.erase(std::remove(panes_.begin(), panes_.end(), pane), panes_.end());
  panes_.insert(panes_.begin() + index, pane);
  realign();
}

SplitFrame TabcCustomSplit::Frame() const {
  const SplitEdge edge{BorderWidth(), BevelWidth(), BevelOuter() != TPanelBevel::bvNone,
                       BevelInner() != TPanelBevel::bvNone};
  return SplitFrame{Width(), Height(), SplitEdgeWidth(edge), thickness_, borderStyle_ == TBorderStyle::bsSingle};
}

QPoint TabcCustomSplit::withinLimits(QPoint point) const { return ClampSplitPoint(point, Frame(), hLimits_, vLimits_); }

void TabcCustomSplit::storePositions(QPoint clamped) {
  hPos_ = clamped.x();
  vPos_ = clamped.y();
  hPercent_ = SplitPercent(hPos_, Width());
  vPercent_ = SplitPercent(vPos_, Height());
}

void TabcCustomSplit::SetSplitHPos(int value) {
  const int x = withinLimits(QPoint(value, vPos_)).x();
  // Compared after clamping, so a position beyond the limit that stays at the limit is
  // no change either.
  if (x == hPos_) return;
  storePositions(QPoint(x, vPos_));
  realign();
  if (OnSplitMoveH) OnSplitMoveH(this);
}

void TabcCustomSplit::SetSplitVPos(int value) {
  const int y = withinLimits(QPoint(hPos_, value)).y();
  if (y == vPos_) return;
  storePositions(QPoint(hPos_, y));
  realign();
  if (OnSplitMoveV) OnSplitMoveV(this);
}

void TabcCustomSplit::setPositions(QPoint point) {
  SetSplitHPos(point.x());
  SetSplitVPos(point.y());
}

void TabcCustomSplit::reapplyPositions(QPoint point) {
  storePositions(withinLimits(point));
  realign();
}

void TabcCustomSplit::realign() {
  if (loading_) return;
  AlignPanes();
  Invalidate();
}

void TabcCustomSplit::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  SetStyle(style == TBorderStyle::bsSingle ? Style() | WS_BORDER : Style() & ~WS_BORDER);
  FrameChanged();
  reapplyPositions(QPoint(hPos_, vPos_));
}

void TabcCustomSplit::SetSplitColor(TColor color) {
  splitColor_ = color;
  Invalidate();
}

void TabcCustomSplit::showCursor(TCursor cursor) { widget_->setCursor(ScreenCursor(cursor)); }

void TabcCustomSplit::Loaded() {
  loading_ = false;
  lastSize_ = QSize(Width(), Height());
  reapplyPositions(QPoint(hPos_, vPos_));
}

void TabcCustomSplit::BoundsChanged() {
  TabcCustomEdgePanel::BoundsChanged();
  const QSize size(Width(), Height());
  if (size == lastSize_ || loading_) return;
  lastSize_ = size;
  QPoint point(hPos_, vPos_);
  if (hScaled_) point.setX(ScaledSplitPosition(Width(), hPercent_));
  if (vScaled_) point.setY(ScaledSplitPosition(Height(), vPercent_));
  setPositions(point);
  reapplyPositions(QPoint(hPos_, vPos_));
}

TCursor TabcCustomSplit::HitTestBars(QPoint point) const {
  return HitTestSplitBars(point, BarColumns(), BarRows(), locks_, cursor_);
}

QPoint TabcCustomSplit::GetDragPoint(QPoint point) const {
  return SplitDragPoint(point, hitCode_, QPoint(hPos_, vPos_));
}

std::pair<QColor, QColor> TabcCustomSplit::BarColours() const {
  const QColor light = ToQColor(clSystemColor | COLOR_BTNHIGHLIGHT);
  const QColor shadow = ToQColor(clSystemColor | COLOR_BTNSHADOW);
  switch (splitBevel_) {
    case TPanelBevel::bvRaised: return {light, shadow};
    case TPanelBevel::bvLowered: return {shadow, light};
    default: return {ToQColor(Color()), ToQColor(Color())};
  }
}

void TabcCustomSplit::Paint(QPainter& painter) {
  painter.setPen(QPen(Qt::black, 1));
  TabcCustomEdgePanel::Paint(painter);
  PaintBars(painter);
}

void TabcCustomSplit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      mousePressed(MessagePoint(message.LParam));
      return;
    case WM_MOUSEMOVE:
      mouseMoved(MessagePoint(message.LParam));
      return;
    case WM_LBUTTONUP:
      mouseReleased(MessagePoint(message.LParam));
      return;
    default:
      TabcCustomEdgePanel::WndProc(message);
  }
}

void TabcCustomSplit::mousePressed(QPoint point) {
  // A press while still dragging means the release went elsewhere (the window lost the
  // pointer meanwhile): that drag ends here first, so no line stays on the screen.
  if (dragging_) mouseReleased(point);
  if (locks_.horizontal && locks_.vertical) return;
  // The code of the press point itself, so a press without a move before it (a touch
  // screen, a pointer warped there) hits what is under it.
  hitCode_ = HitTestBars(point);
  if (hitCode_ == cursor_) return;
  if (Parent()) overlay_ = new DragBarOverlay(Parent()->ClientWidget());
  dragPoint_ = GetDragPoint(point);
  if (!MoveImmediate() && moveStyle_ != TabcSplitMoveStyle::amsNoLine) DrawDragBars(dragPoint_);
  dragging_ = true;
}

void TabcCustomSplit::mouseMoved(QPoint point) {
  if (!dragging_) {
    hitCode_ = HitTestBars(point);
    showCursor(hitCode_);
    return;
  }
  if (MoveImmediate()) {
    const QPoint dragPoint = GetDragPoint(point);
    if (dragPoint == dragPoint_) return;
    dragPoint_ = dragPoint;
    setPositions(dragPoint);
    return;
  }
  const QPoint clamped = withinLimits(point);
  if (moveStyle_ != TabcSplitMoveStyle::amsNoLine) {
    if (barsShown_) DrawDragBars(dragPoint_);
    DrawDragBars(clamped);
  }
  dragPoint_ = clamped;
}

void TabcCustomSplit::mouseReleased(QPoint point) {
  if (!dragging_) return;
  dragging_ = false;
  if (barsShown_) DrawDragBars(dragPoint_);
  delete overlay_.data();
  setPositions(withinLimits(GetDragPoint(point)));
  showCursor(cursor_);
}

void TabcCustomSplit::DrawDragBars(QPoint point) {
  if (!overlay_) return;
  const int inset = Frame().edge + (borderStyle_ == TBorderStyle::bsSingle ? 1 : 0);
  const QRect area = widget_->geometry().adjusted(inset, inset, -inset, -inset);
  // Each strip is inverted on its own, as a pattern blit would: where the two strips of
  // the crossing meet, the pixels are inverted twice.
  for (const QRect& strip : DragBarStrips(area, point + widget_->pos(), thickness_, hitCode_)) {
    shownBars_ = shownBars_.xored(QRegion(strip));
  }
  barsShown_ = !barsShown_;
  overlay_->SetInverted(shownBars_);
}
