#pragma once
// A page control: a row of tabs above a stack of tab sheets, one visible at a time.

#include "framework/control.h"

#include <QTabBar>

class TTabSheet;

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  QString ClassName() const override { return QStringLiteral("TPageControl"); }

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const;
  void SetActivePageIndex(int index);
  void SetActivePage(TTabSheet* page);
  // Tabs drawn as flat buttons that light up under the mouse.
  void SetFlatButtons(bool flat);
  void SetHotTrack(bool hot) { tabs_->setMouseTracking(hot); }
  QRect ClientRect() const override;
  TNotifyEvent OnChange;

  void AddPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void PageCaptionChanged(TTabSheet* page);

 protected:
  void BoundsChanged() override;
  bool OwnerDrawn() const override { return true; }
  void Paint(QPainter& painter) override;

 private:
  TPageControl(TComponent* AOwner, HostWidget<QWidget>* widget);
  void layoutPages();

  QTabBar* tabs_;
  std::vector<TTabSheet*> pages_;
  int active_ = -1;
};

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  QString ClassName() const override { return QStringLiteral("TTabSheet"); }

  void SetPageControl(TPageControl* control);
  void SetCaption(const QString& caption) override;

 protected:
  bool OwnerDrawn() const override { return true; }
  void Paint(QPainter& painter) override;

 private:
  TTabSheet(TComponent* AOwner, HostWidget<QWidget>* widget);
  TPageControl* pageControl_ = nullptr;
};
