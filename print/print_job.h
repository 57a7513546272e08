#pragma once
// The print job: one page, either the previewed picture or the filled slides of one
// layout, from plain values. The job fixes the orientation around the print dialog, then
// renders each picture into a bitmap of its own size and transfers it to its place
// before the next one is rendered. Showing the dialogs and the zoom window is the
// caller's part.

#include "print/print_layout.h"

#include <QString>

#include <array>

class TBitmap;
class TPicture;
class TPrinter;

// What one page is made of. The pictures belong to the caller and must outlive the job.
struct PrintJob {
  PrintFormat format = PrintFormat::WholePage;
  // The previewed picture, for the single-picture formats.
  TPicture* preview = nullptr;
  // The slides of each layout in print order: top left, top right, bottom left, bottom
  // right. A missing or empty slide leaves its place on the page blank.
  std::array<TPicture*, 4> layout1{};
  std::array<TPicture*, 4> layout2{};
};

inline const QString kChoosePictureFirst = QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !");

// Sets the orientation the format asks for before the print dialog opens.
void OrientBeforeDialog(TPrinter& printer, PrintFormat format);
// Forces the orientation the format asks for once the print dialog was confirmed.
void OrientAfterDialog(TPrinter& printer, PrintFormat format);

// Prints the page in the orientation the printer holds. lastRendered holds the bitmap of
// the last picture rendered, also when an error ends the job part-way. Errors pass on
// to the caller; a document that was begun is ended first, so the printer is free for
// the next command.
void PrintPage(TPrinter& printer, const PrintJob& job, TBitmap& lastRendered);

// Paints a picture onto an open page in print units (the page painter's mapping is set
// here).
void PrintPicture(TPrinter& printer, QPoint origin, const PrintJobLayout& layout, TBitmap& picture);
