#include "chrome/speed_bar.h"

#include "chrome/chrome_resources.h"
#include "chrome/speed_item_access.h"
#include "framework/keyboard_press.h"
#include "platform/mul_div.h"

#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

QPoint LParamPoint(intptr_t lParam) {
  return QPoint(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

bool IsVertical(TAlign edge) { return edge == TAlign::alLeft || edge == TAlign::alRight; }

QRgb SysRgb(int index) {
  const uint32_t bgr = GetSysColor(index);
  return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The dotted pattern of a focus rectangle, drawn in black and white so it shows on any
// background (the desktop gives no inverting pen across windows).
void DrawDottedRect(QPainter& painter, const QRect& r) {
  QPen white(Qt::white, 1, Qt::SolidLine);
  QPen black(Qt::black, 1, Qt::DotLine);
  painter.setPen(white);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  painter.setPen(black);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

// The drag frame: three nested dotted rectangles on the screen, above every window;
// only the frame itself is part of the window, so what lies inside stays visible.
class DragFrame : public QWidget {
 public:
  DragFrame()
      : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void ShowAt(const QRect& screenRect) {
    setGeometry(screenRect);
    const QRect all(QPoint(0, 0), screenRect.size());
    setMask(QRegion(all) - QRegion(all.adjusted(3, 3, -3, -3)));
    show();
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QRect r(QPoint(0, 0), size());
    for (int i = 0; i < 3; ++i) DrawDottedRect(painter, r.adjusted(i, i, -i, -i));
  }
};

TAlign DropEdge(const QPointF& p, const QSize& client) {
  const double w = client.width() > 0 ? client.width() : 1;
  const double h = client.height();
  const double x = p.x();
  const double y = p.y();
  const bool belowFalling = y < h * (1.0 - x / w);
  if (y > (h / w) * x) return belowFalling ? TAlign::alLeft : TAlign::alBottom;
  return belowFalling ? TAlign::alTop : TAlign::alRight;
}

bool DragThresholdReached(const QPoint& pressed, const QPoint& now) {
  return std::abs(now.x() - pressed.x()) >= 5 || std::abs(now.y() - pressed.y()) >= 5;
}

int ButtonGridStep(int size) {
  int step = std::max(1, std::min(8, size / 3));
  while (step < size && size % step != 0) ++step;
  if (step >= size && size > 1) {
    step = size - 1;
    while (step > 1 && size % step != 0) --step;
  }
  return step;
}

int SnapAlongBar(int position, int offset, int step) {
  if (step <= 0) return position;
  const double index = static_cast<double>(position - offset) / step;
  return offset + static_cast<int>(std::nearbyint(index)) * step;  // halves to even
}

int SnapAcrossBar(int position, int offset, int step) {
  if (step <= 0) return position;
  const int delta = position - offset;
  const int index = delta >= 0 ? delta / step : -((-delta + step - 1) / step);
  return offset + index * step;
}

std::vector<QPoint> WallpaperTiles(const QRect& inner, const QSize& tile) {
  std::vector<QPoint> tiles;
  if (tile.width() <= 0 || tile.height() <= 0) return tiles;
  const int columns = inner.width() / tile.width() + 1;
  const int rows = inner.height() / tile.height() + 1;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      tiles.emplace_back(inner.left() + column * tile.width(), inner.top() + row * tile.height());
    }
  }
  return tiles;
}

QImage GrayedGlyph(const QImage& glyph, QRgb transparent, QRgb buttonFace) {
  QImage grey = glyph.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < grey.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
    for (int x = 0; x < grey.width(); ++x) {
      const QRgb rgb = line[x] | 0xFF000000u;
      if (rgb == (transparent | 0xFF000000u) || rgb == (buttonFace | 0xFF000000u)) continue;
      const int level = (77 * qRed(rgb) + 150 * qGreen(rgb) + 29 * qBlue(rgb)) / 256;
      line[x] = qRgba(level, level, level, qAlpha(line[x]));
    }
  }
  return grey;
}

QImage TransparentGlyph(const QImage& glyph, QRgb transparent) {
  QImage result = glyph.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < result.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < result.width(); ++x) {
      if ((line[x] | 0xFF000000u) == (transparent | 0xFF000000u)) line[x] = 0;
    }
  }
  return result;
}

// ---- TSpeedItem ----

