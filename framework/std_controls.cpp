#include "framework/std_controls.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {

void DrawBevel(QPainter& painter, QRect& rect, TPanelBevel bevel, int width) {
  if (bevel == TPanelBevel::bvNone) return;
  const QColor light = ToQColor(clSystemColor | COLOR_BTNHIGHLIGHT);
  const QColor shadow = ToQColor(clSystemColor | COLOR_BTNSHADOW);
  const QColor& topLeft = bevel == TPanelBevel::bvRaised ? light : shadow;
  const QColor& bottomRight = bevel == TPanelBevel::bvRaised ? shadow : light;
  for (int i = 0; i < width; ++i) {
    painter.setPen(topLeft);
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    rect.adjust(1, 1, -1, -1);
  }
}

int BevelSize(TPanelBevel bevel, int width) { return bevel == TPanelBevel::bvNone ? 0 : width; }

}  // namespace

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 185, 41); }

void TCustomPanel::SetBevelOuter(TPanelBevel bevel) {
  bevelOuter_ = bevel;
  AlignControls();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int width) {
  bevelWidth_ = width;
  AlignControls();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int width) {
  borderWidth_ = width;
  AlignControls();
  Invalidate();
}

QMargins TCustomPanel::ContentMargins() const {
  const int m = borderWidth_ + BevelSize(bevelOuter_, bevelWidth_) + BevelSize(bevelInner_, bevelWidth_);
  return QMargins(m, m, m, m);
}

void TCustomPanel::Paint(QPainter& painter) {
  const QRect client = ClientRect();
  painter.fillRect(client, ToQColor(Color()));
  QRect r = client;  // the bevel lines run on the outermost pixels, right and bottom included
  DrawBevel(painter, r, bevelOuter_, bevelWidth_);
  r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
  DrawBevel(painter, r, bevelInner_, bevelWidth_);
  if (!Caption().isEmpty()) {
    painter.setPen(ToQColor(FontColor()));
    painter.drawText(client, Qt::AlignCenter, TLabel::DisplayText(Caption()));
  }
}

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 13); }

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  adjustSize();
}

void TLabel::SetCaption(const QString& caption) {
  TGraphicControl::SetCaption(caption);
  adjustSize();
}

void TLabel::adjustSize() {
  if (!autoSize_ || wordWrap_) return;
  const QFontMetrics metrics(Font());
  SetBounds(Left(), Top(), metrics.horizontalAdvance(DisplayText(Caption())), metrics.height());
}

void TLabel::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  widget_->setAttribute(Qt::WA_TranslucentBackground, transparent);
  Invalidate();
}

QString TLabel::DisplayText(const QString& caption) {
  QString text;
  text.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        text += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    text += caption[i];
  }
  return text;
}

void TLabel::Paint(QPainter& painter) {
  const QRect client = ClientRect();
  if (!transparent_) painter.fillRect(client, ToQColor(Color()));
  painter.setFont(Font());
  painter.setPen(ToQColor(FontColor()));
  const int flags = Qt::AlignLeft | Qt::AlignTop | (wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine);
  painter.drawText(client, flags, DisplayText(Caption()));
}

// ---- TEdit ----

TEdit::TEdit(TComponent* AOwner) : TEdit(AOwner, MakeHost<QLineEdit>(this)) {}

TEdit::TEdit(TComponent* AOwner, HostWidget<QLineEdit>* edit) : TWinControl(AOwner, edit, edit), edit_(edit) {
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
  QObject::connect(edit_, &QLineEdit::textChanged, [this](const QString&) {
    if (OnChange) OnChange(this);
  });
}

QString TEdit::Text() const { return edit_->text(); }

void TEdit::SetText(const QString& text) { edit_->setText(text); }

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TCheckBox(AOwner, MakeHost<QCheckBox>(this)) {}

TCheckBox::TCheckBox(TComponent* AOwner, HostWidget<QCheckBox>* box) : TWinControl(AOwner, box, box), box_(box) {
  SetBounds(0, 0, 97, 17);
  QObject::connect(box_, &QCheckBox::clicked, [this](bool) { Click(); });
}

bool TCheckBox::Checked() const { return box_->isChecked(); }

void TCheckBox::SetChecked(bool checked) { box_->setChecked(checked); }

void TCheckBox::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  box_->setText(caption);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButton(AOwner, MakeHost<QPushButton>(this)) {}

TButton::TButton(TComponent* AOwner, HostWidget<QPushButton>* button) : TWinControl(AOwner, button, button), button_(button) {
  SetBounds(0, 0, 75, 25);
  QObject::connect(button_, &QPushButton::clicked, [this](bool) { Click(); });
}

void TButton::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  button_->setText(caption);
}

void TButton::SetDefault(bool isDefault) { button_->setDefault(isDefault); }
