// The two slide pages of the main window: each a preview beside a quad split whose four
// panes hold one slide each. A file dragged from the file list fills a slide; a click
// clears it.
#include "app/main_form.h"

#include "app/main_form_access.h"
#include "framework/place_control.h"
#include "browse/file_list.h"
#include "framework/page_control.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "sheet/quad_split.h"

#include <array>

// A slide page as designed: each control's name and the member that holds it.
struct TForm1::SlidePageDesign {
  template <class Control>
  struct Part {
    const char* name;
    Control* TForm1::*member;
  };
  Part<TTabSheet> sheet;
  const char* caption;
  Part<TPanel> previewPanel;
  int previewPanelWidth;
  Part<TImage> preview;
  Part<TabcQuadSplit> split;
  QRect splitBounds;
  QPoint splitPositions;
  std::array<Part<TabcSplitPane>, 4> panes;  // clockwise from the top left
  std::array<Part<TImage>, 4> slides;        // in the panes' order
  std::array<void (TForm1::*)(TObject*), 4> clicks;
};

namespace {

constexpr int kPreviewPanelHeight = 102;
constexpr int kPreviewBevel = 4;

}  // namespace

void TForm1::createSlidePage(const SlidePageDesign& design) {
  TTabSheet* sheet = this->*design.sheet.member = new TTabSheet(this);
  sheet->SetName(QString::fromLatin1(design.sheet.name));
  sheet->SetCaption(QString::fromUtf8(design.caption));
  sheet->SetPageControl(PageControl1);

  TPanel* panel = this->*design.previewPanel.member =
      Place<TPanel>(this, design.previewPanel.name, sheet, 0, 0, design.previewPanelWidth, kPreviewPanelHeight);
  panel->SetAlign(TAlign::alLeft);
  panel->SetBevelWidth(kPreviewBevel);
  TImage* preview = this->*design.preview.member =
      Place<TImage>(this, design.preview.name, panel, 0, 0, design.previewPanelWidth - 2 * kPreviewBevel,
                    kPreviewPanelHeight - 2 * kPreviewBevel);
  preview->SetAlign(TAlign::alClient);
  preview->SetStretch(true);
  preview->SetIncrementalDisplay(true);
  preview->SetHint(QStringLiteral("Leinwand für die Anzeige des Bildes|"));

  const QRect& b = design.splitBounds;
  TabcQuadSplit* split = this->*design.split.member =
      Place<TabcQuadSplit>(this, design.split.name, sheet, b.left(), b.top(), b.width(), b.height());
  split->BeginLoading();
  split->SetSplitHPos(design.splitPositions.x());
  split->SetSplitVPos(design.splitPositions.y());
  for (size_t i = 0; i < design.panes.size(); ++i) {
    // Placing a pane in the split appends it to the split's pane list; the panes and
    // slides get their bounds when the split has finished loading.
    TabcSplitPane* pane = this->*design.panes[i].member =
        Place<TabcSplitPane>(this, design.panes[i].name, split, 0, 0, 0, 0);
    TImage* slide = this->*design.slides[i].member = Place<TImage>(this, design.slides[i].name, pane, 0, 0, 0, 0);
    slide->SetAlign(TAlign::alClient);
    slide->SetStretch(true);
    wireSlide(slide, design.clicks[i]);
  }
  split->Loaded();
}

void TForm1::createSlidePage1() {
  static const SlidePageDesign design{
      {"TabSheet1", &TForm1::TabSheet1},
      "9 cm x 13 cm",
      {"Panel6", &TForm1::Panel6},
      136,
      {"Image3", &TForm1::Image3},
      {"abcQuadSplit1", &TForm1::abcQuadSplit1},
      QRect(184, 8, 169, 89),
      QPoint(85, 45),
      {{{"abcSplitPane1", &TForm1::abcSplitPane1},
        {"abcSplitPane2", &TForm1::abcSplitPane2},
        {"abcSplitPane3", &TForm1::abcSplitPane3},
        {"abcSplitPane4", &TForm1::abcSplitPane4}}},
      {{{"Image4", &TForm1::Image4}, {"Image2", &TForm1::Image2}, {"Image6", &TForm1::Image6}, {"Image5", &TForm1::Image5}}},
      {&TForm1::Image4Click, &TForm1::Image2Click, &TForm1::Image6Click, &TForm1::Image5Click}};
  createSlidePage(design);
}

void TForm1::createSlidePage2() {
  static const SlidePageDesign design{
      {"TabSheet2", &TForm1::TabSheet2},
      "13 cm x 9 cm",
      {"Panel5", &TForm1::Panel5},
      82,
      {"Imagehoch", &TForm1::Imagehoch},
      {"abcQuadSplit2", &TForm1::abcQuadSplit2},
      QRect(116, 8, 81, 89),
      QPoint(40, 45),
      {{{"abcSplitPane5", &TForm1::abcSplitPane5},
        {"abcSplitPane6", &TForm1::abcSplitPane6},
        {"abcSplitPane7", &TForm1::abcSplitPane7},
        {"abcSplitPane8", &TForm1::abcSplitPane8}}},
      {{{"Image7", &TForm1::Image7}, {"Image8", &TForm1::Image8}, {"Image9", &TForm1::Image9}, {"Image10", &TForm1::Image10}}},
      {&TForm1::Image7Click, &TForm1::Image8Click, &TForm1::Image9Click, &TForm1::Image10Click}};
  createSlidePage(design);

  // The print source: a hidden image the print job converts each picture into.
  Image1 = Place<TImage>(this, "Image1", TabSheet2, 344, 12, 77, 77);
  Image1->SetVisible(false);
}

void TForm1::wireSlide(TImage* slide, void (TForm1::*click)(TObject*)) {
  slide->OnClick = [this, click, slide](TObject* sender) {
    (this->*click)(sender);
    NoteSlideCleared(slide);
  };
  SetDragHandlers(
      slide,
      [this](TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept) {
        Image4DragOver(sender, source, x, y, state, accept);
      },
      [this, slide](TObject* sender, TObject* source, int x, int y) {
        Image4DragDrop(sender, source, x, y);
        NoteSlideFilled(slide, FileListBox1->FileName());
      });
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
