#include "framework/control.h"

#include "framework/application_services.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <qdrawutil.h>

namespace {

const char* const kControlProperty = "velarimControl";

uint32_t MouseMessage(const QMouseEvent* e) {
  const bool right = e->button() == Qt::RightButton;
  switch (e->type()) {
    case QEvent::MouseButtonPress: return right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    case QEvent::MouseButtonRelease: return right ? WM_RBUTTONUP : WM_LBUTTONUP;
    case QEvent::MouseButtonDblClick: return right ? WM_RBUTTONDOWN : WM_LBUTTONDBLCLK;
    default: return WM_MOUSEMOVE;
  }
}

// The message a Qt event becomes; WM_NULL for events that go straight to Qt.
TMessage MessageOfEvent(QEvent* e) {
  TMessage m;
  m.Event = e;
  switch (e->type()) {
    case QEvent::Paint: m.Msg = WM_PAINT; break;
    case QEvent::Resize: m.Msg = WM_SIZE; break;
    case QEvent::Move: m.Msg = WM_MOVE; break;
    case QEvent::Close: m.Msg = WM_CLOSE; break;
    case QEvent::Show: m.Msg = WM_SHOWWINDOW; m.WParam = 1; break;
    case QEvent::Hide: m.Msg = WM_SHOWWINDOW; m.WParam = 0; break;
    case QEvent::FocusIn: m.Msg = WM_SETFOCUS; break;
    case QEvent::FocusOut: m.Msg = WM_KILLFOCUS; break;
    case QEvent::WindowActivate: m.Msg = WM_ACTIVATE; m.WParam = 1; break;
    case QEvent::WindowDeactivate: m.Msg = WM_ACTIVATE; m.WParam = 0; break;
    case QEvent::KeyPress: m.Msg = WM_KEYDOWN; m.WParam = static_cast<QKeyEvent*>(e)->key(); break;
    case QEvent::KeyRelease: m.Msg = WM_KEYUP; m.WParam = static_cast<QKeyEvent*>(e)->key(); break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      m.Msg = MouseMessage(me);
      m.LParam = PointToLParam(me->position().toPoint());
      break;
    }
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      m.Msg = WM_MOUSEWHEEL;
      m.WParam = static_cast<intptr_t>(we->angleDelta().y()) << 16;
      m.LParam = PointToLParam(we->position().toPoint());
      break;
    }
    default: m.Msg = WM_NULL; break;
  }
  return m;
}

}  // namespace

// ---- TControl ----

TControl::TControl(TComponent* AOwner, QWidget* widget, ControlHost* host)
    : TComponent(AOwner), widget_(widget), host_(host) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  widget_->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
  widget_->setAttribute(Qt::WA_Hover, false);
  bounds_ = QRect(0, 0, widget_->width(), widget_->height());
  font_ = QFont(QStringLiteral("MS Sans Serif"));
  font_.setPixelSize(11);
  ApplyPalette();
}

TControl::~TControl() {
  BeginDestruction();
  if (parent_) {
    parent_->RemoveControl(this);
    parent_ = nullptr;
  }
  if (host_) host_->Detach();
  delete widget_.data();
}

TControl* TControl::FromWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    const QVariant v = w->property(kControlProperty);
    if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
  }
  return nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (parent_) {
    widget_->setParent(parent_->ClientWidget());
    parent_->InsertControl(this);
    SetBounds(Left(), Top(), Width(), Height());
    widget_->setVisible(visible_);
  } else {
    widget_->setParent(nullptr);
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  const QRect old = bounds_;
  bounds_ = QRect(left, top, std::max(0, width), std::max(0, height));
  if (widget_ && !widget_->isWindow()) {
    settingBounds_ = true;
    QPoint origin;
    if (parent_) origin = parent_->ClientRect().topLeft();
    widget_->setGeometry(bounds_.translated(origin));
    settingBounds_ = false;
  }
  if (old != bounds_) {
    BoundsChanged();
    if (align_ != TAlign::alNone) RequestParentRealign();
  }
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  RequestParentRealign();
}

void TControl::RequestParentRealign() {
  if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (parent_ || widget_->isWindow()) widget_->setVisible(visible);
  if (align_ != TAlign::alNone) RequestParentRealign();
}

void TControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  widget_->setEnabled(enabled);
}

void TControl::SetHint(const QString& hint) { hint_ = hint; }

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetShowHint(bool show) {
  showHint_ = show;
  parentShowHint_ = false;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  ApplyPalette();
  Invalidate();
}

void TControl::SetFont(const QFont& font) {
  font_ = font;
  widget_->setFont(font_);
  Invalidate();
}

void TControl::SetFontColor(TColor color) {
  fontColor_ = color;
  ApplyPalette();
  Invalidate();
}

void TControl::ApplyPalette() {
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, ToQColor(color_));
  palette.setColor(QPalette::WindowText, ToQColor(fontColor_));
  palette.setColor(QPalette::Text, ToQColor(fontColor_));
  palette.setColor(QPalette::ButtonText, ToQColor(fontColor_));
  widget_->setPalette(palette);
  widget_->setFont(font_);
}

void TControl::SetCaption(const QString& caption) {
  caption_ = caption;
  Invalidate();
}

void TControl::Invalidate() {
  if (widget_) widget_->update();
}

void TControl::Repaint() {
  if (widget_) widget_->repaint();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  WindowProc(m);
  return m.Result;
}

