#pragma once
// Controls and windowed controls over Qt widgets. Every control shows itself through
// one Qt widget; its Qt events become message records that pass through the control's
// window procedure (replaceable and chainable) before Qt's own handling.

#include "framework/align.h"
#include "framework/component.h"
#include "framework/messages.h"
#include "framework/system_colors.h"

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;
class TWinControl;
class TControl;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The bridge from a Qt widget back to its control.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual bool BaseEvent(QEvent* event) = 0;
  virtual void BasePaint(QPaintEvent* event) = 0;
  virtual void Detach() = 0;
  virtual QWidget* HostedWidget() = 0;
};

class TControl : public TComponent {
 public:
  ~TControl() override;
  QString ClassName() const override { return QStringLiteral("TControl"); }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return bounds_.left(); }
  int Top() const { return bounds_.top(); }
  int Width() const { return bounds_.width(); }
  int Height() const { return bounds_.height(); }
  QRect BoundsRect() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  virtual QRect ClientRect() const { return QRect(0, 0, Width(), Height()); }
  int ClientWidth() const { return ClientRect().width(); }
  int ClientHeight() const { return ClientRect().height(); }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // Hint text "short|long"; the pop-up shows the short part.
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& hint);
  bool ShowHint() const;
  void SetShowHint(bool show);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const QFont& Font() const { return font_; }
  void SetFont(const QFont& font);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);

  virtual QString Caption() const { return caption_; }
  virtual void SetCaption(const QString& caption);

  TNotifyEvent OnClick;

  // The Qt widget that shows this control.
  QWidget* Widget() const { return widget_; }
  static TControl* FromWidget(const QWidget* widget);

  // The window procedure: replace it to watch or change messages; call the previous
  // one to chain. WndProc is the control's own handling.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& message);
  // Sends a message through the window procedure and returns its result.
  intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);

  void Invalidate();
  void Repaint();
  virtual void Click();

  // Called by the widget: turns a Qt event into a message and runs it through the
  // window procedure. Returns what Qt's event() should return.
  bool HandleQtEvent(QEvent* event, ControlHost* receiver);
  // Called by the widget's paint event.
  virtual void PaintWidget(QPaintEvent* event, ControlHost* receiver);

 protected:
  TControl(TComponent* AOwner, QWidget* widget, ControlHost* host);
  // Hands the message back to Qt (for messages made from Qt events).
  virtual void DefaultHandler(TMessage& message);
  virtual void MouseDown(TMouseButton, const QPoint&) {}
  virtual void MouseUp(TMouseButton, const QPoint&) {}
  virtual void BoundsChanged() {}
  virtual void Paint(QPainter&) {}
  // Whether Paint() draws the control (true) or Qt's widget draws itself.
  virtual bool OwnerDrawn() const { return false; }
  void ApplyPalette();
  void RequestParentRealign();
  // The message a Qt event becomes (WM_NULL: straight to Qt). Forms tell client and
  // non-client events apart by the receiving widget.
  virtual TMessage TranslateEvent(QEvent* event, ControlHost* receiver);

  QPointer<QWidget> widget_;

 private:
  void handleMouseMessage(const TMessage& message);

  ControlHost* host_;
  TWinControl* parent_ = nullptr;
  QRect bounds_;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  QString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TColor color_ = clBtnFace;
  QFont font_;
  TColor fontColor_ = clWindowText;
  QString caption_;
  bool leftPressed_ = false;
  bool settingBounds_ = false;
  bool* currentEventResult_ = nullptr;
  ControlHost* currentHost_ = nullptr;
};

class TWinControl : public TControl {
 public:
  ~TWinControl() override;
  QString ClassName() const override { return QStringLiteral("TWinControl"); }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  QRect ClientRect() const override;

  // Window style bits, as GetWindowLong/SetWindowLong with GWL_STYLE see them.
  uint32_t Style() const { return style_; }
  void SetStyle(uint32_t style) { style_ = style; }
  // SWP_FRAMECHANGED: recompute the frame from the style bits.
  void FrameChanged();
  // Width of the non-client border that the style bits give, in pixels.
  int NonClientBorder() const;
  bool HandleAllocated() const { return handleAllocated_; }
  void HandleNeeded() { handleAllocated_ = true; }

  void AlignControls();
  // The widget that children are placed in (the client area).
  virtual QWidget* ClientWidget() const { return widget_; }

  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

 protected:
  TWinControl(TComponent* AOwner, QWidget* widget, ControlHost* host);
  void BoundsChanged() override;
  // Paints the dialog frame into the margin the style gives; kinds whose Qt widget
  // draws its own frame override ApplyFrame instead.
  void PaintWidget(QPaintEvent* event, ControlHost* receiver) override;
  virtual void ApplyFrame(int border);
  virtual bool PaintsDialogFrame() const { return true; }
  virtual QMargins ContentMargins() const { return QMargins(); }

 private:
  std::vector<TControl*> controls_;
  uint32_t style_ = 0;
  bool handleAllocated_ = false;
  bool aligning_ = false;
};

// A Qt widget of any kind whose events go to its control first.
template <class Base>
class HostWidget : public Base, public ControlHost {
 public:
  explicit HostWidget(TControl* control) : Base(nullptr), control_(control) {}
  bool BaseEvent(QEvent* event) override { return Base::event(event); }
  void BasePaint(QPaintEvent* event) override { Base::paintEvent(event); }
  void Detach() override { control_ = nullptr; }
  QWidget* HostedWidget() override { return this; }

 protected:
  bool event(QEvent* event) override {
    return control_ ? control_->HandleQtEvent(event, this) : Base::event(event);
  }
  void paintEvent(QPaintEvent* event) override {
    if (control_) {
      control_->PaintWidget(event, this);
    } else {
      Base::paintEvent(event);
    }
  }

 private:
  TControl* control_;
};

// Makes the widget and its bridge for a control in one step.
template <class Base>
inline HostWidget<Base>* MakeHost(TControl* control) {
  return new HostWidget<Base>(control);
}

// A windowed control that paints itself (panels, custom controls).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomControl"); }

 protected:
  TCustomControl(TComponent* AOwner, HostWidget<QWidget>* widget);
  bool OwnerDrawn() const override { return true; }
  void Paint(QPainter& painter) override;
};

// A control without children that paints itself (labels, image controls).
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TGraphicControl"); }

 protected:
  TGraphicControl(TComponent* AOwner, HostWidget<QWidget>* widget);
  bool OwnerDrawn() const override { return true; }
};
