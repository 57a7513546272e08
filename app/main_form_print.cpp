// The main window's zoom and print commands.
#include "app/main_form.h"

#include "framework/application.h"
#include "framework/printer.h"
#include "picture/bitmap.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "picture/picture_bitmap.h"
#include "print/pages_dlg.h"
#include "print/print_job.h"
#include "zoom/monitor_form.h"

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

namespace {

// The zoom window and the print source each hold the bitmap (a shared copy).
void ShowInZoomAndPrintSource(TBitmap& bitmap, TImage& monitor, TImage& printSource) {
  monitor.Picture()->Bitmap()->Assign(&bitmap);
  printSource.Picture()->Bitmap()->Assign(&bitmap);
}

}  // namespace

void TForm1::ShowInMonitor(TImage* Image) {
  TBitmap bitmap;
  PictureToBitmap(*Image->Picture(), bitmap);
  ShowInZoomAndPrintSource(bitmap, *FormMonitor->ImageMonitor, *Image1);
}

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
  // The zoom window and the print source end with the last picture printed, as if each
  // one had been shown there before it went to the page; also when a picture ends the
  // job part-way.
  TBitmap printed;
  const auto showPrinted = [&] {
    if (!printed.Empty()) ShowInZoomAndPrintSource(printed, *FormMonitor->ImageMonitor, *Image1);
  };
  try {
    PrintPage(printer, job, printed);
  } catch (...) {
    showPrinted();
    throw;
  }
  showPrinted();
}
