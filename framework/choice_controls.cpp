#include "framework/choice_controls.h"

#include <QPainter>

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TRadioButton(AOwner, MakeHost<QRadioButton>(this)) {}

TRadioButton::TRadioButton(TComponent* AOwner, HostWidget<QRadioButton>* button)
    : TWinControl(AOwner, button, button), button_(button) {
  SetBounds(0, 0, 113, 17);
  QObject::connect(button_, &QRadioButton::clicked, [this](bool) { Click(); });
}

bool TRadioButton::Checked() const { return button_->isChecked(); }

void TRadioButton::SetChecked(bool checked) { button_->setChecked(checked); }

void TRadioButton::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  button_->setText(caption);
}

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(TComponent* AOwner) : TRadioGroup(AOwner, MakeHost<QGroupBox>(this)) {}

TRadioGroup::TRadioGroup(TComponent* AOwner, HostWidget<QGroupBox>* box) : TWinControl(AOwner, box, box), box_(box) {
  SetBounds(0, 0, 185, 105);
  // The frame takes no focus and no clicks from the controls that lie on it.
  box_->setFocusPolicy(Qt::NoFocus);
}

void TRadioGroup::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  box_->setTitle(caption);
}

// ---- TShape ----

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 65); }

void TShape::SetBrushColor(TColor color) {
  brushColor_ = color;
  Invalidate();
}

void TShape::Paint(QPainter& painter) {
  // A 1-pixel black outline inside the bounds, the brush inside the outline.
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(ToQColor(brushColor_));
  painter.drawRect(QRect(0, 0, Width() - 1, Height() - 1));
}
