#pragma once
// The page bar: pages stacked under header buttons; a click on a header activates its
// page. A right-button press on a header opens an in-place edit of its caption: Enter
// keeps the new text; Tab, Escape or leaving the box discards it.

#include "framework/control.h"

#include <QPixmap>
#include <QPointer>

#include <vector>

class QLineEdit;
class TabcButtonBar;

class TabcButtonPage : public TCustomControl {
 public:
  explicit TabcButtonPage(TComponent* AOwner);
  ~TabcButtonPage() override;
  QString ClassName() const override { return QStringLiteral("TabcButtonPage"); }

  void SetButtonBar(TabcButtonBar* bar);
  // The header button's caption and picture (an image of the form's image list).
  void SetCaption(const QString& caption) override;
  const QPixmap& Image() const { return image_; }
  void SetImage(const QPixmap& image);

 private:
  friend class TabcButtonBar;
  TabcButtonBar* bar_ = nullptr;
  QPixmap image_;
};

class TabcButtonBar : public TCustomControl {
 public:
  static constexpr int kHeaderHeight = 24;

  explicit TabcButtonBar(TComponent* AOwner);
  ~TabcButtonBar() override;
  QString ClassName() const override { return QStringLiteral("TabcButtonBar"); }

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TabcButtonPage* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TabcButtonPage* ActivePage() const { return activePage_; }
  void SetActivePage(TabcButtonPage* page);
  void SetHeaderFont(const QFont& font, TColor color);

  // The header rectangle of a page, in the bar's coordinates.
  QRect HeaderRect(int index) const;
  // The in-place edit box while it is open, else null.
  QLineEdit* CaptionEditor() const { return editor_; }
  void StartCaptionEdit(int index);

  void AddPage(TabcButtonPage* page);
  void RemovePage(TabcButtonPage* page);

 protected:
  void Paint(QPainter& painter) override;
  void MouseDown(TMouseButton button, const QPoint& pos) override;
  void BoundsChanged() override;

 private:
  int headerAt(const QPoint& pos) const;
  void layoutPages();
  void finishCaptionEdit(bool accept);

  std::vector<TabcButtonPage*> pages_;
  TabcButtonPage* activePage_ = nullptr;
  QFont headerFont_;
  TColor headerColor_ = clWindowText;
  QPointer<QLineEdit> editor_;
  int editedIndex_ = -1;
};
