#include "print/print_job.h"

#include "framework/printer.h"
#include "picture/bitmap.h"
#include "picture/picture.h"
#include "picture/picture_bitmap.h"
#include "print/bitmap_transfer.h"

#include <QPainter>

namespace {

TPrinterOrientation ToPrinter(PageOrientation orientation) {
  return orientation == PageOrientation::Portrait ? TPrinterOrientation::poPortrait : TPrinterOrientation::poLandscape;
}

PageOrientation FromPrinter(TPrinterOrientation orientation) {
  return orientation == TPrinterOrientation::poPortrait ? PageOrientation::Portrait : PageOrientation::Landscape;
}

bool Filled(const TPicture* picture) { return picture != nullptr && picture->Graphic() != nullptr; }

void RenderAndPrint(TPrinter& printer, TPicture& picture, QPoint origin, const PrintJobLayout& layout,
                    TBitmap& rendered) {
  PictureToBitmap(picture, rendered);
  PrintPicture(printer, origin, layout, rendered);
}

void PrintPictures(TPrinter& printer, const PrintJob& job, const PrintJobLayout& layout, TBitmap& rendered) {
  if (layout.mode == PrintMode::SinglePicture) {
    if (Filled(job.preview)) RenderAndPrint(printer, *job.preview, kSinglePictureOrigin, layout, rendered);
    return;
  }
  const std::array<TPicture*, 4>& slides = layout.mode == PrintMode::SlideLayout2 ? job.layout2 : job.layout1;
  const std::array<QPoint, 4> origins = SlideOrigins(layout.mode);
  for (size_t slide = 0; slide < slides.size(); ++slide) {
    if (Filled(slides[slide])) RenderAndPrint(printer, *slides[slide], origins[slide], layout, rendered);
  }
}

}  // namespace

void OrientBeforeDialog(TPrinter& printer, PrintFormat format) {
  if (const auto before = OrientationBeforeDialog(format)) printer.SetOrientation(ToPrinter(*before));
}

void OrientAfterDialog(TPrinter& printer, PrintFormat format) {
  if (const auto after = OrientationAfterDialog(format)) printer.SetOrientation(ToPrinter(*after));
}

void PrintPicture(TPrinter& printer, QPoint origin, const PrintJobLayout& layout, TBitmap& picture) {
  QPainter& page = *printer.Handle();
  const int dpi = printer.Resolution();
  SetMapModeLoMetric(page, dpi, dpi);
  TransferBitmap(page, origin.x(), origin.y(), layout.width, layout.height, picture);
  printer.RunAbortProc();
}

void PrintPage(TPrinter& printer, const PrintJob& job, TBitmap& lastRendered) {
  const PrintJobLayout layout = JobLayout(job.format, FromPrinter(printer.Orientation()));
  printer.BeginDoc();
  try {
    PrintPictures(printer, job, layout, lastRendered);
  } catch (...) {
    // What was printed so far goes out as it is; the printer is free again for the
    // next print command.
    printer.EndDoc();
    throw;
  }
  printer.EndDoc();
}
