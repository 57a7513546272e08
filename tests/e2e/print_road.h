#pragma once
// The way to paper that a person takes in Velarim: Ctrl+D, a format picked in the print
// format dialog by its round indicator, and the print dialog that follows, whose built-in
// PDF printer writes the page to a file.

#include "harness.h"

#include "tests/tools/printed_page.h"

#include <QImage>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace e2e {

extern const QString kFormatDialogTitle;
extern const QString kPrintDialogTitle;

// Formats of the print format dialog, by their rows.
enum class PrintFormat {
  LandscapeSlides,  // "Kleinbild 9 cm x 13 cm quer"
  PortraitSlides,   // "Kleinbild 13 cm x 9 cm hoch"
};

// A picture of four flat quadrants, which a printed page or a screenshot shows upright,
// turned or mirrored at a glance.
QImage QuadrantPicture(QSize size, const printprobe::Quadrants& quadrants);


class PrintRoad {
 public:
  PrintRoad(const Display& display, const Velarim& velarim, const Window& main)
      : display_(display), velarim_(velarim), main_(main) {}

  // Ctrl+D and the print format dialog closed with Enter, after a click on the format, or
  // (choose false) with the format still chosen from the last time; returns the print
  // dialog that follows.
  std::optional<Window> openPrintDialog(PrintFormat format, bool choose);
  // The same with the format dialog taken as it stands.
  std::optional<Window> openPrintDialog();

  // openPrintDialog, then the print dialog's default button, "Drucken", pressed with
  // Enter: its PDF printer writes the file it proposes, which must be pdf. True once the
  // file is complete and the dialog gone.
  bool printToPdf(PrintFormat format, bool choose, const QString& pdf);

  // The same with the keyboard alone: in the print format dialog Tab reaches the formats
  // and the arrow keys check one, Return closes it, and Return prints in the print dialog.
  bool printToPdfByKeys(PrintFormat format, const QString& pdf);

  // The file the print dialog proposes first: Velarim.pdf in the home, which has no
  // documents folder.
  QString firstPdf() const;
  // The PDF's first page at 254 dots per inch, a pixel a tenth of a millimetre; null when
  // the file cannot be read. E2E_KEEP_PAGES=1 keeps the pictures.
  QImage rasterised(const QString& pdf);
  // printToPdf (or printToPdfByKeys) into firstPdf, rasterised; null when either failed.
  QImage printedPage(PrintFormat format, bool choose);
  QImage printedPageByKeys(PrintFormat format);

  // Another window of the program with this title, beside the ones given.
  std::optional<Window> otherWindow(const QString& title, const std::vector<unsigned long>& besides) const;

 private:
  // Whether the format dialog shows the format checked: the dot in the middle of its
  // round indicator and in none of the others, read at the dialog's current place.
  bool shownChecked(unsigned long dialog, PrintFormat format) const;
  // Clicks the format's caption until the dialog shows it checked; a click on a checked
  // radio button changes nothing, so clicking again is harmless.
  bool choose(unsigned long dialog, PrintFormat format) const;
  // Tab until a format has the focus, then the arrow keys until the format is checked.
  bool chooseByKeys(unsigned long dialog, PrintFormat format) const;
  // Ctrl+D, prepare's part in the print format dialog, Enter; the print dialog that follows.
  std::optional<Window> throughFormatDialog(const std::function<bool(unsigned long dialog)>& prepare);
  // Enter in the print dialog, which writes pdf.
  bool printFrom(const std::optional<Window>& print, const QString& pdf);

  const Display& display_;
  const Velarim& velarim_;
  const Window& main_;
  QTemporaryDir work_;
  int pages_ = 0;
};

}  // namespace e2e
