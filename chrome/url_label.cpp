#include "chrome/url_label.h"

#include "framework/accessible.h"
#include "framework/keyboard_press.h"

#include "actions/shell_opener.h"
#include "framework/menus.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPainter>

namespace {

constexpr TColor clBlue = 0xFF0000;  // colours are stored 0x00BBGGRR

Qt::Alignment ToQtAlignment(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight;
    case TAlignment::taCenter: return Qt::AlignHCenter;
    case TAlignment::taLeftJustify: break;
  }
  return Qt::AlignLeft;
}

}  // namespace

void TAlignedLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void TAlignedLabel::Paint(QPainter& painter) {
  const QRect client = ClientRect();
  if (!Transparent()) painter.fillRect(client, ToQColor(Color()));
  painter.setFont(Font());
  painter.setPen(ToQColor(FontColor()));
  const int flags = ToQtAlignment(alignment_) | Qt::AlignTop | (WordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
  painter.drawText(client, flags, DisplayText(Caption()));
  PaintFocusFrame(this, painter, client);
}

TUrlLabel::TUrlLabel(TComponent* AOwner) : TAlignedLabel(AOwner) {
  QFont font = Font();
  font.setUnderline(true);
  SetFont(font);
  SetFontColor(clBlue);
  widget_->setCursor(Qt::PointingHandCursor);
  widget_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(widget_, &QWidget::customContextMenuRequested, [this](const QPoint& pos) { showContextMenu(pos); });
  MakeKeyboardPressable(this);
  DescribeAccessible(widget_, AccessibleDescription{QAccessible::Link, [this] { return DisplayText(Caption()); }, {},
                                                    [this] { Click(); }, {}});
}

void TUrlLabel::Click() {
  TAlignedLabel::Click();
  const QString target = url_.trimmed().isEmpty() ? Caption() : url_;
  if (target.trimmed().isEmpty()) return;
  ShellExecute(widget_, QStringLiteral("open"), target);
}

void TUrlLabel::MouseDown(TMouseButton button, const QPoint& pos) {
  TAlignedLabel::MouseDown(button, pos);
  if (button != TMouseButton::mbLeft || pressed_) return;
  pressed_ = true;
  colorBeforePress_ = FontColor();
  SetFontColor(activeColor_);
}

void TUrlLabel::MouseUp(TMouseButton button, const QPoint& pos) {
  TAlignedLabel::MouseUp(button, pos);
  if (button != TMouseButton::mbLeft || !pressed_) return;
  pressed_ = false;
  SetFontColor(colorBeforePress_);
}

void TUrlLabel::showContextMenu(const QPoint& pos) {
  QMenu menu;
  if (popupMenu_) {
    for (int i = 0; i < popupMenu_->Count(); ++i) {
      TMenuItem* item = popupMenu_->Items(i);
      if (!item->Visible()) continue;
      QAction* action = menu.addAction(TLabel::DisplayText(item->Caption()));
      QObject::connect(action, &QAction::triggered, [item] { item->Click(); });
    }
  } else {
    QAction* copy = menu.addAction(QStringLiteral("Copy"));
    QObject::connect(copy, &QAction::triggered, [this] { QApplication::clipboard()->setText(Caption()); });
  }
  if (!menu.isEmpty()) menu.exec(widget_->mapToGlobal(pos));
}
