#pragma once
// The print job with a fresh printer object, its pictures made on the fly and the print
// dialog scripted, for tests that print whole pages. No window of the program is made:
// the job gets its pictures as plain values.

#include "framework/application.h"
#include "framework/printer.h"
#include "picture/bitmap.h"
#include "picture/file_formats.h"
#include "picture/picture.h"
#include "print/print_job.h"
#include "support/scripted_dialogs.h"
#include "tools/sample_jpeg.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

class PrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // For a look at the printed pages: keep them and say where they are.
    if (qEnvironmentVariableIsSet("VELARIM_KEEP_PAGES")) {
      dir.setAutoRemove(false);
      std::printf("pages kept in %s\n", qPrintable(dir.path()));
    }
    InitializeJpegKind();
    CreateApplication()->SetExeName(dir.filePath(QStringLiteral("Velarim")));
    previousPrinter = SetPrinter(std::make_unique<TPrinter>());
    started = true;
  }

  void TearDown() override {
    if (!started) return;
    SetPrinter(std::move(previousPrinter));
    DestroyApplication();
    FinalizeJpegKind();
  }

  // A JPEG file of the quadrant pattern.
  QString MakePicture(const QString& name, int width, int height) {
    SampleJpegOptions options;
    options.width = width;
    options.height = height;
    const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
  }

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

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  TPicture preview;
  std::array<TPicture, 4> layout1;
  std::array<TPicture, 4> layout2;
  TBitmap lastRendered;
  std::unique_ptr<TPrinter> previousPrinter;
  bool started = false;
};
