#pragma once
// The program's windows with a fresh printer object, pictures made on the fly and the
// dialogs scripted, for tests of the zoom and print commands as the windows show them.

#include "app/main_form.h"
#include "app/velarim_app.h"
#include "framework/application.h"
#include "framework/choice_controls.h"
#include "framework/menus.h"
#include "framework/printer.h"
#include "framework/std_controls.h"
#include "picture/file_formats.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "print/pages_dlg.h"
#include "support/scripted_dialogs.h"
#include "tools/sample_jpeg.h"
#include "zoom/monitor_form.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

class WindowsTest : public ::testing::Test {
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
    windows = CreateVelarimWindows();
    form = windows.Form1;
    previousPrinter = SetPrinter(std::make_unique<TPrinter>());
  }

  void TearDown() override {
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

  void Load(TImage* image, const QString& path) { image->Picture()->LoadFromFile(path); }

  // Chooses the format in the print format dialog when the job shows it.
  void ChooseFormat(std::function<TRadioButton*(TPagesDlg&)> choice) {
    dialogs.onShowModal = [choice](TForm& dialog) {
      auto& pages = static_cast<TPagesDlg&>(dialog);
      choice(pages)->SetChecked(true);
      pages.OKBtnClick(pages.OKBtn);
    };
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  VelarimWindows windows;
  TForm1* form = nullptr;
  std::unique_ptr<TPrinter> previousPrinter;
};