// Repaints the button when the pointer enters or leaves it.
class TSpeedItem::HoverWatch : public QObject {
 public:
  explicit HoverWatch(TSpeedItem* item) : item_(item) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Enter) item_->setHovered(true);
    if (event->type() == QEvent::Leave) item_->setHovered(false);
    return false;
  }

 private:
  TSpeedItem* item_;
};

TSpeedItem::TSpeedItem(TComponent* AOwner) : TCustomControl(AOwner), hoverWatch_(std::make_unique<HoverWatch>(this)) {
  widget_->installEventFilter(hoverWatch_.get());
  MakeSpeedItemAccessible(this);
  SetBounds(0, 0, 40, 40);
}

TSpeedItem::~TSpeedItem() {
  BeginDestruction();  // the section hears of it and drops the item
  if (widget_) widget_->removeEventFilter(hoverWatch_.get());
}

void TSpeedItem::SetGlyph(const QImage& glyph) {
  if (glyph.isNull()) {
    glyph_ = grayGlyph_ = QImage();
  } else {
    transparent_ = glyph.pixel(0, glyph.height() - 1);
    glyph_ = TransparentGlyph(glyph, transparent_);
    grayGlyph_ = TransparentGlyph(GrayedGlyph(glyph, transparent_, SysRgb(COLOR_BTNFACE)), transparent_);
  }
  Invalidate();
}

void TSpeedItem::SetSection(TSpeedbarSection* section) {
  if (section_ == section) return;
  if (section_) {
    section_->RemoveItem(this);
    RemoveFreeNotification(section_);
    section_->RemoveFreeNotification(this);
  }
  section_ = section;
  if (section_) {
    section_->AddItem(this);
    FreeNotification(section_);
  }
}

void TSpeedItem::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == section_) section_ = nullptr;
}

TSpeedBar* TSpeedItem::bar() const { return dynamic_cast<TSpeedBar*>(Parent()); }

void TSpeedItem::setHovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  Invalidate();
}

void TSpeedItem::MouseDown(TMouseButton button, const QPoint&) {
  if (button != TMouseButton::mbLeft) return;
  pressed_ = true;
  Repaint();
}

void TSpeedItem::MouseUp(TMouseButton button, const QPoint&) {
  if (button != TMouseButton::mbLeft) return;
  pressed_ = false;
  Repaint();
}

QImage TSpeedItem::Render() const {
  // Drawn off-screen first, then copied in one step.
  QImage image(Width(), Height(), QImage::Format_RGB32);
  QPainter painter(&image);
  const QRect all(0, 0, Width(), Height());
  const TSpeedBar* owner = bar();
  const unsigned options = owner ? owner->Options() : (sbFlatBtns | sbGrayedBtns);
  painter.fillRect(all, QColor(SysRgb(COLOR_BTNFACE)));
  if (owner && (options & sbTransparentBtns)) owner->PaintBackground(painter, BoundsRect());
  const bool flat = options & sbFlatBtns;
  QRect content = all.adjusted(2, 2, -2, -2);
  if (!flat || hovered_ || pressed_) {
    const QRgb topLeft = pressed_ ? SysRgb(COLOR_WINDOWFRAME) : SysRgb(COLOR_BTNHIGHLIGHT);
    const QRgb bottomRight = pressed_ ? SysRgb(COLOR_BTNHIGHLIGHT) : SysRgb(COLOR_BTNSHADOW);
    painter.setPen(QColor(topLeft));
    painter.drawLine(0, 0, all.width() - 1, 0);
    painter.drawLine(0, 0, 0, all.height() - 1);
    painter.setPen(QColor(bottomRight));
    painter.drawLine(0, all.height() - 1, all.width() - 1, all.height() - 1);
    painter.drawLine(all.width() - 1, 0, all.width() - 1, all.height() - 1);
    content = all.adjusted(1, 1, -1, -1);
  }
  const bool grey = (options & sbGrayedBtns) && !hovered_ && Enabled();
  const QImage& glyph = grey ? grayGlyph_ : glyph_;
  if (!glyph.isNull()) {
    QPoint at(content.left() + (content.width() - glyph.width()) / 2,
              content.top() + (content.height() - glyph.height()) / 2);
    if (pressed_) at += QPoint(1, 1);
    painter.drawImage(at, glyph);
  }
  PaintFocusFrame(this, painter, all.adjusted(3, 3, -3, -3));
  return image;
}

void TSpeedItem::Paint(QPainter& painter) { painter.drawImage(0, 0, Render()); }

