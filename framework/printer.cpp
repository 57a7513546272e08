#include "framework/printer.h"

#include "framework/dialogs.h"
#include "framework/print_spooler.h"
#include "platform/dialog_names.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/lossless_utf8.h"
#include "platform/replacing_file.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QDir>
#include <QTemporaryFile>

namespace {

std::unique_ptr<TPrinter>& ThePrinter() {
  static std::unique_ptr<TPrinter> printer;
  return printer;
}

bool IsSystemPrinter(const QString& name) { return QPrinterInfo::availablePrinterNames().contains(name); }

// Draws from the printable area's corner: the device's own minimum margins, not the
// print system's default ones.
void UsePrintableArea(QPrinter& device) {
  const QPageLayout layout = device.pageLayout();
  device.setPageMargins(layout.minimumMargins(), layout.units());
}

// Points the Qt printer at a printer by name: "PDF-Datei" makes it write a PDF file on
// A4 paper whose printable area is the whole sheet.
void SelectDevice(QPrinter& device, const QString& name, const QString& pdfFile) {
  if (name == kPdfPrinterName) {
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(pdfFile);
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  } else {
    device.setOutputFormat(QPrinter::NativeFormat);
    device.setPrinterName(name);
    UsePrintableArea(device);
  }
}

QString DeviceName(const QPrinter& device) {
  return device.outputFormat() == QPrinter::PdfFormat ? kPdfPrinterName : device.printerName();
}

void CopySettings(const QPrinter& from, QPrinter& to) {
  SelectDevice(to, DeviceName(from), from.outputFileName());
  to.setPageLayout(from.pageLayout());
  to.setCopyCount(from.copyCount());
  to.setDocName(from.docName());
}

// What the spooler is told with the page: the paper, the copies, and that the page
// goes out at 100 %, never fitted to the paper. The orientation is the page's own: a
// landscape page is drawn on landscape paper, which the spooler turns onto the sheet.
TSpoolOptions SpoolOptions(const QPrinter& device) {
  return {{"media", device.pageLayout().pageSize().key().toUtf8()},
          {"copies", QByteArray::number(device.copyCount())},
          {"fit-to-page", "false"},
          {"print-scaling", "none"}};
}

// The reason, when there is one a person can act on, follows the designed text.
EPrinter PdfWriteFailed(const QString& fileName, int error) {
  const QString text = printer_text::PdfNotWritten.arg(platform::ReadableText(fileName));
  return EPrinter(platform::WithWriteFailureReason(text, error));
}

}  // namespace

std::optional<EPrinter> SpoolRefusal(TSpoolOutcome Outcome, const QString& Queue) {
  switch (Outcome) {
    case TSpoolOutcome::Accepted: return std::nullopt;
    case TSpoolOutcome::NoSuchQueue: return EPrinter(printer_text::InvalidPrinter);
    case TSpoolOutcome::NotAccepting: return EPrinter(printer_text::NotAccepting.arg(Queue));
    case TSpoolOutcome::Refused: break;
  }
  return EPrinter(printer_text::JobRefused.arg(Queue));
}

QString NewPdfFileName(const QString& Folder) {
  // By the folder's bytes: a home whose name is not UTF-8 is a home like any other.
  const auto taken = [](const QString& path) { return platform::FileExists(path) || platform::DirectoryExists(path); };
  QString candidate = platform::JoinPath(Folder, QStringLiteral("Velarim.pdf"));
  for (int n = 2; taken(candidate); ++n) {
    candidate = platform::JoinPath(Folder, QStringLiteral("Velarim-%1.pdf").arg(n));
  }
  return candidate;
}

TPrinter::TPrinter()
    : device_(std::make_unique<QPrinter>(QPrinter::HighResolution)), spooler_(MakeSystemSpooler()) {}

TPrinter::~TPrinter() {
  if (painter_) painter_->end();
}

void TPrinter::ensureSelected() {
  if (selected_) return;
  selected_ = true;
  // A default the spooler names but no longer has counts as none.
  const QString systemDefault = QPrinterInfo::defaultPrinterName();
  SelectDevice(*device_, IsSystemPrinter(systemDefault) ? systemDefault : kPdfPrinterName, QString());
}

