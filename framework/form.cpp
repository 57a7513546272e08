#include "framework/form.h"

#include "framework/application_services.h"
#include "framework/menus.h"
#include "framework/desktop_window.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <qdrawutil.h>

FrameLayout ComputeFrameLayout(QSize clientSize, int border, int captionHeight, int menuHeight) {
  FrameLayout f;
  const int width = clientSize.width() + 2 * border;
  const int height = clientSize.height() + 2 * border + captionHeight + menuHeight;
  f.window = QRect(0, 0, width, height);
  f.caption = QRect(border, border, clientSize.width(), captionHeight);
  const int buttonHeight = std::max(0, captionHeight - 4);
  // Three buttons with their gaps fit in three caption-button widths (SM_CXSIZE), the
  // space a caption painter leaves free for them.
  const int buttonWidth = buttonHeight + 1;
  const int buttonTop = border + 2;
  const int right = border + clientSize.width() - 2;
  f.closeButton = QRect(right - buttonWidth, buttonTop, buttonWidth, buttonHeight);
  f.maxButton = QRect(f.closeButton.left() - 2 - buttonWidth, buttonTop, buttonWidth, buttonHeight);
  f.minButton = QRect(f.maxButton.left() - buttonWidth, buttonTop, buttonWidth, buttonHeight);
  const int iconSize = std::min(16, captionHeight);
  f.icon = QRect(border + 2, border + (captionHeight - iconSize) / 2, iconSize, iconSize);
  f.menu = QRect(border, border + captionHeight, clientSize.width(), menuHeight);
  f.client = QRect(border, border + captionHeight + menuHeight, clientSize.width(), clientSize.height());
  return f;
}

int FrameHitTest(const FrameLayout& f, int border, const QPoint& p, bool sizeable) {
  if (!f.window.contains(p)) return HTNOWHERE;
  if (f.closeButton.contains(p)) return HTCLOSE;
  if (sizeable && f.maxButton.contains(p)) return HTMAXBUTTON;
  if (sizeable && f.minButton.contains(p)) return HTMINBUTTON;
  if (f.icon.contains(p)) return HTSYSMENU;
  if (f.caption.contains(p)) return HTCAPTION;
  if (f.menu.contains(p)) return HTMENU;
  if (f.client.contains(p)) return HTCLIENT;
  if (!sizeable) return HTCAPTION;
  const int corner = border + 12;
  const bool left = p.x() < border, right = p.x() >= f.window.width() - border;
  const bool top = p.y() < border, bottom = p.y() >= f.window.height() - border;
  const bool nearLeft = p.x() < corner, nearRight = p.x() >= f.window.width() - corner;
  const bool nearTop = p.y() < corner, nearBottom = p.y() >= f.window.height() - corner;
  if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
  if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
  if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
  if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (top) return HTTOP;
  return HTBOTTOM;
}

QRect DraggedGeometry(const QRect& geometry, Qt::Edges edges, QPoint offset) {
  if (!edges) return geometry.translated(offset);
  QRect dragged = geometry;
  if (edges & Qt::LeftEdge) dragged.setLeft(dragged.left() + offset.x());
  if (edges & Qt::RightEdge) dragged.setRight(dragged.right() + offset.x());
  if (edges & Qt::TopEdge) dragged.setTop(dragged.top() + offset.y());
  if (edges & Qt::BottomEdge) dragged.setBottom(dragged.bottom() + offset.y());
  return dragged;
}

