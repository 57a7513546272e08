// Printing a sheet of four 24-megapixel slides to a PDF file through the program's print
// command, against a bare libjpeg decode of the same four files.
//
// Usage: bench_print_sheet [four JPEG files]. Without files it makes four pictures with
// the texture of photographs (smooth shading, edges and grain; about 6 MB each at
// quality 90). It keeps the PDF it wrote and prints its path.
//
// Goals: the whole job takes at most 2.3 times the bare decode, peaks at 400 MB or
// less, and writes a PDF no larger than the four source files together.

#include "app/main_form.h"
#include "bench/bare_decode.h"
#include "bench/bench_files.h"
#include "bench/bench_timing.h"
#include "bench/photo_like.h"
#include "app/velarim_app.h"
#include "framework/application.h"
#include "framework/choice_controls.h"
#include "framework/dialogs.h"
#include "framework/printer.h"
#include "picture/file_formats.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "picture/picture_bitmap.h"
#include "print/bitmap_transfer.h"
#include "print/pages_dlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

int64_t StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::strtoll(line.c_str() + std::strlen(field), nullptr, 10);
  }
  return -1;
}

// Answers the print command's dialogs as a user printing the landscape slides would.
class SlideSheetAnswers : public DialogService {
 public:
  explicit SlideSheetAnswers(QString pdf) : pdf_(std::move(pdf)) {}
  int MessageBox(QWidget*, const QString& text, const QString&, MessageIcon, MessageButtons) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return IDOK;
  }
  void ShowModal(TForm& form) override {
    auto& pages = static_cast<TPagesDlg&>(form);
    pages.BorRadio4->SetChecked(true);
  }
  bool ExecutePrintDialog(QPrinter& printer, QWidget*) override {
    printer.setOutputFileName(pdf_);
    return true;
  }

 private:
  QString pdf_;
};

// The job's two passes over each picture, measured alone: decoding it into the print
// source's bitmap, and the bitmap transfer (converting, turning bottom-up and averaging
// down to 600 pixels per inch, then drawing) onto a PDF page at a slide's size.
void PrintPassTimes(const QStringList& files, const QString& pdf) {
  QPdfWriter writer(pdf);
  writer.setResolution(1200);
  QPainter page(&writer);
  SetMapModeLoMetric(page, 1200, 1200);
  double decode = 0;
  double transfer = 0;
  for (const QString& name : files) {
    TPicture source;
    source.LoadFromFile(name);
    TPicture printed;
    decode += SecondsOf([&] { PictureToBitmap(source, *printed.Bitmap()); });
    transfer += SecondsOf([&] { TransferBitmap(page, 50, -25, 1300, -900, *printed.Bitmap()); });
  }
  std::printf("passes, each alone: decoding into bitmaps %.0f ms, bitmap transfer %.0f ms\n", decode * 1000,
              transfer * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  EventLoopApplication app(argc, argv);
  const QString folder = QDir::temp().filePath(QStringLiteral("velarim-bench-print"));
  QDir().mkpath(folder);
  // The windows keep their placement in the profile folder: this run's own, not the person's.
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir(folder).filePath(QStringLiteral("profile"))));

  QStringList files;
  for (int i = 1; i < argc; ++i) files << QString::fromLocal8Bit(argv[i]);
  if (files.isEmpty()) {
    for (unsigned i = 0; i < 4; ++i) {
      files << WriteBenchFile(QDir(folder).filePath(QStringLiteral("slide%1.jpg").arg(i)), MakePhotoLikeJpeg(kWidth, kHeight, i + 1));
    }
    // The pictures were made in this process; measure the job in a fresh one.
    std::vector<std::string> args{argv[0]};
    for (const QString& f : files) args.push_back(f.toStdString());
    std::vector<char*> argvNew;
    for (std::string& a : args) argvNew.push_back(a.data());
    argvNew.push_back(nullptr);
    std::fflush(stdout);
    execv("/proc/self/exe", argvNew.data());
    std::perror("execv");
    return 1;
  }
  if (files.size() != 4) {
    std::fprintf(stderr, "give four JPEG files, or none\n");
    return 2;
  }

  const QString pdf = QDir(folder).filePath(QStringLiteral("sheet.pdf"));
  QFile::remove(pdf);
  SlideSheetAnswers answers(pdf);
  SetDialogService(&answers);
  InitializeJpegKind();
  CreateApplication()->SetExeName(QDir(folder).filePath(QStringLiteral("Velarim")));
  VelarimWindows windows = CreateVelarimWindows();
  TForm1* form = windows.Form1;
  Printer()->SetPrinterName(kPdfPrinterName);

  // Files are read as the program reads them: the preview and the four slides.
  form->Image3->Picture()->LoadFromFile(files[0]);
  TImage* slides[] = {form->Image4, form->Image2, form->Image5, form->Image6};
  for (int i = 0; i < 4; ++i) slides[i]->Picture()->LoadFromFile(files[i]);

  const int64_t residentBefore = StatusKilobytes("VmRSS:");
  const auto start = std::chrono::steady_clock::now();
  form->Drucken2Click(nullptr);
  const double jobSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int64_t peak = StatusKilobytes("VmHWM:");

  double decodeSeconds = 0;
  double warmSeconds = 0;  // into buffers already in memory
  int64_t sourceBytes = 0;
  for (const QString& name : files) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const QByteArray bytes = file.readAll();
    sourceBytes += bytes.size();
    const auto decodeStart = std::chrono::steady_clock::now();
    DecodeBare(bytes);
    decodeSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - decodeStart).count();
    BareBuffer warm(BarePictureBytes(bytes));
    warm.Prefault();
    const auto warmStart = std::chrono::steady_clock::now();
    DecodeBare(bytes, &warm);
    warmSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - warmStart).count();
  }
  const int64_t pdfBytes = QFileInfo(pdf).size();

  std::printf("four slides: %s ... (%.1f MB of JPEG)\n", qPrintable(files[0]), sourceBytes / 1e6);
  std::printf("print job to PDF:    %.0f ms\n", jobSeconds * 1000);
  std::printf("bare libjpeg decode: %.0f ms for the four files\n", decodeSeconds * 1000);
  std::printf("time ratio: %.2f (goal 2.3 or less)\n", jobSeconds / decodeSeconds);
  std::printf("bare decode into buffers already in memory: %.0f ms, ratio %.2f\n", warmSeconds * 1000,
              jobSeconds / warmSeconds);
  std::printf("peak memory: %.0f MB resident at the peak, %.0f MB before the job (goal 400 MB or less)\n",
              peak / 1024.0, residentBefore / 1024.0);
  std::printf("PDF: %.1f MB = %.2f x the source files (goal 1.0 or less)\n", pdfBytes / 1e6,
              static_cast<double>(pdfBytes) / static_cast<double>(sourceBytes));
  std::printf("PDF kept at %s\n", qPrintable(pdf));
  PrintPassTimes(files, QDir(folder).filePath(QStringLiteral("passes.pdf")));
  DestroyApplication();
  FinalizeJpegKind();
  return 0;
}