TMessage TControl::TranslateEvent(QEvent* event, ControlHost*) { return MessageOfEvent(event); }

bool TControl::HandleQtEvent(QEvent* event, ControlHost* receiver) {
  if (event->type() == QEvent::ToolTip) {
    if (ApplicationServices* application = RegisteredApplication()) {
      application->ShowHintFor(this, static_cast<QHelpEvent*>(event)->globalPos());
    }
    return true;
  }
  TMessage m = TranslateEvent(event, receiver);
  if (m.Msg == WM_NULL) return receiver->BaseEvent(event);
  // A handler that takes the message without the default handling consumes it.
  bool qtResult = true;
  bool* outerResult = currentEventResult_;
  ControlHost* outerHost = currentHost_;
  currentEventResult_ = &qtResult;
  currentHost_ = receiver;
  WindowProc(m);
  currentEventResult_ = outerResult;
  currentHost_ = outerHost;
  return qtResult;
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      handleMouseMessage(message);
      break;
    case WM_SIZE:
    case WM_MOVE:
      if (widget_ && !settingBounds_ && widget_->isWindow()) {
        bounds_ = widget_->geometry();
        BoundsChanged();
      }
      break;
    default:
      break;
  }
  DefaultHandler(message);
}

void TControl::handleMouseMessage(const TMessage& message) {
  const QPoint pos = LParamToPoint(message.LParam);
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      leftPressed_ = true;
      MouseDown(TMouseButton::mbLeft, pos);
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, pos);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, pos);
      break;
    case WM_LBUTTONUP: {
      const bool wasPressed = leftPressed_;
      leftPressed_ = false;
      MouseUp(TMouseButton::mbLeft, pos);
      if (wasPressed && ClientRect().contains(pos) && OwnerDrawn()) Click();
      break;
    }
    default:
      break;
  }
}

void TControl::DefaultHandler(TMessage& message) {
  ControlHost* host = currentHost_ ? currentHost_ : host_;
  if (message.Event && host) {
    QEvent* event = message.Event;
    message.Event = nullptr;  // Qt handles an event once, however the chain is built
    const bool result = host->BaseEvent(event);
    if (currentEventResult_) *currentEventResult_ = result;
  }
}

void TControl::PaintWidget(QPaintEvent* event, ControlHost* receiver) {
  if (!OwnerDrawn()) {
    receiver->BasePaint(event);
    return;
  }
  QPainter painter(receiver->HostedWidget());
  painter.setFont(font_);
  Paint(painter);
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget, ControlHost* host) : TControl(AOwner, widget, host) {}

TWinControl::~TWinControl() {
  BeginDestruction();
  for (TControl* child : std::vector<TControl*>(controls_)) child->SetParent(nullptr);
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  AlignControls();
}

QRect TWinControl::ClientRect() const {
  const int border = NonClientBorder();
  return QRect(border, border, std::max(0, Width() - 2 * border), std::max(0, Height() - 2 * border));
}

int TWinControl::NonClientBorder() const {
  if (style_ & WS_DLGFRAME) return GetSystemMetrics(SM_CXDLGFRAME);
  if (style_ & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

void TWinControl::FrameChanged() {
  HandleNeeded();
  ApplyFrame(NonClientBorder());
  for (TControl* child : controls_) child->SetBounds(child->Left(), child->Top(), child->Width(), child->Height());
  AlignControls();
  Invalidate();
}

void TWinControl::ApplyFrame(int) {}

void TWinControl::BoundsChanged() { AlignControls(); }

void TWinControl::AlignControls() {
  if (aligning_ || Destroying()) return;
  aligning_ = true;
  std::vector<AlignItem> items;
  items.reserve(controls_.size());
  for (TControl* child : controls_) items.push_back({child->Align(), child->BoundsRect(), child->Visible()});
  QRect client(QPoint(0, 0), ClientRect().size());
  client = client.marginsRemoved(ContentMargins());
  const std::vector<QRect> placed = ArrangeAligned(client, items);
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i]->Align() != TAlign::alNone && placed[i] != controls_[i]->BoundsRect()) {
      const QRect& r = placed[i];
      controls_[i]->SetBounds(r.left(), r.top(), r.width(), r.height());
    }
  }
  aligning_ = false;
}


void TWinControl::PaintWidget(QPaintEvent* event, ControlHost* receiver) {
  TControl::PaintWidget(event, receiver);
  const int border = NonClientBorder();
  if (border <= 0 || !PaintsDialogFrame()) return;
  QPainter painter(receiver->HostedWidget());
  const QRect outer(0, 0, Width(), Height());
  qDrawWinPanel(&painter, outer, widget_->palette(), false);
  painter.setPen(ToQColor(clBtnFace));
  for (int i = 2; i < border; ++i) painter.drawRect(outer.adjusted(i, i, -i - 1, -i - 1));
}

// ---- TCustomControl / TGraphicControl ----

TCustomControl::TCustomControl(TComponent* AOwner) : TCustomControl(AOwner, MakeHost<QWidget>(this)) {}

TCustomControl::TCustomControl(TComponent* AOwner, HostWidget<QWidget>* widget) : TWinControl(AOwner, widget, widget) {}

void TCustomControl::Paint(QPainter& painter) { painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color())); }

TGraphicControl::TGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner, MakeHost<QWidget>(this)) {}

TGraphicControl::TGraphicControl(TComponent* AOwner, HostWidget<QWidget>* widget) : TControl(AOwner, widget, widget) {}
