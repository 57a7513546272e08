#include "framework/keyboard_press.h"

#include "framework/control.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

// Space, Return and Enter press the focused control; gaining or losing the focus
// repaints it, since the focus frame is part of its look.
class PressKeys : public QObject {
 public:
  PressKeys(TControl* control, QObject* parent) : QObject(parent), control_(control) {}
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!press || (key->modifiers() & ~Qt::KeypadModifier)) return false;
        control_->Click();
        return true;
      }
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        control_->Invalidate();
        return false;
      default:
        return false;
    }
  }

 private:
  TControl* control_;
};

}  // namespace

void MakeKeyboardPressable(TControl* control) {
  QWidget* widget = control->Widget();
  widget->setFocusPolicy(Qt::TabFocus);
  widget->installEventFilter(new PressKeys(control, widget));
}

void PaintFocusFrame(const TControl* control, QPainter& painter, const QRect& rect) {
  if (!control->Widget() || !control->Widget()->hasFocus()) return;
  painter.save();
  painter.setPen(QPen(control->Widget()->palette().color(QPalette::WindowText), 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  painter.restore();
}
