#include "chrome/gradient_caption.h"

#include "framework/window_hook.h"
#include "platform/mul_div.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kEllipsis = QStringLiteral("...");

// Our desktop has no system-wide gradient-caption switch: captions end in the plain
// caption colours.
constexpr bool kSystemGradientCaptions = false;

uint32_t Channel(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

QColor ColorOfBgr(uint32_t bgr) { return QColor(Channel(bgr, 0), Channel(bgr, 8), Channel(bgr, 16)); }

TColor EndColor(bool active) {
  const int index = kSystemGradientCaptions ? (active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)
                                            : (active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  return clSystemColor | index;
}

bool IsToolWindow(TFormBorderStyle border) {
  return border == TFormBorderStyle::bsToolWindow || border == TFormBorderStyle::bsSizeToolWin;
}

QIcon SmallIcon(const QWidget* widget) {
  const QIcon own = widget->windowIcon();  // the form's icon, else the application's
  if (!own.isNull()) return own;
  return QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton);
}

}  // namespace

std::vector<GradientBand> GradientBands(uint32_t start, uint32_t end, int steps, int left, int width) {
  std::vector<GradientBand> bands;
  if (width <= 0) return bands;
  if (steps < 2) {
    bands.push_back({left, left + width, start});
    return bands;
  }
  const int count = std::max(2, std::min(steps, width));
  const int bandWidth = width / count;
  if (bandWidth > 0) {
    for (int i = 0; i < count; ++i) {
      uint32_t color = 0;
      for (int shift : {0, 8, 16}) {
        const int s = static_cast<int>(Channel(start, shift));
        const int d = static_cast<int>(Channel(end, shift)) - s;
        color |= static_cast<uint32_t>(s + MulDiv(i, d, count - 1)) << shift;
      }
      bands.push_back({left + i * bandWidth, left + (i + 1) * bandWidth, color});
    }
  }
  const int rest = width % count;
  if (rest > 0 || bandWidth == 0) bands.push_back({left + count * bandWidth, left + width, end});
  return bands;
}

int CaptionButtonCount(const CaptionButtons& buttons, TFormBorderStyle border) {
  if (!buttons.systemMenu) return 0;
  if (IsToolWindow(border)) return 1;
  if (border == TFormBorderStyle::bsDialog) return buttons.help ? 2 : 1;
  const bool minMax = buttons.minimize || buttons.maximize;
  return 1 + (minMax ? 2 : 0) + (!minMax && buttons.help ? 1 : 0);
}

QRect CaptionRectangle(const QRect& windowRect, TFormBorderStyle border, int buttonCount) {
  const int frame = GetSystemMetrics(IsSizeableBorder(border) ? SM_CXFRAME : SM_CXDLGFRAME);
  // Tool windows have small captions; this desktop draws them at the normal height.
  const int captionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
  const int buttonWidth = GetSystemMetrics(SM_CXSIZE);
  const QRect inner = windowRect.adjusted(frame, frame, -frame, -frame);
  return QRect(inner.left(), inner.top(), std::max(0, inner.width() - buttonCount * buttonWidth), captionHeight);
}

QString ShortenCaptionText(const QString& text, int width, const std::function<int(const QString&)>& measure) {
  if (measure(text) <= width) return text;
  QString attempt = text;
  for (qsizetype i = 1; i <= text.size(); ++i) {
    attempt = text.left(std::max<qsizetype>(0, text.size() - i - 1)) + kEllipsis;
    if (measure(attempt) <= width) break;
  }
  return attempt;
}

// ---- TRxGradientCaption ----

TRxGradientCaption::TRxGradientCaption(TComponent* AOwner)
    : TComponent(AOwner),
      fontColor_(clSystemColor | COLOR_CAPTIONTEXT),
      fontInactiveColor_(clSystemColor | COLOR_INACTIVECAPTIONTEXT),
      hook_(new TRxWindowHook(this)) {
  applyDefaultFont();
  hook_->SetActive(false);
  hook_->BeforeMessage = [this](TRxWindowHook*, TMessage& message, bool& handled) { beforeMessage(message, handled); };
  hook_->AfterMessage = [this](TRxWindowHook*, TMessage& message, bool&) { afterMessage(message); };
  if (TForm* owner = form()) {
    hook_->SetWinControl(owner);
    FreeNotification(owner);
  }
  Update();
}

// The owned hook registration goes with the component and removes itself.
TRxGradientCaption::~TRxGradientCaption() { BeginDestruction(); }

TForm* TRxGradientCaption::form() const { return dynamic_cast<TForm*>(Owner()); }

void TRxGradientCaption::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}

void TRxGradientCaption::applyDefaultFont() {
  // The window manager draws the other title bars, so the desktop tells of no caption font:
  // the caption takes the one its window was designed with.
  font_ = QFont(QStringLiteral("MS Sans Serif"));
  font_.setPixelSize(11);
  font_.setBold(true);
  fontColor_ = clSystemColor | COLOR_CAPTIONTEXT;
}

void TRxGradientCaption::SetActive(bool active) {
  if (active_ == active) return;
  active_ = active;
  Update();
}

void TRxGradientCaption::SetFormCaption(const QString& caption) {
  if (caption == formCaption_) return;
  formCaption_ = caption;
  if (active_) Update();
}

void TRxGradientCaption::SetStartColor(TColor color) {
  if (color == startColor_) return;
  startColor_ = color;
  repaintIf(windowActive_ ? gradientActive_ : gradientInactive_);
}

void TRxGradientCaption::SetGradientInactive(bool value) {
  if (value == gradientInactive_) return;
  gradientInactive_ = value;
  repaintIf(!windowActive_);
}