// ---- TSpeedbarSection ----

TSpeedbarSection::TSpeedbarSection(TComponent* AOwner) : TComponent(AOwner) {}

void TSpeedbarSection::AddItem(TSpeedItem* item) { items_.push_back(item); }

void TSpeedbarSection::RemoveItem(TSpeedItem* item) { items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end()); }

void TSpeedbarSection::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  items_.erase(std::remove_if(items_.begin(), items_.end(),
                              [AComponent](const TSpeedItem* item) { return item == AComponent; }),
               items_.end());
}

// ---- TSpeedBar ----

TSpeedBar::TSpeedBar(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBounds(0, 0, 150, 81);
  SetShowHint(true);
}

// The bar owns its sections; they go with it.
TSpeedBar::~TSpeedBar() { BeginDestruction(); }

void TSpeedBar::SetBtnSize(int width, int height) {
  btnWidth_ = std::max(1, width);
  btnHeight_ = std::max(1, height);
}

int TSpeedBar::GridStepHorz() const {
  return orientation_ == TBarOrientation::boHorizontal ? ButtonGridStep(btnWidth_) : btnWidth_;
}

int TSpeedBar::GridStepVert() const {
  return orientation_ == TBarOrientation::boHorizontal ? btnHeight_ : ButtonGridStep(btnHeight_);
}

TSpeedbarSection* TSpeedBar::AddSection(const QString& caption) {
  auto taken = [this](const QString& text) {
    return std::any_of(sections_.begin(), sections_.end(), [&](const TSpeedbarSection* s) { return s->Caption() == text; });
  };
  QString unique = caption;
  for (int counter = 1; taken(unique); ++counter) unique = caption + QStringLiteral(" (%1)").arg(counter);
  auto* section = new TSpeedbarSection(this);
  section->SetCaption(unique);
  sections_.push_back(section);
  return section;
}

void TSpeedBar::AddItem(TSpeedbarSection* section, TSpeedItem* item, int left, int top) {
  item->SetSection(section);
  item->SetBounds(left, top, btnWidth_, btnHeight_);
  item->SetParent(this);
}

void TSpeedBar::SetWallpaper(const QImage& wallpaper) {
  wallpaper_ = wallpaper;
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TSpeedBar::SetDefaultFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  SetFont(font);
  SetFontColor(clSystemColor | COLOR_BTNTEXT);
}

QRect TSpeedBar::InnerRect() const { return QRect(0, 0, Width(), Height()).marginsRemoved(ContentMargins()); }

void TSpeedBar::PaintBackground(QPainter& painter, const QRect& area) const {
  painter.save();
  painter.translate(-area.topLeft());
  const QRect inner = InnerRect();
  painter.setClipRect(inner.intersected(area));
  // The bar's options never stretch the wallpaper: it is tiled.
  if (!wallpaper_.isNull() && wallpaper_.width() > 0 && wallpaper_.height() > 0) {
    for (const QPoint& at : WallpaperTiles(inner, wallpaper_.size())) painter.drawImage(at, wallpaper_);
  }
  painter.restore();
}

void TSpeedBar::Paint(QPainter& painter) {
  TCustomPanel::Paint(painter);
  PaintBackground(painter, QRect(0, 0, Width(), Height()));
}

void TSpeedBar::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      beginPress(LParamPoint(message.LParam));
      break;
    case WM_MOUSEMOVE:
      if (pressed_) dragMove(widget_->mapToGlobal(LParamPoint(message.LParam)));
      break;
    case WM_LBUTTONUP:
      if (pressed_) endPress(widget_->mapToGlobal(LParamPoint(message.LParam)));
      break;
    default:
      break;
  }
  TCustomPanel::WndProc(message);
}

void TSpeedBar::beginPress(const QPoint& pos) {
  const bool docked = Align() == TAlign::alTop || Align() == TAlign::alBottom || Align() == TAlign::alLeft ||
                      Align() == TAlign::alRight;
  // Only a free part of the bar: a press on a button or label reaches us from the child.
  if (!(options_ & sbAllowDrag) || !docked || !Parent() || widget_->childAt(pos)) return;
  pressed_ = true;
  pressPoint_ = widget_->mapToGlobal(pos);
}