QString TPrinter::PrinterName() {
  ensureSelected();
  return DeviceName(*device_);
}

void TPrinter::SetPrinterName(const QString& Name) {
  refuseWhilePrinting();
  if (Name != kPdfPrinterName && !IsSystemPrinter(Name)) throw EPrinter(printer_text::InvalidPrinter);
  selected_ = true;
  SelectDevice(*device_, Name, device_->outputFileName());
}

bool TPrinter::IsPdfFile() { return PrinterName() == kPdfPrinterName; }

QString TPrinter::OutputFileName() {
  ensureSelected();
  if (IsPdfFile() && device_->outputFileName().isEmpty()) {
    device_->setOutputFileName(NewPdfFileName(platform::DocumentsFolder()));
  }
  return device_->outputFileName();
}

void TPrinter::SetOutputFileName(const QString& FileName) {
  refuseWhilePrinting();
  ensureSelected();
  device_->setOutputFileName(FileName);
}

void TPrinter::refuseWhilePrinting() const {
  if (Printing()) throw EPrinter(printer_text::Printing);
}

void TPrinter::requireDeviceSettings() {
  ensureSelected();
  if (!device_->isValid()) throw EPrinter(printer_text::NotAvailable);
}

TPrinterOrientation TPrinter::Orientation() {
  requireDeviceSettings();
  return device_->pageLayout().orientation() == QPageLayout::Portrait ? TPrinterOrientation::poPortrait
                                                                       : TPrinterOrientation::poLandscape;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
  refuseWhilePrinting();
  requireDeviceSettings();
  device_->setPageOrientation(Value == TPrinterOrientation::poPortrait ? QPageLayout::Portrait
                                                                       : QPageLayout::Landscape);
  UsePrintableArea(*device_);
}

bool TPrinter::ExecuteDialog(QWidget* Owner) {
  refuseWhilePrinting();
  ensureSelected();
  // The dialog proposes a file that does not exist yet, so printing again never
  // silently replaces the last page; a new one is always in the documents folder.
  const QString last = device_->outputFileName();
  if (IsPdfFile() && (last.isEmpty() || platform::FileExists(last) || platform::DirectoryExists(last))) {
    device_->setOutputFileName(NewPdfFileName(platform::DocumentsFolder()));
  }
  // Qt's dialog opens the file by its UTF-8 name to see that it can be written: a
  // folder whose name is not UTF-8 is handed to it through a link it can follow.
  const QString proposed = IsPdfFile() ? device_->outputFileName() : QString();
  const QString proposedName = proposed.mid(proposed.lastIndexOf(u'/') + 1);
  const platform::DialogFolder folder(platform::ParentOfPath(proposed));
  QPrinter chosen(QPrinter::HighResolution);
  CopySettings(*device_, chosen);
  // A file name given to a system printer would make it write a PDF file instead.
  if (IsPdfFile()) chosen.setOutputFileName(platform::JoinPath(folder.Shown(), platform::ShownName(proposedName)));
  // A confirmed dialog has asked before keeping an output file that exists already.
  if (!Dialogs().ExecutePrintDialog(chosen, Owner)) return false;
  if (chosen.outputFormat() == QPrinter::PdfFormat) {
    chosen.setOutputFileName(chosen.outputFileName().isEmpty() ? NewPdfFileName(platform::DocumentsFolder())
                                                               : folder.Resolve(chosen.outputFileName(), proposedName));
  }
  // A queue removed while the dialog was open is still offered by it.
  if (chosen.outputFormat() != QPrinter::PdfFormat && !IsSystemPrinter(chosen.printerName())) {
    throw EPrinter(printer_text::InvalidPrinter);
  }
  CopySettings(chosen, *device_);
  return true;
}

