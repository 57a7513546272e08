// The main window's zoom and print commands.
#include "app/main_form.h"

#include "framework/application.h"
#include "framework/printer.h"
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

void TForm1::Drucken2Click(TObject*) {
  TImage* const layout1[] = {Image4, Image2, Image5, Image6};
  TImage* const layout2[] = {Image7, Image8, Image10, Image9};
  TPrinter& printer = *Printer();
  PrintJobWindows windows;
  windows.previewHasPicture = [this] { return Image3->Picture()->Graphic() != nullptr; };
  windows.chooseFormat = [this] {
    Dialogs().ShowModal(*PagesDlg);
    return PagesDlg->Format();
  };
  windows.zoom = [this] { zoom1Click(this); };
  windows.printDialog = [this, &printer] { return printer.ExecuteDialog(Widget()); };
  windows.renderSlide = [&](PrintMode mode, int slide) {
    TImage* image = (mode == PrintMode::SlideLayout2 ? layout2 : layout1)[slide];
    if (image->Picture()->Graphic() == nullptr) return false;
    ShowInMonitor(image);
    return true;
  };
  windows.printSource = [this] { return Image1->Picture()->Bitmap(); };
  windows.notice = [](const QString& text) { Application()->ShowNotice(text); };
  RunPrintJob(printer, windows);
}
