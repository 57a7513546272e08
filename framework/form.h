#pragma once
// Forms: top-level windows with a client area, an optional main menu, and the close
// protocol (close query, OnClose with its close action). A form may draw its own frame
// (border, title bar with icon, text and buttons, menu bar): its non-client painting,
// activation and right-button messages then pass through its window procedure.

#include "framework/control.h"

#include <QMenuBar>
#include <QPointer>

#include <functional>

class QPainter;
class TMainMenu;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter };

// Sizeable frames: the normal and the tool-window one.
inline bool IsSizeableBorder(TFormBorderStyle style) {
  return style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin;
}

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// Geometry of a self-drawn frame, in window coordinates.
struct FrameLayout {
  QRect window;
  QRect caption;
  QRect icon;
  QRect minButton;
  QRect maxButton;
  QRect closeButton;
  QRect menu;
  QRect client;
};

// Lays out a self-drawn frame around a client area of the given size.
[[nodiscard]] FrameLayout ComputeFrameLayout(QSize clientSize, int border, int captionHeight, int menuHeight);
// The hit-test code of a point of the window.
[[nodiscard]] int FrameHitTest(const FrameLayout& layout, int border, const QPoint& point, bool sizeable);
// The window's geometry after the pointer pulled the given edges (none: the title bar,
// which moves the whole window) by the offset.
[[nodiscard]] QRect DraggedGeometry(const QRect& geometry, Qt::Edges edges, QPoint offset);

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  QString ClassName() const override { return QStringLiteral("TForm"); }

  // Runs OnCreate; errors go to the application error report (with no application,
  // on to the caller).
  void Created();

  void SetCaption(const QString& caption) override;
  void SetClientSize(int width, int height);
  QRect ClientRect() const override;
  QWidget* ClientWidget() const override { return client_; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  void SetStayOnTop(bool onTop);
  // The window belongs to the owner: kept above it and raised with it while shown.
  void SetOwnerWindow(TForm* owner);

  void SetMenu(TMainMenu* menu);

  // Draws the border, title bar and menu bar itself instead of the window manager.
  bool OwnFrame() const { return ownFrame_; }
  void SetOwnFrame(bool own);
  // The frame's rectangles are in frame coordinates, whose origin is the outer frame's
  // top-left corner. A maximised window's border lies just outside the screen, so its
  // widget starts at the client-side of the border: FrameOrigin() is where the outer
  // frame's corner lies in widget coordinates, WindowRect() the outer frame on the screen.
  const FrameLayout& Frame() const { return frame_; }
  QPoint FrameOrigin() const { return frameOrigin_; }
  QRect WindowRect() const;
  // The caption button the mouse button is held on while the pointer is over it.
  int PressedCaptionButton() const;
  // The painter of the whole window, valid while WM_NCPAINT is being handled.
  QPainter* WindowPainter() const { return windowPainter_; }
  bool Active() const { return active_; }

  void SetVisible(bool visible) override;
  void Close();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void WndProc(TMessage& message) override;
  TMessage TranslateEvent(QEvent* event, ControlHost* receiver) override;
  void PaintWidget(QPaintEvent* event, ControlHost* receiver) override;
  bool OwnerDrawn() const override { return true; }
  void Paint(QPainter& painter) override;
  // The default painter of the self-drawn frame.
  virtual void PaintNonClient(QPainter& painter);
  virtual bool CloseQuery();
  void BoundsChanged() override;

 private:
  class ShortcutFilter;
  TForm(TComponent* AOwner, HostWidget<QWidget>* frame);
  void relayout();
  void handleNonClientMouse(const TMessage& message);
  void handleNonClientMove(const TMessage& message);
  void startWindowDrag(int hit);
  void showAboveOwner();
  void adoptWindowSize();
  int frameBorder() const;
  int hitTest(const QPoint& widgetPoint) const;
  void paintCaptionButtons(QPainter& painter, const QPalette& buttons);
  bool handleShortcut(QKeyEvent* event);
  bool sizeable() const;

  HostWidget<QWidget>* client_;
  QPointer<QMenuBar> menuBar_;
  ShortcutFilter* shortcutFilter_;
  TMainMenu* menu_ = nullptr;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TPosition position_ = TPosition::poDesigned;
  bool keyPreview_ = false;
  bool ownFrame_ = false;
  bool closing_ = false;
  bool active_ = false;
  QPainter* windowPainter_ = nullptr;
  FrameLayout frame_;
  QSize clientSize_{300, 200};
  QPointer<QWidget> ownerWindow_;
  QPoint frameOrigin_;
  // Where the left button went down on the frame, and where on the screen: the window
  // moves or resizes only once the pointer has left that point with the button held.
  int pressedButton_ = 0;
  QPoint pressGlobal_;
  bool pointerOnPressed_ = false;
  // The window manager was asked to move or resize the window since the last press.
  bool windowManagerDrag_ = false;

  friend class ShortcutFilter;
};
