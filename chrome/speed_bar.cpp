#include "chrome/speed_bar.h"

TSpeedItem::TSpeedItem(TComponent* AOwner) : TSpeedItem(AOwner, MakeHost<QToolButton>(this)) {}

TSpeedItem::TSpeedItem(TComponent* AOwner, HostWidget<QToolButton>* button)
    : TWinControl(AOwner, button, button), button_(button) {
  button_->setAutoRaise(true);
  button_->setIconSize(QSize(32, 32));
  SetBounds(0, 0, 40, 40);
  QObject::connect(button_, &QToolButton::clicked, [this](bool) { Click(); });
}

void TSpeedItem::SetGlyph(const QIcon& glyph) { button_->setIcon(glyph); }

TSpeedBar::TSpeedBar(TComponent* AOwner) : TCustomPanel(AOwner) { SetBounds(0, 0, 150, 81); }
