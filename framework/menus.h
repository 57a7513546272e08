#pragma once
// Menus: items with captions (access keys after "&"), shortcuts, enabled, visible and
// checked states and image-list glyph indices. A hidden item still performs on its
// shortcut while it is enabled; a disabled item never does.

#include "framework/component.h"
#include "framework/control.h"

#include <QKeySequence>
#include <QPointer>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class TImageList;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  QString ClassName() const override { return QStringLiteral("TMenuItem"); }

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  bool IsSeparator() const { return caption_ == QLatin1String("-"); }
  void SetShortCut(const QKeySequence& shortCut);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index) {
    imageIndex_ = index;
    updateAction();
  }

  void Add(TMenuItem* item);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }

  TNotifyEvent OnClick;
  virtual void Click();

  // The item (this or below) whose shortcut is the key and that may perform it.
  TMenuItem* FindShortCut(const QKeySequence& key);

  // Qt side: the action in the menu bar and, for items with children, their menu.
  QAction* Action() const { return action_; }
  // Builds the item's action (and menu) into the container, with its glyph of the images.
  void BuildInto(QWidget* container, const TImageList* images);

 private:
  void updateAction();

  QString caption_;
  QKeySequence shortCut_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  int imageIndex_ = -1;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  const TImageList* images_ = nullptr;
  QPointer<QAction> action_;
  QPointer<QMenu> menu_;
};

class TMainMenu : public TComponent {
 public:
  explicit TMainMenu(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TMainMenu"); }

  TMenuItem* Items() const { return items_; }
  // The glyphs of the items' image indices; set before the menu bar is built.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images) { images_ = images; }
  // Performs the item whose shortcut is the key; true when one did.
  bool IsShortCut(const QKeySequence& key);
  // Builds the Qt menu bar for the current items.
  void BuildMenuBar(QMenuBar* bar);

 private:
  TMenuItem* items_;
  TImageList* images_ = nullptr;
};
