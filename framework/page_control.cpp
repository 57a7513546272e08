#include "framework/page_control.h"

#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TPageControl(AOwner, MakeHost<QWidget>(this)) {}

TPageControl::TPageControl(TComponent* AOwner, HostWidget<QWidget>* widget)
    : TWinControl(AOwner, widget, widget), tabs_(new QTabBar(widget)) {
  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
  tabs_->setFocusPolicy(Qt::TabFocus);  // Tab reaches the tabs, the arrow keys switch them
  QObject::connect(tabs_, &QTabBar::currentChanged, [this](int index) {
    if (index == active_ || index < 0) return;
    SetActivePageIndex(index);
    if (OnChange) OnChange(this);
  });
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  BeginDestruction();
  for (TTabSheet* page : std::vector<TTabSheet*>(pages_)) page->SetPageControl(nullptr);
}

void TPageControl::SetFlatButtons(bool flat) { tabs_->setDocumentMode(flat); }

TTabSheet* TPageControl::ActivePage() const {
  return active_ >= 0 && active_ < PageCount() ? pages_[static_cast<size_t>(active_)] : nullptr;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  active_ = index;
  for (int i = 0; i < PageCount(); ++i) pages_[static_cast<size_t>(i)]->SetVisible(i == index);
  const QSignalBlocker block(tabs_);
  tabs_->setCurrentIndex(index);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it != pages_.end()) SetActivePageIndex(static_cast<int>(it - pages_.begin()));
}

namespace {
// The height of the row of tabs; the sheets take the rest.
constexpr int kTabRowHeight = 23;
}  // namespace

QRect TPageControl::ClientRect() const {
  const int tabHeight = kTabRowHeight;
  return QRect(4, tabHeight + 4, std::max(0, Width() - 8), std::max(0, Height() - tabHeight - 8));
}

void TPageControl::AddPage(TTabSheet* page) {
  pages_.push_back(page);
  {
    const QSignalBlocker block(tabs_);
    tabs_->addTab(page->Caption());
  }
  page->SetParent(this);
  layoutPages();
  if (active_ < 0) {
    SetActivePageIndex(0);
  } else {
    page->SetVisible(false);
  }
}

void TPageControl::RemovePage(TTabSheet* page) {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  const int index = static_cast<int>(it - pages_.begin());
  pages_.erase(it);
  {
    const QSignalBlocker block(tabs_);
    tabs_->removeTab(index);
  }
  page->SetParent(nullptr);
  if (active_ >= PageCount()) active_ = PageCount() - 1;
  SetActivePageIndex(active_);
}

void TPageControl::PageCaptionChanged(TTabSheet* page) {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it != pages_.end()) tabs_->setTabText(static_cast<int>(it - pages_.begin()), page->Caption());
}

void TPageControl::BoundsChanged() {
  TWinControl::BoundsChanged();
  layoutPages();
}

void TPageControl::layoutPages() {
  tabs_->setGeometry(2, 0, std::max(0, Width() - 4), kTabRowHeight + 2);
  const QRect pageRect(QPoint(0, 0), ClientRect().size());
  for (TTabSheet* page : pages_) page->SetBounds(pageRect.left(), pageRect.top(), pageRect.width(), pageRect.height());
}

void TPageControl::Paint(QPainter& painter) {
  painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
}

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TTabSheet(AOwner, MakeHost<QWidget>(this)) {}

TTabSheet::TTabSheet(TComponent* AOwner, HostWidget<QWidget>* widget) : TWinControl(AOwner, widget, widget) {}

TTabSheet::~TTabSheet() {
  BeginDestruction();
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (pageControl_ == control) return;
  TPageControl* old = pageControl_;
  pageControl_ = control;
  if (old) old->RemovePage(this);
  if (pageControl_) pageControl_->AddPage(this);
}

void TTabSheet::SetCaption(const QString& caption) {
  TControl::SetCaption(caption);
  if (pageControl_) pageControl_->PageCaptionChanged(this);
}

void TTabSheet::Paint(QPainter& painter) {
  painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
}
