// The main window's preview handlers: the selected file shown on both canvases, the
// clicks that clear them, the decode's progress in the title, and the mask field.
#include "app/main_form.h"

#include "browse/file_list.h"
#include "browse/preview.h"
#include "chrome/gradient_caption.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"

void TForm1::wirePreview() {
  FileListBox1->OnClick = [this](TObject* sender) { FileListBox1Click(sender); };
  Image3->OnClick = [this](TObject* sender) { Image3Click(sender); };
  Imagehoch->OnClick = [this](TObject* sender) { ImagehochClick(sender); };
  Edit1->OnChange = [this](TObject* sender) { Edit1Change(sender); };
}

void TForm1::wireProgress() {
  TProgressEvent progress = [this](TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                                   const QRect& r, const QString& msg) {
    ProgressUpdate(sender, stage, percent, redrawNow, r, msg);
  };
  for (TImage* image : {Image3, Image2, Image4, Image5, Image6}) image->OnProgress = progress;
}

void TForm1::FileListBox1Click(TObject*) {
  Speichern1->SetEnabled(true);
  if (NichtAnzeigen->Checked()) return;
  // A failure to open the file ends here, before Imagehoch is touched.
  LoadPreviewPicture(*Image3->Picture(), FileListBox1->FileName());
  Imagehoch->Picture()->Assign(Image3->Picture());
}

void TForm1::Image3Click(TObject*) { Image3->Picture()->Assign(nullptr); }

void TForm1::ImagehochClick(TObject*) { Imagehoch->Picture()->Assign(nullptr); }

void TForm1::ProgressUpdate(TObject*, TProgressStage Stage, uint8_t PercentDone, bool, const QRect&, const QString&) {
  RxGradientCaption1->SetFormCaption(ProgressTitle(Stage, PercentDone));
}

void TForm1::Edit1Change(TObject*) { FileListBox1->SetMask(Edit1->Text()); }
