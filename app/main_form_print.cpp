// The main window's zoom and print commands.
#include "app/main_form.h"

#include "framework/application.h"
#include "framework/printer.h"
#include "picture/bitmap.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "print/pages_dlg.h"
#include "print/print_job.h"
#include "zoom/monitor_form.h"
#include "zoom/picture_render.h"

void TForm1::SetSecondaryWindows(TFormMonitor* Monitor, TPagesDlg* Pages) {
  FormMonitor = Monitor;
  PagesDlg = Pages;
  FormMonitor->ZoomCommand = [this](TObject* sender) { zoom1Click(sender); };
  // Dialogs of the main window bring it forward; the zoom window stays in view above it.
  FormMonitor->SetOwnerWindow(this);
}

void TForm1::zoom1Click(TObject*) {
  if (Image3->Picture()->Graphic() == nullptr) {
    Application()->ShowNotice(kChoosePictureFirst);
    return;
  }
  FormMonitor->Show();
  ShowInMonitor(Image3);
}

void TForm1::ShowInMonitor(TImage* Image) {
  RenderPictureToBitmap(*Image->Picture(), {FormMonitor->ImageMonitor->Picture(), Image1->Picture()});
}

namespace {

// The zoom window and the print source show the picture the job rendered last, as if
// each slide had been shown there before it was printed.
void ShowPrinted(TBitmap& printed, TImage& monitor, TImage& printSource) {
  if (printed.Empty()) return;
  monitor.Picture()->Bitmap()->Assign(&printed);
  printSource.Picture()->Bitmap()->Assign(&printed);
}

}  // namespace

void TForm1::Drucken2Click(TObject*) {
  if (Image3->Picture()->Graphic() == nullptr) {
    Application()->ShowNotice(kChoosePictureFirst);
    return;
  }
  Dialogs().ShowModal(*PagesDlg);
  const PrintJob job{PagesDlg->Format(),
                     Image3->Picture(),
                     {Image4->Picture(), Image2->Picture(), Image5->Picture(), Image6->Picture()},
                     {Image7->Picture(), Image8->Picture(), Image10->Picture(), Image9->Picture()}};
  TPrinter& printer = *Printer();
  OrientBeforeDialog(printer, job.format);
  zoom1Click(this);
  if (!printer.ExecuteDialog(Widget())) return;
  OrientAfterDialog(printer, job.format);
  TBitmap printed;
  try {
    PrintPage(printer, job, printed);
  } catch (...) {
    ShowPrinted(printed, *FormMonitor->ImageMonitor, *Image1);
    throw;
  }
  ShowPrinted(printed, *FormMonitor->ImageMonitor, *Image1);
}