void TRxGradientCaption::SetFont(const QFont& font, TColor color) {
  font_ = font;
  fontColor_ = color;
  defaultFont_ = false;
  repaintIf(true);
}

void TRxGradientCaption::SetDefaultFont(bool value) {
  if (value == defaultFont_) return;
  defaultFont_ = value;
  if (defaultFont_) applyDefaultFont();
  repaintIf(true);
}

void TRxGradientCaption::repaintIf(bool visibleNow) {
  if (visibleNow && active_) Update();
}

void TRxGradientCaption::Update() {
  TForm* owner = form();
  if (!owner) return;
  hook_->SetActive(active_);
  QWidget* widget = owner->Widget();
  if (!widget || !widget->isVisible()) return;
  windowActive_ = QApplication::activeWindow() == widget;
  // The non-client paint runs now, not later: a caption set during a long operation
  // shows before the setter returns.
  QRegion frame(QRect(QPoint(0, 0), widget->size()));
  frame -= owner->Frame().client.translated(owner->FrameOrigin());
  widget->repaint(frame);
}

bool TRxGradientCaption::painting() const {
  const TForm* owner = form();
  return owner && owner->OwnFrame() && owner->BorderStyle() != TFormBorderStyle::bsNone;
}

QRect TRxGradientCaption::captionRect() const {
  const TForm* owner = form();
  const QRect window = owner->WindowRect();
  CaptionButtons buttons;
  buttons.minimize = buttons.maximize = IsSizeableBorder(owner->BorderStyle());
  return CaptionRectangle(window, owner->BorderStyle(), CaptionButtonCount(buttons, owner->BorderStyle()));
}

void TRxGradientCaption::beforeMessage(TMessage& message, bool&) {
  if (!painting()) return;
  switch (message.Msg) {
    case WM_NCPAINT: {
      rememberedRegion_ = message.WParam;
      regionReplaced_ = false;
      if (message.WParam == 0 || message.WParam == 1) return;
      const QRegion* region = reinterpret_cast<const QRegion*>(message.WParam);
      const QRect caption = captionRect();
      if (!region->intersects(caption)) return;
      replacementRegion_ = *region - caption;
      message.WParam = reinterpret_cast<intptr_t>(&replacementRegion_);
      regionReplaced_ = true;
      break;
    }
    case WM_NCACTIVATE:
      windowActive_ = message.WParam != 0;
      break;
    default:
      break;
  }
}

void TRxGradientCaption::afterMessage(TMessage& message) {
  if (!painting()) return;
  switch (message.Msg) {
    case WM_NCPAINT:
      if (regionReplaced_) {
        message.WParam = rememberedRegion_;
        replacementRegion_ = QRegion();
        regionReplaced_ = false;
      }
      paintCaption();
      break;
    case WM_NCACTIVATE:
      paintCaption();
      break;
    default:
      break;
  }
}

void TRxGradientCaption::paintCaption() {
  TForm* owner = form();
  if (QPainter* painter = owner->WindowPainter()) {
    drawCaption(*painter);
    return;
  }
  // Outside a frame paint there is no painter: paint the caption area now.
  QWidget* widget = owner->Widget();
  if (widget->isVisible()) widget->repaint(captionRect().translated(-widget->geometry().topLeft()));
}

void TRxGradientCaption::drawCaption(QPainter& windowPainter) {
  const QWidget* widget = form()->Widget();
  const QRect caption = captionRect().translated(-form()->WindowRect().topLeft());
  const int w = caption.width();
  const int h = caption.height();
  if (w <= 0 || h <= 0) return;
  QPixmap bitmap(w, h);
  QPainter painter(&bitmap);
  const uint32_t end = ColorToRGB(EndColor(windowActive_));
  if (windowActive_ ? gradientActive_ : gradientInactive_) {
    // The first quarter of the gradient lies left of what is shown.
    const int left = -(w / 4);
    for (const GradientBand& band : GradientBands(ColorToRGB(startColor_), end, gradientSteps_, left, w - left)) {
      painter.fillRect(QRect(band.left, 0, band.right - band.left, h), ColorOfBgr(band.color));
    }
  } else {
    painter.fillRect(QRect(0, 0, w, h), ColorOfBgr(end));
  }
  int textLeft = 0;
  const TFormBorderStyle border = form()->BorderStyle();
  if (border == TFormBorderStyle::bsSingle || IsSizeableBorder(border)) {
    const int iconWidth = GetSystemMetrics(SM_CXSMICON);
    const int iconHeight = GetSystemMetrics(SM_CYSMICON);
    SmallIcon(widget).paint(&painter, QRect((h - iconWidth) / 2 + 1, (h - iconHeight) / 2, iconWidth, iconHeight));
    textLeft = h;
  }
  if (!formCaption_.isEmpty()) {
    textLeft += 2;
    painter.setFont(font_);
    painter.setPen(ToQColor(windowActive_ ? fontColor_ : fontInactiveColor_));
    const QFontMetrics metrics(font_);
    const QRect textRect(textLeft, 0, std::max(0, w - textLeft), h);
    const QString text = ShortenCaptionText(formCaption_, textRect.width(),
                                            [&metrics](const QString& s) { return metrics.horizontalAdvance(s); });
    const bool rightToLeft = widget->layoutDirection() == Qt::RightToLeft;
    painter.drawText(textRect, Qt::TextSingleLine | Qt::AlignVCenter | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft),
                     text);
  }
  painter.end();
  windowPainter.drawPixmap(caption.topLeft(), bitmap);
}

TRxGradientCaption* CreateGradientCaption(TForm* form, TColor startColor) {
  auto* caption = new TRxGradientCaption(form);
  caption->SetStartColor(startColor);
  caption->SetFormCaption(form->Caption());
  caption->Update();
  return caption;
}
