#include "framework/menus.h"

#include "framework/image_list.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  BeginDestruction();
  delete menu_.data();
  delete action_.data();
}

void TMenuItem::SetCaption(const QString& caption) {
  caption_ = caption;
  updateAction();
}

void TMenuItem::SetShortCut(const QKeySequence& shortCut) {
  shortCut_ = shortCut;
  updateAction();
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  updateAction();
}

void TMenuItem::SetVisible(bool visible) {
  visible_ = visible;
  updateAction();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  updateAction();
}

void TMenuItem::Add(TMenuItem* item) {
  item->parent_ = this;
  items_.push_back(item);
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(const QKeySequence& key) {
  if (!enabled_) return nullptr;
  if (!shortCut_.isEmpty() && shortCut_ == key) return this;
  for (TMenuItem* item : items_) {
    if (TMenuItem* found = item->FindShortCut(key)) return found;
  }
  return nullptr;
}

void TMenuItem::updateAction() {
  if (!action_) return;
  // The shortcut is shown after a tab but performed by the form, so a hidden item
  // keeps its shortcut.
  QString text = caption_;
  if (!shortCut_.isEmpty()) text += QLatin1Char('\t') + shortCut_.toString(QKeySequence::NativeText);
  // Qt would show a separator's text beside its line.
  action_->setText(IsSeparator() ? QString() : text);
  action_->setSeparator(IsSeparator());
  action_->setEnabled(enabled_);
  action_->setVisible(visible_);
  action_->setCheckable(checked_);
  action_->setChecked(checked_);
  if (images_ && imageIndex_ >= 0) action_->setIcon(images_->Glyph(imageIndex_));
}

void TMenuItem::BuildInto(QWidget* container, const TImageList* images) {
  images_ = images;
  if (items_.empty()) {
    action_ = new QAction(container);
    QObject::connect(action_, &QAction::triggered, [this] { Click(); });
  } else {
    menu_ = new QMenu(caption_, container);
    action_ = menu_->menuAction();
    for (TMenuItem* item : items_) {
      item->BuildInto(menu_, images);
      menu_->addAction(item->Action());
    }
  }
  updateAction();
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(this)) {}

bool TMainMenu::IsShortCut(const QKeySequence& key) {
  TMenuItem* item = items_->FindShortCut(key);
  if (!item) return false;
  item->Click();
  return true;
}

void TMainMenu::BuildMenuBar(QMenuBar* bar) {
  bar->clear();
  for (int i = 0; i < items_->Count(); ++i) {
    TMenuItem* top = items_->Items(i);
    top->BuildInto(bar, images_);
    bar->addAction(top->Action());
  }
}
