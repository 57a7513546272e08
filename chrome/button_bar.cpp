#include "chrome/button_bar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

// Ends the in-place edit: Enter accepts, Tab and Escape discard; so does losing focus.
class InPlaceCaptionEdit : public QLineEdit {
 public:
  InPlaceCaptionEdit(QWidget* parent, std::function<void(bool)> finish) : QLineEdit(parent), finish_(std::move(finish)) {}

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: finish(true); return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape: finish(false); return true;
        default: break;
      }
    }
    if (event->type() == QEvent::FocusOut) finish(false);
    return QLineEdit::event(event);
  }

 private:
  void finish(bool accept) {
    if (!finish_) return;
    auto finish = std::move(finish_);
    finish_ = nullptr;
    finish(accept);
  }
  std::function<void(bool)> finish_;
};

}  // namespace

TabcButtonPage::TabcButtonPage(TComponent* AOwner) : TCustomControl(AOwner) {}

TabcButtonPage::~TabcButtonPage() {
  if (bar_) bar_->RemovePage(this);
}

void TabcButtonPage::SetButtonBar(TabcButtonBar* bar) {
  if (bar_ == bar) return;
  if (bar_) bar_->RemovePage(this);
  bar_ = bar;
  if (bar_) bar_->AddPage(this);
}

void TabcButtonPage::SetCaption(const QString& caption) {
  TCustomControl::SetCaption(caption);
  if (bar_) bar_->Invalidate();
}

void TabcButtonPage::SetImage(const QPixmap& image) {
  image_ = image;
  if (bar_) bar_->Invalidate();
}

TabcButtonBar::TabcButtonBar(TComponent* AOwner) : TCustomControl(AOwner) {}

TabcButtonBar::~TabcButtonBar() {
  for (TabcButtonPage* page : pages_) page->bar_ = nullptr;
}

void TabcButtonBar::SetHeaderFont(const QFont& font, TColor color) {
  headerFont_ = font;
  headerColor_ = color;
  Invalidate();
}

void TabcButtonBar::AddPage(TabcButtonPage* page) {
  pages_.push_back(page);
  page->SetParent(this);
  if (!activePage_) SetActivePage(page);
  layoutPages();
}

void TabcButtonBar::RemovePage(TabcButtonPage* page) {
  std::erase(pages_, page);
  if (activePage_ == page) activePage_ = pages_.empty() ? nullptr : pages_.front();
  layoutPages();
}

void TabcButtonBar::SetActivePage(TabcButtonPage* page) {
  activePage_ = page;
  layoutPages();
}

// Headers above the active page stack at the top, the others at the bottom.
QRect TabcButtonBar::HeaderRect(int index) const {
  const int active = static_cast<int>(std::find(pages_.begin(), pages_.end(), activePage_) - pages_.begin());
  if (index <= active) return QRect(0, index * kHeaderHeight, Width(), kHeaderHeight);
  const int fromBottom = PageCount() - index;
  return QRect(0, Height() - fromBottom * kHeaderHeight, Width(), kHeaderHeight);
}

void TabcButtonBar::layoutPages() {
  if (pages_.empty()) return;
  const int active = static_cast<int>(std::find(pages_.begin(), pages_.end(), activePage_) - pages_.begin());
  const int top = (active + 1) * kHeaderHeight;
  const int bottom = Height() - (PageCount() - active - 1) * kHeaderHeight;
  for (TabcButtonPage* page : pages_) {
    page->SetVisible(page == activePage_);
    if (page == activePage_) page->SetBounds(0, top, Width(), std::max(0, bottom - top));
  }
  Invalidate();
}

void TabcButtonBar::BoundsChanged() {
  TCustomControl::BoundsChanged();
  layoutPages();
}

int TabcButtonBar::headerAt(const QPoint& pos) const {
  for (int i = 0; i < PageCount(); ++i) {
    if (HeaderRect(i).contains(pos)) return i;
  }
  return -1;
}

void TabcButtonBar::Paint(QPainter& painter) {
  painter.fillRect(ClientRect(), ToQColor(Color()));
  for (int i = 0; i < PageCount(); ++i) {
    QStyleOptionButton option;
    option.initFrom(widget_);
    option.rect = HeaderRect(i);
    option.state |= QStyle::State_Raised;
    widget_->style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, widget_);
    QRect content = option.rect.adjusted(6, 0, -6, 0);
    const QPixmap& image = Pages(i)->Image();
    if (!image.isNull()) {
      painter.drawPixmap(content.left(), content.top() + (content.height() - image.height()) / 2, image);
      content.setLeft(content.left() + image.width() + 6);
    }
    painter.setFont(headerFont_);
    painter.setPen(ToQColor(headerColor_));
    painter.drawText(content, Qt::AlignVCenter | Qt::AlignLeft, Pages(i)->Caption());
  }
}

void TabcButtonBar::MouseDown(TMouseButton button, const QPoint& pos) {
  TCustomControl::MouseDown(button, pos);
  const int index = headerAt(pos);
  if (index < 0) return;
  if (button == TMouseButton::mbLeft) SetActivePage(Pages(index));
  if (button == TMouseButton::mbRight) StartCaptionEdit(index);
}

void TabcButtonBar::StartCaptionEdit(int index) {
  if (editor_) return;
  editedIndex_ = index;
  editor_ = new InPlaceCaptionEdit(widget_, [this](bool accept) { finishCaptionEdit(accept); });
  editor_->setFont(headerFont_);
  editor_->setText(Pages(index)->Caption());
  editor_->setGeometry(HeaderRect(index).adjusted(2, 2, -2, -2));
  editor_->selectAll();
  editor_->show();
  editor_->setFocus();
}

void TabcButtonBar::finishCaptionEdit(bool accept) {
  if (!editor_) return;
  QLineEdit* editor = editor_;
  editor_ = nullptr;
  if (accept && editedIndex_ >= 0 && editedIndex_ < PageCount()) Pages(editedIndex_)->SetCaption(editor->text());
  editor->hide();
  editor->deleteLater();
  editedIndex_ = -1;
}
