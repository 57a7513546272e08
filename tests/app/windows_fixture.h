#pragma once
// The program's windows with a fresh printer object, pictures made on the fly and the
// dialogs scripted, for tests of the zoom and print commands as the windows show them.

#include "app/main_form.h"
#include "app/velarim_app.h"
#include "framework/choice_controls.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "print/pages_dlg.h"
#include "support/printer_fixture.h"
#include "zoom/monitor_form.h"

#include <QPrinter>

#include <functional>

class WindowsTest : public PrinterFixture {
 protected:
  void SetUp() override {
    PrinterFixture::SetUp();
    if (HasFatalFailure()) return;
    windows = CreateVelarimWindows();
    form = windows.Form1;
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

  VelarimWindows windows;
  TForm1* form = nullptr;
};