namespace {

bool IsCaptionButton(int hit) { return hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTCLOSE; }

Qt::Edges EdgesFor(int hit) {
  switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

enum class CaptionGlyph { Minimize, Maximize, Restore, Close };

// A small window outline with the thick title line of a window.
void DrawWindowOutline(QPainter& painter, const QRect& r, const QBrush& fill) {
  painter.fillRect(r, fill);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  painter.drawLine(r.left(), r.top() + 1, r.right(), r.top() + 1);
}

// A pressed button looks sunk in, its glyph one pixel down and to the right.
void DrawCaptionButton(QPainter& painter, const QRect& r, CaptionGlyph glyph, const QPalette& palette, bool pressed) {
  qDrawWinButton(&painter, r, palette, pressed, &palette.brush(QPalette::Button));
  painter.save();
  painter.setPen(QPen(Qt::black, 2));
  const QRect g = r.adjusted(4, 3, -4, -3).translated(pressed ? QPoint(1, 1) : QPoint());
  switch (glyph) {
    case CaptionGlyph::Minimize: painter.drawLine(g.left(), g.bottom(), g.right() - 2, g.bottom()); break;
    case CaptionGlyph::Maximize: painter.drawRect(g.adjusted(0, 0, -1, -1)); break;
    case CaptionGlyph::Restore: {
      // Two overlapping windows: the one behind up and to the right.
      const QSize size(g.width() * 3 / 4, g.height() * 3 / 4);
      DrawWindowOutline(painter, QRect(QPoint(g.right() + 1 - size.width(), g.top()), size), palette.brush(QPalette::Button));
      DrawWindowOutline(painter, QRect(QPoint(g.left(), g.bottom() + 1 - size.height()), size), palette.brush(QPalette::Button));
      break;
    }
    case CaptionGlyph::Close:
      painter.drawLine(g.topLeft(), g.bottomRight());
      painter.drawLine(g.topRight(), g.bottomLeft());
      break;
  }
  painter.restore();
}

}  // namespace

// Gives the main menu the first look at every key of the form's window, so that menu
// shortcuts work whatever control has the focus (and for hidden items).
class TForm::ShortcutFilter : public QObject {
 public:
  explicit ShortcutFilter(TForm* form) : form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != form_->Widget()) return false;
    return form_->handleShortcut(static_cast<QKeyEvent*>(event));
  }

 private:
  TForm* form_;
};

TForm::TForm(TComponent* AOwner) : TForm(AOwner, MakeHost<QWidget>(this)) {}

TForm::TForm(TComponent* AOwner, HostWidget<QWidget>* frame)
    : TWinControl(AOwner, frame, frame), client_(MakeHost<QWidget>(this)), shortcutFilter_(new ShortcutFilter(this)) {
  widget_->setWindowFlag(Qt::Window);
  widget_->setFocusPolicy(Qt::StrongFocus);
  client_->setParent(widget_);
  client_->setFocusPolicy(Qt::NoFocus);
  client_->show();
  QApplication::setQuitOnLastWindowClosed(false);
  qApp->installEventFilter(shortcutFilter_);
  relayout();
}

TForm::~TForm() {
  // The destroy notification comes while the form's components are still there.
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (const std::exception& error) {
      // A destructor cannot pass it on: without an application it is dropped.
      if (ApplicationServices* application = RegisteredApplication()) application->HandleException(error);
    }
  }
  BeginDestruction();
  client_->Detach();
  qApp->removeEventFilter(shortcutFilter_);
  delete shortcutFilter_;
  if (ApplicationServices* application = RegisteredApplication()) application->FormDestroyed(this);
}

void TForm::Created() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (const std::exception& error) {
    // Without an application nobody reports it: it goes on to the caller.
    ApplicationServices* application = RegisteredApplication();
    if (!application) throw;
    application->HandleException(error);
  }
}

void TForm::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  widget_->setWindowTitle(caption);
  widget_->update();
}

void TForm::SetClientSize(int width, int height) {
  clientSize_ = QSize(std::max(0, width), std::max(0, height));
  relayout();
}

QRect TForm::ClientRect() const { return QRect(QPoint(0, 0), clientSize_); }

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  const bool fixed = !sizeable();
  widget_->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, fixed);
  widget_->setWindowFlag(Qt::WindowMinMaxButtonsHint, !fixed);
  relayout();
}

bool TForm::sizeable() const {
  return borderStyle_ == TFormBorderStyle::bsSizeable || borderStyle_ == TFormBorderStyle::bsSizeToolWin;
}

void TForm::SetStayOnTop(bool onTop) {
  const bool visible = widget_->isVisible();
  widget_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (visible) showAboveOwner();
}

void TForm::SetOwnerWindow(TForm* owner) { ownerWindow_ = owner ? owner->Widget() : nullptr; }

void TForm::showAboveOwner() {
  widget_->show();
  if (ownerWindow_) KeepAboveOwner(widget_, ownerWindow_);
}

void TForm::SetMenu(TMainMenu* menu) {
  menu_ = menu;
  if (!menuBar_) {
    menuBar_ = new QMenuBar(widget_);
    menuBar_->setNativeMenuBar(false);
  }
  menu_->BuildMenuBar(menuBar_);
  menuBar_->show();
  relayout();
}