void TPrinter::BeginDoc() {
  refuseWhilePrinting();
  ensureSelected();
  if (IsPdfFile()) OutputFileName();
  device_->setDocName(title_);
  device_->setFullPage(false);
  UsePrintableArea(*device_);
  if (!IsPdfFile() && !IsSystemPrinter(PrinterName())) throw EPrinter(printer_text::InvalidPrinter);
  QPaintDevice* const target = IsPdfFile() ? openPdfFile() : openSpoolFile();
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(target)) {
    pdfWriter_.reset();
    pdfFile_.reset();  // uncommitted: nothing is left behind
    spoolFile_.reset();
    throw EPrinter(printer_text::InvalidPrinter);
  }
  painter_ = std::move(painter);
}

QPaintDevice* TPrinter::openPdfFile() {
  const QString fileName = OutputFileName();
  auto file = std::make_unique<platform::ReplacingFile>(fileName);
  if (!file->open(QIODevice::WriteOnly)) throw PdfWriteFailed(fileName, file->Error());
  pdfFile_ = std::move(file);
  return openPdfWriter(*pdfFile_);
}

QPaintDevice* TPrinter::openSpoolFile() {
  auto file = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(QStringLiteral("velarim-XXXXXX.pdf")));
  if (!file->open()) throw EPrinter(printer_text::PageNotWritten.arg(PrinterName()));
  spoolFile_ = std::move(file);
  return openPdfWriter(*spoolFile_);
}

// The writer takes over what the Qt printer holds for the page: paper, orientation,
// margins, resolution and the document's name.
QPaintDevice* TPrinter::openPdfWriter(QIODevice& file) {
  auto writer = std::make_unique<QPdfWriter>(&file);
  writer->setPageLayout(device_->pageLayout());
  writer->setResolution(device_->resolution());
  writer->setTitle(device_->docName());
  writer->setCreator(device_->creator());
  pdfWriter_ = std::move(writer);
  return pdfWriter_.get();
}

void TPrinter::commitPdfFile() {
  const std::unique_ptr<platform::ReplacingFile> file = std::move(pdfFile_);
  // Every write went straight to the disk, and any failure so far fails the commit. A
  // file not committed is thrown away with its object.
  if (!file->Commit()) throw PdfWriteFailed(OutputFileName(), file->Error());
}

// The temporary file goes when its object does, on every way out of here.
void TPrinter::spoolPage() {
  const std::unique_ptr<QTemporaryFile> file = std::move(spoolFile_);
  const QString queue = PrinterName();
  if (!file->flush() || file->error() != QFileDevice::NoError) throw EPrinter(printer_text::PageNotWritten.arg(queue));
  const TSpoolOutcome outcome = spooler_->Submit(queue, file->fileName(), title_, SpoolOptions(*device_));
  if (std::optional<EPrinter> refusal = SpoolRefusal(outcome, queue)) throw *refusal;
}

void TPrinter::EndDoc() {
  if (!Printing()) throw EPrinter(printer_text::NotPrinting);
  RunAbortProc();
  std::unique_ptr<QPainter> painter = std::move(painter_);
  painter->end();
  pdfWriter_.reset();
  if (pdfFile_) commitPdfFile();
  if (spoolFile_) spoolPage();
}

QPainter* TPrinter::Handle() {
  if (!Printing()) throw EPrinter(printer_text::NotPrinting);
  return painter_.get();
}

int TPrinter::Resolution() {
  ensureSelected();
  return device_->resolution();
}

QPoint TPrinter::PrintableOriginLoMetric() {
  ensureSelected();
  UsePrintableArea(*device_);
  const QRectF paint = device_->pageLayout().paintRect(QPageLayout::Millimeter);
  return QPoint(qRound(paint.left() * 10), qRound(paint.top() * 10));
}

void TPrinter::RunAbortProc() { QCoreApplication::processEvents(); }

QPrinter& TPrinter::Device() {
  ensureSelected();
  return *device_;
}

TPrinter* Printer() {
  std::unique_ptr<TPrinter>& printer = ThePrinter();
  if (!printer) printer = std::make_unique<TPrinter>();
  return printer.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> Value) {
  std::unique_ptr<TPrinter> previous = std::move(ThePrinter());
  ThePrinter() = std::move(Value);
  return previous;
}
