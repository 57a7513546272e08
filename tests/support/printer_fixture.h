#pragma once
// A test that prints: the application with the JPEG kind, a fresh printer object, the
// dialogs scripted, and a temporary folder for the pictures made on the fly and the
// pages printed (VELARIM_KEEP_PAGES=1 keeps it and says where it is).

#include "framework/application.h"
#include "framework/printer.h"
#include "picture/file_formats.h"
#include "support/scripted_dialogs.h"
#include "tools/sample_jpeg.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

class PrinterFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
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

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TPrinter> previousPrinter;
  bool started = false;
};