QRect TSpeedBar::DropRectAt(const QPoint& screenPoint, TAlign* edgeOut) const {
  const TWinControl* parent = Parent();
  if (!parent) return QRect();
  const QWidget* client = parent->ClientWidget();
  const QPoint local = client->mapFromGlobal(screenPoint);
  const TAlign edge = DropEdge(QPointF(local), QSize(parent->ClientWidth(), parent->ClientHeight()));
  if (edgeOut) *edgeOut = edge;
  const int thickness = orientation_ == TBarOrientation::boHorizontal ? Height() : Width();
  std::vector<AlignItem> items;
  size_t self = 0;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    const TControl* control = parent->Controls(i);
    AlignItem item{control->Align(), control->BoundsRect(), control->Visible()};
    if (control == this) {
      self = items.size();
      item.align = edge;
      item.bounds = IsVertical(edge) ? QRect(0, 0, thickness, 1) : QRect(0, 0, 1, thickness);
    }
    items.push_back(item);
  }
  const std::vector<QRect> placed = ArrangeAligned(QRect(0, 0, parent->ClientWidth(), parent->ClientHeight()), items);
  return placed[self].translated(client->mapToGlobal(QPoint(0, 0)));
}

void TSpeedBar::dragMove(const QPoint& screenPoint) {
  if (!dragging_) {
    if (!DragThresholdReached(pressPoint_, screenPoint)) return;
    dragging_ = true;
    widget_->setCursor(DragCursor());
    if (!dragFrame_) dragFrame_ = std::make_unique<DragFrame>();
    shownFrame_ = QRect();
  }
  const QRect frame = DropRectAt(screenPoint, &dropEdge_);
  if (frame != shownFrame_) {
    shownFrame_ = frame;
    dragFrame_->ShowAt(frame);
  }
}

void TSpeedBar::endPress(const QPoint& screenPoint) {
  pressed_ = false;
  if (!dragging_) return;  // no 5-pixel move, no drag
  DropRectAt(screenPoint, &dropEdge_);
  if (dragFrame_) dragFrame_->hide();
  widget_->unsetCursor();
  dragging_ = false;
  DockTo(dropEdge_);
}

void TSpeedBar::DockTo(TAlign edge) {
  const TBarOrientation wanted = IsVertical(edge) ? TBarOrientation::boVertical : TBarOrientation::boHorizontal;
  if (wanted != orientation_) {
    // The window's layout waits until the bar has its new shape.
    SetAlign(TAlign::alNone);
    setOrientation(wanted);
  }
  SetAlign(edge);
  if (Parent()) Parent()->AlignControls();
}

void TSpeedBar::setOrientation(TBarOrientation orientation) {
  orientation_ = orientation;
  std::swap(btnOffsetHorz_, btnOffsetVert_);
  std::swap(btnWidth_, btnHeight_);
  const int thickness = orientation == TBarOrientation::boVertical ? Height() : Width();
  if (orientation == TBarOrientation::boVertical) {
    SetBounds(Left(), Top(), thickness, Width());
  } else {
    SetBounds(Left(), Top(), Height(), thickness);
  }
  for (TSpeedbarSection* section : sections_) {
    for (TSpeedItem* item : section->Items()) item->SetBounds(item->Top(), item->Left(), item->Height(), item->Width());
  }
}

void TSpeedBar::ScaleButtons(int multiplier, int divisor) {
  if (divisor == 0 || multiplier == divisor) return;
  auto scale = [&](int v) { return static_cast<int>(MulDiv(v, multiplier, divisor)); };
  btnWidth_ = std::max(1, scale(btnWidth_));
  btnHeight_ = std::max(1, scale(btnHeight_));
  btnOffsetHorz_ = scale(btnOffsetHorz_);
  btnOffsetVert_ = scale(btnOffsetVert_);
  const bool horizontal = orientation_ == TBarOrientation::boHorizontal;
  for (TSpeedbarSection* section : sections_) {
    for (TSpeedItem* item : section->Items()) {
      if (!item->Visible()) continue;
      const int left = scale(item->Left());
      const int top = scale(item->Top());
      const int x = horizontal ? SnapAlongBar(left, btnOffsetHorz_, GridStepHorz())
                               : SnapAcrossBar(left, btnOffsetHorz_, GridStepHorz());
      const int y = horizontal ? SnapAcrossBar(top, btnOffsetVert_, GridStepVert())
                               : SnapAlongBar(top, btnOffsetVert_, GridStepVert());
      item->SetBounds(x, y, btnWidth_, btnHeight_);
    }
  }
}