void TForm::SetOwnFrame(bool own) {
  ownFrame_ = own;
  widget_->setWindowFlag(Qt::FramelessWindowHint, own);
  relayout();
}

int TForm::frameBorder() const { return ownFrame_ ? GetSystemMetrics(sizeable() ? SM_CXFRAME : SM_CXDLGFRAME) : 0; }

QRect TForm::WindowRect() const { return QRect(widget_->geometry().topLeft() + frameOrigin_, frame_.window.size()); }

int TForm::PressedCaptionButton() const {
  return IsCaptionButton(pressedButton_) && pointerOnPressed_ ? pressedButton_ : 0;
}

void TForm::relayout() {
  const int border = frameBorder();
  const int caption = ownFrame_ ? GetSystemMetrics(SM_CYCAPTION) : 0;
  const int menu = menuBar_ ? menuBar_->sizeHint().height() : 0;
  const int outside = ownFrame_ && widget_->isMaximized() ? border : 0;
  frameOrigin_ = QPoint(-outside, -outside);
  frame_ = ComputeFrameLayout(clientSize_, border, caption, menu);
  client_->setGeometry(frame_.client.translated(frameOrigin_));
  if (menuBar_) menuBar_->setGeometry(frame_.menu.translated(frameOrigin_));
  const QSize windowSize = frame_.window.adjusted(outside, outside, -outside, -outside).size();
  if (widget_->size() != windowSize) widget_->resize(windowSize);
  if (!sizeable()) widget_->setFixedSize(windowSize);
  SetBounds(Left(), Top(), windowSize.width(), windowSize.height());
  AlignControls();
}

// The window manager has sized or maximised the window: the client takes what the
// frame leaves of it, and a maximised window's border goes beyond the screen's edges.
void TForm::adoptWindowSize() {
  const int outside = ownFrame_ && widget_->isMaximized() ? frameBorder() : 0;
  const QSize chrome = frame_.window.size() - frame_.client.size();
  const QSize client = widget_->size() + QSize(2 * outside, 2 * outside) - chrome;
  const bool originMoved = frameOrigin_ != QPoint(-outside, -outside);
  if ((client != clientSize_ && client.isValid()) || originMoved) {
    if (client.isValid()) clientSize_ = client;
    relayout();
  }
}

void TForm::BoundsChanged() {
  adoptWindowSize();
  AlignControls();
}

void TForm::SetVisible(bool visible) {
  if (visible && !widget_->isVisible()) {
    if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter) {
      const QScreen* screen = QGuiApplication::primaryScreen();
      if (screen) {
        const QRect area = screen->availableGeometry();
        widget_->move(area.center() - QPoint(widget_->width() / 2, widget_->height() / 2));
      }
    } else {
      widget_->move(Left(), Top());
    }
  }
  TControl::SetVisible(visible);
  if (visible) {
    showAboveOwner();
    widget_->raise();
  } else {
    widget_->hide();
  }
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  ApplicationServices* application = RegisteredApplication();
  const bool isMain = application && application->MainForm() == this;
  if (closing_ || (isMain && application->Terminated())) return;
  closing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{closing_};
  if (!CloseQuery()) return;
  TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (isMain) {
    application->Terminate();
    widget_->hide();
    return;
  }
  if (action == TCloseAction::caMinimize) {
    widget_->showMinimized();
  } else {
    Hide();
  }
}

bool TForm::handleShortcut(QKeyEvent* event) {
  if (!menu_ || event->key() == Qt::Key_unknown) return false;
  switch (event->key()) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
      return false;
    default:
      break;
  }
  return menu_->IsShortCut(QKeySequence(event->keyCombination()));
}

int TForm::hitTest(const QPoint& widgetPoint) const {
  return FrameHitTest(frame_, frameBorder(), widgetPoint - frameOrigin_, sizeable());
}

