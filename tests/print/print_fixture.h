#pragma once
// The print job, for tests that print whole pages. No window of the program is made:
// the job gets its pictures as plain values.

#include "picture/bitmap.h"
#include "picture/picture.h"
#include "print/print_job.h"
#include "support/printer_fixture.h"

#include <QPrinter>

#include <array>

class PrintingTest : public PrinterFixture {
 protected:
  void Load(TPicture& picture, const QString& path) { picture.LoadFromFile(path); }

  // The print command after the format was chosen: the orientation the format sets, the
  // print dialog, the orientation it forces, and the page. False when the dialog was
  // cancelled.
  bool Print(PrintFormat format) {
    TPrinter& printer = *Printer();
    OrientBeforeDialog(printer, format);
    if (!printer.ExecuteDialog(nullptr)) return false;
    OrientAfterDialog(printer, format);
    PrintPage(printer, Job(format), lastRendered);
    return true;
  }

  PrintJob Job(PrintFormat format) {
    PrintJob job{format, &preview, {}, {}};
    for (size_t i = 0; i < 4; ++i) {
      job.layout1[i] = &layout1[i];
      job.layout2[i] = &layout2[i];
    }
    return job;
  }

  void ConfirmToFile(const QString& file) {
    dialogs.onPrintDialog = [file](QPrinter& printer) {
      printer.setOutputFileName(file);
      return true;
    };
  }

  TPicture preview;
  std::array<TPicture, 4> layout1;
  std::array<TPicture, 4> layout2;
  TBitmap lastRendered;
};
