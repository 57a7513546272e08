#pragma once
// The print command: asks for a format, renders the preview into the print source
// through the zoom command, asks for the printer, fixes the orientation and prints one
// page, either the previewed picture or the filled slides of one layout, each picture
// rendered into the print source and transferred on its own.

#include "print/print_layout.h"

#include <QString>

#include <functional>

class TBitmap;
class TPrinter;

// What the job needs of the program's windows, so it can run against test doubles.
struct PrintJobWindows {
  // Whether the preview holds a picture.
  std::function<bool()> previewHasPicture;
  // Shows the print format dialog modally and returns the chosen format.
  std::function<PrintFormat()> chooseFormat;
  // The zoom command: shows the zoom window, renders the preview into the print source.
  std::function<void()> zoom;
  // Asks for the printer; true when confirmed.
  std::function<bool()> printDialog;
  // Renders slide i (0..3, in print order) of a layout into the print source; false for
  // an empty slide.
  std::function<bool(PrintMode layout, int slide)> renderSlide;
  // The print source's bitmap.
  std::function<TBitmap*()> printSource;
  // A plain notice to the user.
  std::function<void(const QString&)> notice;
};

inline const QString kChoosePictureFirst = QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !");

// Runs the whole print command. Errors pass on to the caller; a document that was begun
// is ended first, so the printer is free for the next command.
void RunPrintJob(TPrinter& printer, const PrintJobWindows& windows);

// Paints the print source onto an open page in print units (the page painter's mapping
// is set here).
void PrintPicture(TPrinter& printer, QPoint origin, const PrintJobLayout& layout, TBitmap& picture);