TMessage TForm::TranslateEvent(QEvent* event, ControlHost* receiver) {
  if (receiver == static_cast<ControlHost*>(client_)) return TControl::TranslateEvent(event, receiver);
  TMessage m;
  m.Event = event;
  switch (event->type()) {
    case QEvent::WindowStateChange:
      m.Msg = WM_SIZE;  // maximised or restored: the frame's layout changes
      return m;
    case QEvent::Paint:
      m.Msg = WM_NULL;  // the frame's paint event sends WM_NCPAINT itself
      return m;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      m.Msg = WM_NCACTIVATE;
      m.WParam = event->type() == QEvent::WindowActivate ? 1 : 0;
      return m;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      if (!ownFrame_) break;
      auto* me = static_cast<QMouseEvent*>(event);
      const bool right = me->button() == Qt::RightButton;
      if (event->type() == QEvent::MouseButtonPress) m.Msg = right ? WM_NCRBUTTONDOWN : WM_NCLBUTTONDOWN;
      else if (event->type() == QEvent::MouseButtonRelease) m.Msg = right ? WM_NCRBUTTONUP : WM_NCLBUTTONUP;
      else m.Msg = right ? WM_NCRBUTTONDOWN : WM_NCLBUTTONDBLCLK;
      m.WParam = hitTest(me->position().toPoint());
      m.LParam = PointToLParam(me->globalPosition().toPoint());
      return m;
    }
    case QEvent::MouseMove:
      if (ownFrame_) {
        m.Msg = WM_NCMOUSEMOVE;
        auto* me = static_cast<QMouseEvent*>(event);
        m.WParam = hitTest(me->position().toPoint());
        m.LParam = PointToLParam(me->globalPosition().toPoint());
        return m;
      }
      break;
    default:
      break;
  }
  return TControl::TranslateEvent(event, receiver);
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT:
      if (ownFrame_ && windowPainter_) {
        // WParam is the update region in screen coordinates (1: the whole window).
        windowPainter_->save();
        if (message.WParam != 1 && message.WParam != 0) {
          const auto* region = reinterpret_cast<const QRegion*>(message.WParam);
          windowPainter_->setClipRegion(region->translated(-WindowRect().topLeft()), Qt::IntersectClip);
        }
        PaintNonClient(*windowPainter_);
        windowPainter_->restore();
      }
      return;
    case WM_NCACTIVATE:
      active_ = message.WParam != 0;
      widget_->update();
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
      handleNonClientMouse(message);
      message.Event = nullptr;
      return;
    case WM_NCMOUSEMOVE:
      if (message.Event) {
        const Qt::Edges edges = EdgesFor(static_cast<int>(message.WParam));
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (edges == Qt::LeftEdge || edges == Qt::RightEdge) shape = Qt::SizeHorCursor;
        else if (edges == Qt::TopEdge || edges == Qt::BottomEdge) shape = Qt::SizeVerCursor;
        else if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) shape = Qt::SizeFDiagCursor;
        else if (edges) shape = Qt::SizeBDiagCursor;
        widget_->setCursor(shape);
        handleNonClientMove(message);
      }
      break;
    case WM_CLOSE:
      if (message.Event) {
        message.Event->ignore();
        message.Event = nullptr;
      }
      Close();
      return;
    case WM_SHOWWINDOW:
      if (message.WParam && OnShow) {
        TWinControl::WndProc(message);
        OnShow(this);
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

void TForm::handleNonClientMouse(const TMessage& message) {
  const int hit = static_cast<int>(message.WParam);
  if (message.Msg == WM_NCLBUTTONDBLCLK) {
    if (hit == HTCAPTION) {
      if (sizeable()) widget_->isMaximized() ? widget_->showNormal() : widget_->showMaximized();
      return;
    }
    // Qt reports the second press of a double click only as the double click, also when
    // the first press went nowhere (the window was blocked by a modal one): on a caption
    // button it is that button's press.
    pressedButton_ = hit;
    pointerOnPressed_ = true;
    if (IsCaptionButton(hit)) widget_->update();
    return;
  }
  if (message.Msg == WM_NCLBUTTONDOWN) {
    windowManagerDrag_ = false;
    // Only a drag moves or resizes the window (see handleNonClientMove): a press that
    // is handled after its release must stay a click.
    pressedButton_ = hit;
    pressGlobal_ = LParamToPoint(message.LParam);
    pointerOnPressed_ = true;
    if (IsCaptionButton(hit)) widget_->update();
    return;
  }
  if (windowManagerDrag_) {
    // The release reached the program, so the window manager never saw it.
    windowManagerDrag_ = false;
    CancelWindowManagerDrag(widget_);
    return;
  }
  const int pressed = pressedButton_;
  pressedButton_ = 0;
  if (IsCaptionButton(pressed)) widget_->update();
  if (pressed != hit) return;
  switch (hit) {
    case HTMINBUTTON: widget_->showMinimized(); break;
    case HTMAXBUTTON: widget_->isMaximized() ? widget_->showNormal() : widget_->showMaximized(); break;
    case HTCLOSE: Close(); break;
    default: break;
  }
}

// With the button held, a caption button shows whether the pointer is still on it, and
// the title bar or border hands the window to the window manager once the pointer has
// gone the drag distance.
void TForm::handleNonClientMove(const TMessage& message) {
  const auto* me = static_cast<const QMouseEvent*>(message.Event);
  if (!pressedButton_ || !(me->buttons() & Qt::LeftButton)) return;
  if (IsCaptionButton(pressedButton_)) {
    const bool on = hitTest(me->position().toPoint()) == pressedButton_;
    if (on != pointerOnPressed_) {
      pointerOnPressed_ = on;
      widget_->update();
    }
    return;
  }
  const bool draggable = pressedButton_ == HTCAPTION || (EdgesFor(pressedButton_) && sizeable());
  const QPoint travelled = LParamToPoint(message.LParam) - pressGlobal_;
  if (draggable && travelled.manhattanLength() >= QApplication::startDragDistance()) startWindowDrag(pressedButton_);
}

void TForm::startWindowDrag(int hit) {
  pressedButton_ = 0;
  QWindow* window = widget_->windowHandle();
  if (!window) return;
  const Qt::Edges edges = EdgesFor(hit);
  if (!widget_->isMaximized()) {
    // The window manager goes on from where the pointer is now, so the window first
    // catches up with the way the pointer has come since the press.
    widget_->setGeometry(DraggedGeometry(widget_->geometry(), edges, QCursor::pos() - pressGlobal_));
  }
  // A window manager told to move the window after the button came up would wait for a
  // release that never comes, with the window stuck to the pointer.
  if (!LeftButtonHeldNow()) return;
  windowManagerDrag_ = StartWindowManagerDrag(widget_, edges, QCursor::pos());
  if (windowManagerDrag_) return;
  if (edges) window->startSystemResize(edges);
  else window->startSystemMove();
}

void TForm::PaintWidget(QPaintEvent* event, ControlHost* receiver) {
  if (receiver == static_cast<ControlHost*>(client_)) {
    TWinControl::PaintWidget(event, receiver);
    return;
  }
  QPainter painter(widget_);
  painter.translate(frameOrigin_);
  QPainter* outerPainter = windowPainter_;
  windowPainter_ = &painter;
  const QRegion updateRegion = event->region().translated(widget_->geometry().topLeft());
  Perform(WM_NCPAINT, reinterpret_cast<intptr_t>(&updateRegion), 0);
  windowPainter_ = outerPainter;
}

void TForm::Paint(QPainter& painter) {
  painter.fillRect(QRect(QPoint(0, 0), clientSize_), ToQColor(Color()));
}

void TForm::PaintNonClient(QPainter& painter) {
  const QPalette palette = widget_->palette();
  QPalette buttons = palette;
  buttons.setColor(QPalette::Button, ToQColor(clBtnFace));
  painter.fillRect(frame_.window, ToQColor(clBtnFace));
  qDrawWinPanel(&painter, frame_.window, buttons, false);
  const TColor captionColor = active_ ? clActiveCaption : clInactiveCaption;
  painter.fillRect(frame_.caption, ToQColor(captionColor));
  const QIcon icon = widget_->windowIcon();
  if (!icon.isNull()) icon.paint(&painter, frame_.icon);
  QFont font = Font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(ToQColor(clSystemColor | (active_ ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)));
  const QRect textRect(frame_.icon.right() + 4, frame_.caption.top(), frame_.minButton.left() - frame_.icon.right() - 8,
                       frame_.caption.height());
  painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Caption());
  paintCaptionButtons(painter, buttons);
}

void TForm::paintCaptionButtons(QPainter& painter, const QPalette& buttons) {
  const int pressed = PressedCaptionButton();
  if (sizeable()) {
    DrawCaptionButton(painter, frame_.minButton, CaptionGlyph::Minimize, buttons, pressed == HTMINBUTTON);
    const CaptionGlyph middle = widget_->isMaximized() ? CaptionGlyph::Restore : CaptionGlyph::Maximize;
    DrawCaptionButton(painter, frame_.maxButton, middle, buttons, pressed == HTMAXBUTTON);
  }
  DrawCaptionButton(painter, frame_.closeButton, CaptionGlyph::Close, buttons, pressed == HTCLOSE);
}
