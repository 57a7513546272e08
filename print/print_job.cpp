#include "print/print_job.h"

#include "framework/printer.h"
#include "picture/bitmap.h"
#include "print/bitmap_transfer.h"

#include <QPainter>

namespace {

TPrinterOrientation toPrinter(PageOrientation orientation) {
  return orientation == PageOrientation::Portrait ? TPrinterOrientation::poPortrait : TPrinterOrientation::poLandscape;
}

PageOrientation fromPrinter(TPrinterOrientation orientation) {
  return orientation == TPrinterOrientation::poPortrait ? PageOrientation::Portrait : PageOrientation::Landscape;
}

void printPage(TPrinter& printer, const PrintJobWindows& windows, const PrintJobLayout& layout) {
  if (layout.mode == PrintMode::SinglePicture) {
    if (TBitmap* source = windows.printSource()) PrintPicture(printer, kSinglePictureOrigin, layout, *source);
    return;
  }
  const std::array<QPoint, 4> origins = SlideOrigins(layout.mode);
  for (int slide = 0; slide < 4; ++slide) {
    if (!windows.renderSlide(layout.mode, slide)) continue;
    if (TBitmap* source = windows.printSource()) PrintPicture(printer, origins[static_cast<size_t>(slide)], layout, *source);
  }
}

}  // namespace

void PrintPicture(TPrinter& printer, QPoint origin, const PrintJobLayout& layout, TBitmap& picture) {
  QPainter& page = *printer.Handle();
  const int dpi = printer.Resolution();
  SetMapModeLoMetric(page, dpi, dpi);
  TransferBitmap(page, origin.x(), origin.y(), layout.width, layout.height, picture);
  printer.RunAbortProc();
}

void RunPrintJob(TPrinter& printer, const PrintJobWindows& windows) {
  if (!windows.previewHasPicture()) {
    windows.notice(kChoosePictureFirst);
    return;
  }
  const PrintFormat format = windows.chooseFormat();
  if (const auto before = OrientationBeforeDialog(format)) printer.SetOrientation(toPrinter(*before));
  windows.zoom();
  if (!windows.printDialog()) return;
  if (const auto after = OrientationAfterDialog(format)) printer.SetOrientation(toPrinter(*after));
  const PrintJobLayout layout = JobLayout(format, fromPrinter(printer.Orientation()));

  printer.BeginDoc();
  try {
    printPage(printer, windows, layout);
  } catch (...) {
    // What was printed so far goes out as it is; the printer is free again for the
    // next print command.
    printer.EndDoc();
    throw;
  }
  printer.EndDoc();
}
