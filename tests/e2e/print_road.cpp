#include "print_road.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace e2e {

const QString kFormatDialogTitle = QStringLiteral("Arbeitsblattdialog mit Seitenregistern");
const QString kPrintDialogTitle = QStringLiteral("Drucken");

namespace {

// In the print format dialog, in window coordinates: the rows of "Kleinbild 9 cm x 13 cm
// quer", "Kleinbild 13 cm x 9 cm hoch" and "auf ganze Seite DINA4 drucken", with the
// middles of their round indicators and the start of their captions.
constexpr int kIndicatorX = 36;
constexpr int kCaptionX = 80;
constexpr int kLandscapeSlidesRow = 67;
constexpr int kPortraitSlidesRow = 91;
constexpr int kWholePageRow = 115;

int RowOf(PrintFormat format) {
  return format == PrintFormat::LandscapeSlides ? kLandscapeSlidesRow : kPortraitSlidesRow;
}

}  // namespace

QImage QuadrantPicture(QSize size, const printprobe::Quadrants& quadrants) {
  QImage image(size, QImage::Format_RGB32);
  const int w = size.width() / 2, h = size.height() / 2;
  QPainter painter(&image);
  painter.fillRect(0, 0, w, h, quadrants.topLeft);
  painter.fillRect(w, 0, size.width() - w, h, quadrants.topRight);
  painter.fillRect(0, h, w, size.height() - h, quadrants.bottomLeft);
  painter.fillRect(w, h, size.width() - w, size.height() - h, quadrants.bottomRight);
  return image;
}

std::optional<Window> PrintRoad::throughFormatDialog(const std::function<bool(unsigned long dialog)>& prepare) {
  if (!display_.Focus(main_)) return std::nullopt;
  display_.Key(QStringLiteral("ctrl+d"));
  const std::optional<Window> dialog = velarim_.WaitForWindow(kFormatDialogTitle, QString(), 30s);
  if (!dialog || !display_.Focus(*dialog)) return std::nullopt;
  if (prepare && !prepare(dialog->id)) return std::nullopt;
  display_.Key(QStringLiteral("Return"));
  if (!velarim_.WaitForWindowGone(dialog->id, 30s)) return std::nullopt;
  // The zoom command renders the preview before the print dialog comes.
  const std::optional<Window> print = velarim_.WaitForWindow(kPrintDialogTitle, QStringLiteral("dialog"), 60s);
  if (print) display_.Focus(*print);
  return print;
}

std::optional<Window> PrintRoad::openPrintDialog() { return throughFormatDialog(nullptr); }

std::optional<Window> PrintRoad::openPrintDialog(PrintFormat format, bool chooseIt) {
  return throughFormatDialog([&](unsigned long dialog) {
    if (chooseIt && !choose(dialog, format)) {
      ADD_FAILURE() << "the format dialog does not show the format chosen";
      return false;
    }
    if (!chooseIt && !WaitUntil([&] { return shownChecked(dialog, format); }, 10s)) {
      ADD_FAILURE() << "the format dialog forgot the format chosen last";
    }
    return true;
  });
}

bool PrintRoad::printFrom(const std::optional<Window>& print, const QString& pdf) {
  if (!print || !display_.Focus(*print)) return false;
  display_.Key(QStringLiteral("Return"));
  return WaitUntil([&] { return PdfComplete(pdf); }, 60s) && velarim_.WaitForWindowGone(print->id, 30s);
}

bool PrintRoad::printToPdf(PrintFormat format, bool chooseIt, const QString& pdf) {
  return printFrom(openPrintDialog(format, chooseIt), pdf);
}

bool PrintRoad::printToPdfByKeys(PrintFormat format, const QString& pdf) {
  return printFrom(throughFormatDialog([&](unsigned long dialog) {
                     if (chooseByKeys(dialog, format)) return true;
                     ADD_FAILURE() << "the format cannot be checked by keys";
                     return false;
                   }),
                   pdf);
}

QString PrintRoad::firstPdf() const { return QDir(velarim_.HomeDir()).filePath(QStringLiteral("Velarim.pdf")); }

QImage PrintRoad::rasterised(const QString& pdf) {
  if (qEnvironmentVariableIsSet("E2E_KEEP_PAGES") && work_.autoRemove()) {
    work_.setAutoRemove(false);
    std::printf("pages kept in %s\n", qPrintable(work_.path()));
  }
  return printprobe::RasterisePdf(pdf, work_.filePath(QStringLiteral("page%1").arg(++pages_)));
}

QImage PrintRoad::printedPage(PrintFormat format, bool chooseIt) {
  return printToPdf(format, chooseIt, firstPdf()) ? rasterised(firstPdf()) : QImage();
}

QImage PrintRoad::printedPageByKeys(PrintFormat format) {
  return printToPdfByKeys(format, firstPdf()) ? rasterised(firstPdf()) : QImage();
}

bool PrintRoad::chooseByKeys(unsigned long dialog, PrintFormat format) const {
  // The slide formats stand at the top of the list: the up arrow passes the portrait one
  // on its way to the landscape one.
  for (int tab = 0; tab < 6; ++tab) {
    for (int step = 0; step < 5; ++step) {
      display_.Key(QStringLiteral("Up"));
      if (WaitUntil([&] { return shownChecked(dialog, format); }, 500ms)) return true;
    }
    display_.Key(QStringLiteral("Tab"));
  }
  return false;
}

std::optional<Window> PrintRoad::otherWindow(const QString& title, const std::vector<unsigned long>& besides) const {
  for (const Window& window : velarim_.VisibleWindows()) {
    if (window.title == title && std::find(besides.begin(), besides.end(), window.id) == besides.end()) return window;
  }
  return std::nullopt;
}

bool PrintRoad::shownChecked(unsigned long dialog, PrintFormat format) const {
  const std::optional<Window> now = display_.Describe(dialog);
  if (!now) return false;
  const QImage shot = display_.Screenshot(now->geometry);
  const auto dotted = [&](int row) {
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) darkest = std::min(darkest, qGray(shot.pixel(kIndicatorX + dx, row + dy)));
    }
    return darkest < 128;
  };
  for (int row : {kLandscapeSlidesRow, kPortraitSlidesRow, kWholePageRow}) {
    if (dotted(row) != (row == RowOf(format))) return false;
  }
  return true;
}

bool PrintRoad::choose(unsigned long dialog, PrintFormat format) const {
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::optional<Window> now = display_.Describe(dialog);
    if (!now) return false;
    display_.Click(now->geometry.topLeft() + QPoint(kCaptionX, RowOf(format)));
    if (WaitUntil([&] { return shownChecked(dialog, format); }, 5s)) return true;
  }
  return false;
}

}  // namespace e2e
