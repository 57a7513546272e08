// The two slide pages of the main window: each a preview beside a quad split whose four
// panes hold one slide each. A file dragged from the file list fills a slide; a click
// clears it.
#include "app/main_form.h"

#include "app/place_control.h"
#include "browse/file_list.h"
#include "framework/page_control.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "sheet/quad_split.h"

#include <array>

struct TForm1::SlidePageDesign {
  const char* sheet;
  const char* caption;
  const char* previewPanel;
  int previewPanelWidth;
  const char* preview;
  const char* split;
  QRect splitBounds;
  QPoint splitPositions;
  std::array<const char*, 4> panes;   // clockwise from the top left
  std::array<const char*, 4> slides;  // in the panes' order
  std::array<void (TForm1::*)(TObject*), 4> clicks;
};

struct TForm1::SlidePage {
  TTabSheet* sheet;
  TPanel* previewPanel;
  TImage* preview;
  TabcQuadSplit* split;
  std::array<TabcSplitPane*, 4> panes;
  std::array<TImage*, 4> slides;
};

namespace {

constexpr int kPreviewPanelHeight = 102;
constexpr int kPreviewBevel = 4;

}  // namespace

TForm1::SlidePage TForm1::createSlidePage(const SlidePageDesign& design) {
  SlidePage page{};
  page.sheet = new TTabSheet(this);
  page.sheet->SetName(QString::fromLatin1(design.sheet));
  page.sheet->SetCaption(QString::fromUtf8(design.caption));
  page.sheet->SetPageControl(PageControl1);

  page.previewPanel = place<TPanel>(this, design.previewPanel, page.sheet, 0, 0, design.previewPanelWidth,
                                    kPreviewPanelHeight);
  page.previewPanel->SetAlign(TAlign::alLeft);
  page.previewPanel->SetBevelWidth(kPreviewBevel);
  page.preview = place<TImage>(this, design.preview, page.previewPanel, 0, 0,
                               design.previewPanelWidth - 2 * kPreviewBevel, kPreviewPanelHeight - 2 * kPreviewBevel);
  page.preview->SetAlign(TAlign::alClient);
  page.preview->SetStretch(true);
  page.preview->SetIncrementalDisplay(true);
  page.preview->SetHint(QStringLiteral("Leinwand für die Anzeige des Bildes|"));

  const QRect& b = design.splitBounds;
  page.split = place<TabcQuadSplit>(this, design.split, page.sheet, b.left(), b.top(), b.width(), b.height());
  page.split->BeginLoading();
  page.split->SetSplitHPos(design.splitPositions.x());
  page.split->SetSplitVPos(design.splitPositions.y());
  for (size_t i = 0; i < page.panes.size(); ++i) {
    page.panes[i] = place<TabcSplitPane>(this, design.panes[i], page.split, 0, 0, 0, 0);
    page.slides[i] = place<TImage>(this, design.slides[i], page.panes[i], 0, 0, 0, 0);
    page.slides[i]->SetAlign(TAlign::alClient);
    page.slides[i]->SetStretch(true);
    wireSlide(page.slides[i], design.clicks[i]);
  }
  page.split->Loaded();
  return page;
}

void TForm1::createSlidePage1() {
  static const SlidePageDesign design{
      "TabSheet1", "9 cm x 13 cm", "Panel6", 136, "Image3", "abcQuadSplit1", QRect(184, 8, 169, 89), QPoint(85, 45),
      {"abcSplitPane1", "abcSplitPane2", "abcSplitPane3", "abcSplitPane4"},
      {"Image4", "Image2", "Image6", "Image5"},
      {&TForm1::Image4Click, &TForm1::Image2Click, &TForm1::Image6Click, &TForm1::Image5Click}};
  const SlidePage page = createSlidePage(design);
  TabSheet1 = page.sheet;
  Panel6 = page.previewPanel;
  Image3 = page.preview;
  abcQuadSplit1 = page.split;
  abcSplitPane1 = page.panes[0];
  abcSplitPane2 = page.panes[1];
  abcSplitPane3 = page.panes[2];
  abcSplitPane4 = page.panes[3];
  Image4 = page.slides[0];
  Image2 = page.slides[1];
  Image6 = page.slides[2];
  Image5 = page.slides[3];
}

void TForm1::createSlidePage2() {
  static const SlidePageDesign design{
      "TabSheet2", "13 cm x 9 cm", "Panel5", 82, "Imagehoch", "abcQuadSplit2", QRect(116, 8, 81, 89), QPoint(40, 45),
      {"abcSplitPane5", "abcSplitPane6", "abcSplitPane7", "abcSplitPane8"},
      {"Image7", "Image8", "Image9", "Image10"},
      {&TForm1::Image7Click, &TForm1::Image8Click, &TForm1::Image9Click, &TForm1::Image10Click}};
  const SlidePage page = createSlidePage(design);
  TabSheet2 = page.sheet;
  Panel5 = page.previewPanel;
  Imagehoch = page.preview;
  abcQuadSplit2 = page.split;
  abcSplitPane5 = page.panes[0];
  abcSplitPane6 = page.panes[1];
  abcSplitPane7 = page.panes[2];
  abcSplitPane8 = page.panes[3];
  Image7 = page.slides[0];
  Image8 = page.slides[1];
  Image9 = page.slides[2];
  Image10 = page.slides[3];

  // The print source: a hidden image the print job converts each picture into.
  Image1 = place<TImage>(this, "Image1", TabSheet2, 344, 12, 77, 77);
  Image1->SetVisible(false);
}

void TForm1::wireSlide(TImage* slide, void (TForm1::*click)(TObject*)) {
  slide->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
  SetDragHandlers(
      slide,
      [this](TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept) {
        Image4DragOver(sender, source, x, y, state, accept);
      },
      [this](TObject* sender, TObject* source, int x, int y) { Image4DragDrop(sender, source, x, y); });
}

// The slides of the first sheet report their decoding progress in the title, as the
// preview does; those of the second sheet report nothing.
void TForm1::wireSlideProgress() {
  for (TImage* slide : {Image2, Image4, Image5, Image6}) slide->OnProgress = Image3->OnProgress;
}

void TForm1::Image4DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = dynamic_cast<TFileListBox*>(Source) != nullptr;
}

// The file comes from the file list's selection, whatever the drag's source; a file
// that does not load leaves the slide as it was and the error reaches the error report.
void TForm1::Image4DragDrop(TObject* Sender, TObject*, int, int) {
  auto* slide = dynamic_cast<TImage*>(Sender);
  if (slide) slide->Picture()->LoadFromFile(FileListBox1->FileName());
}

void TForm1::Image4Click(TObject*) { Image4->Picture()->Assign(nullptr); }
void TForm1::Image2Click(TObject*) { Image2->Picture()->Assign(nullptr); }
void TForm1::Image5Click(TObject*) { Image5->Picture()->Assign(nullptr); }
void TForm1::Image6Click(TObject*) { Image6->Picture()->Assign(nullptr); }
void TForm1::Image7Click(TObject*) { Image7->Picture()->Assign(nullptr); }
void TForm1::Image8Click(TObject*) { Image8->Picture()->Assign(nullptr); }
void TForm1::Image9Click(TObject*) { Image9->Picture()->Assign(nullptr); }
void TForm1::Image10Click(TObject*) { Image10->Picture()->Assign(nullptr); }
