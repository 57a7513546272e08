#pragma once
// The printer object: the current printer (a CUPS printer of the system, or the built-in
// "PDF-Datei" that writes a PDF file), its device settings (orientation, copies), the
// exchange with the print dialog, and one document at a time drawn through a painter.

#include "framework/print_spooler.h"
#include "platform/errors.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QPaintDevice;
class QPainter;
class QPdfWriter;
class QFileDevice;
class QPrinter;
class QTemporaryFile;
class QWidget;

namespace platform {
class ReplacingFile;
}

enum class TPrinterOrientation { poPortrait, poLandscape };

// The built-in printer that writes a PDF file; the default when the system names none.
inline const QString kPdfPrinterName = QStringLiteral("PDF-Datei");

namespace printer_text {
inline const QString NoDefaultPrinter = QStringLiteral("Zur Zeit ist kein Standard-Drucker gewählt");
inline const QString NotAvailable = QStringLiteral("Operation auf ausgewähltem Drucker nicht verfügbar");
inline const QString InvalidPrinter = QStringLiteral("Ausgewählter Drucker ist ungültig");
inline const QString Printing = QStringLiteral("Das Drucken ist im Gang");
inline const QString NotPrinting = QStringLiteral("Der Drucker ist nicht am Drucken");
// The PDF file of "PDF-Datei" could not be written (%1 the file); the first when the disk
// is full, the second followed by the reason (platform::WithWriteFailureReason) where
// there is one.
inline const QString PdfDiskFull = QStringLiteral("Die PDF-Datei %1 kann nicht geschrieben werden: Der Datenträger ist voll");
inline const QString PdfNotWritten = QStringLiteral("Die PDF-Datei %1 kann nicht geschrieben werden");
// The spooler did not take the page for the printer %1: its queue rejects jobs, or it
// refused for another reason (or could not be reached).
inline const QString NotAccepting = QStringLiteral("Der Drucker %1 nimmt zur Zeit keine Druckaufträge an");
inline const QString JobRefused = QStringLiteral("Der Druckauftrag für den Drucker %1 wurde nicht angenommen");
// The page for the printer %1 could not be written to a temporary file.
inline const QString PageNotWritten = QStringLiteral("Die Seite für den Drucker %1 kann nicht geschrieben werden");
}  // namespace printer_text

// The error the user sees for an outcome on a queue; nothing when it was accepted.
[[nodiscard]] std::optional<EPrinter> SpoolRefusal(TSpoolOutcome Outcome, const QString& Queue);

// A file name in Folder that does not exist yet: "Velarim.pdf", else "Velarim-2.pdf", ...
[[nodiscard]] QString NewPdfFileName(const QString& Folder);

class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The current printer; on first use the system's default printer, else "PDF-Datei".
  QString PrinterName();
  // Refused while a document is open.
  void SetPrinterName(const QString& Name);
  bool IsPdfFile();
  // Where "PDF-Datei" writes; a new name in the documents folder until one is chosen.
  QString OutputFileName();
  void SetOutputFileName(const QString& FileName);

  // Raise EPrinter with NotAvailable when the printer has no device settings (a CUPS
  // printer that is gone); the write is refused while a document is open.
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation Value);

  // The print dialog on a copy of the settings; confirmed, the printer takes over the
  // chosen printer, file and settings. An existing file is only written over when the
  // user confirms it. Returns whether the dialog was confirmed; EPrinter with
  // InvalidPrinter when the printer chosen is gone by then.
  bool ExecuteDialog(QWidget* Owner);

  // Opens a document with its first page; refused while one is open, EPrinter with
  // InvalidPrinter when the printer cannot be drawn on (or is gone), with PdfNotWritten
  // when the PDF file cannot be created.
  void BeginDoc();
  // Ends the page and the document. A PDF file appears only once it is written whole:
  // when any write fails (a full disk, say) EPrinter with PdfDiskFull or PdfNotWritten
  // is raised, an existing file of that name stays as it was, and no empty or partial
  // file is left behind. A system printer's page is written to a temporary PDF file
  // and handed to the spooler; unless the spooler answers that the queue took it,
  // EPrinter with InvalidPrinter (the queue is gone), NotAccepting or JobRefused is
  // raised. The temporary file is removed either way.
  void EndDoc();
  bool Printing() const { return painter_ != nullptr; }
  int PageNumber() const { return Printing() ? 1 : 0; }

  // The painter of the open document, at device pixels, origin at the top-left corner
  // of the printable area. Refused when no document is open.
  QPainter* Handle();
  // Device pixels per inch.
  int Resolution();
  // The printable area's top-left corner from the paper's top-left corner, in 0.1 mm.
  QPoint PrintableOriginLoMetric();

  const QString& Title() const { return title_; }
  void SetTitle(const QString& Title) { title_ = Title; }

  // Called while a page is produced: processes pending events, so the windows repaint
  // and take input meanwhile.
  void RunAbortProc();

  // The Qt printer behind the object (the print dialog, tests).
  QPrinter& Device();

 private:
  void ensureSelected();
  void refuseWhilePrinting() const;
  void requireDeviceSettings();
  QPaintDevice* openPdfFile();
  QPaintDevice* openSpoolFile();
  QPaintDevice* openPdfWriter(QIODevice& file);
  void commitPdfFile();
  void spoolPage();

  std::unique_ptr<QPrinter> device_;
  // "PDF-Datei" draws on a PDF writer into a file that replaces its target only when
  // complete; the Qt printer alone would not say when a write of the file failed.
  std::unique_ptr<platform::ReplacingFile> pdfFile_;
    // A system printer's page goes to a temporary PDF file first, which the spooler gets
  // whole once the page is done, so its answer can be checked.
  std::unique_ptr<QTemporaryFile> spoolFile_;
  std::unique_ptr<QPdfWriter> pdfWriter_;
  std::unique_ptr<TPrintSpooler> spooler_;
  std::unique_ptr<QPainter> painter_;
  QString title_;
  bool selected_ = false;
};

// The one printer object of the process, created on first use.
TPrinter* Printer();
// Replaces it (tests start from a fresh object); returns the previous one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> Value);
