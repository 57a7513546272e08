#include "chrome/gradient_caption.h"

#include "framework/form.h"
#include "framework/system_colors.h"

#include <QPainter>

TRxGradientCaption::TRxGradientCaption(TComponent* AOwner)
    : TComponent(AOwner), form_(dynamic_cast<TForm*>(AOwner)) {
  hook();
}

TRxGradientCaption::~TRxGradientCaption() {
  *alive_ = false;
  BeginDestruction();
}

void TRxGradientCaption::hook() {
  if (!form_) return;
  // Chains into the form's window procedure: the caption is painted over the form's
  // own non-client painting.
  TWndMethod previous = form_->WindowProc;
  form_->WindowProc = [this, previous, alive = alive_](TMessage& message) {
    previous(message);
    if (!*alive || message.Msg != WM_NCPAINT) return;
    if (QPainter* painter = form_->WindowPainter()) paintCaption(*painter);
  };
}

void TRxGradientCaption::SetFormCaption(const QString& caption) {
  if (caption == formCaption_) return;
  formCaption_ = caption;
  repaintCaption();
}

void TRxGradientCaption::repaintCaption() const {
  if (!form_ || !form_->OwnFrame()) return;
  QWidget* window = form_->Widget();
  if (window && window->isVisible()) window->repaint(form_->Frame().caption);
}

void TRxGradientCaption::paintCaption(QPainter& painter) const {
  if (!form_->OwnFrame()) return;
  const FrameLayout& frame = form_->Frame();
  // The caption from the left frame edge up to the caption buttons.
  const QRect caption(frame.caption.left(), frame.caption.top(), frame.minButton.left() - frame.caption.left() - 2,
                      frame.caption.height());
  const bool active = form_->Active();
  painter.save();
  painter.fillRect(caption, platform::ToQColor(active ? clActiveCaption : clInactiveCaption));
  const QIcon icon = form_->Widget()->windowIcon();
  if (!icon.isNull()) icon.paint(&painter, frame.icon);
  QFont font = form_->Font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(platform::ToQColor(clSystemColor | (active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)));
  const QRect text(caption.left() + caption.height() + 2, caption.top(), caption.width() - caption.height() - 2,
                   caption.height());
  painter.setClipRect(caption);
  painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, formCaption_);
  painter.restore();
}
