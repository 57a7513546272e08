#pragma once
// A main window over a temporary program folder, with a temporary folder of pictures as
// the current folder while the test runs; the application and the current folder are put
// back afterwards, so no test sees another's window or folder.

#include "app/main_form.h"
#include "framework/application.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class MainFormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    startDir_ = QDir::currentPath();
    ASSERT_TRUE(programDir_.isValid());
    ASSERT_TRUE(pictures_.isValid());
    QDir::setCurrent(pictures_.path());
  }
  void TearDown() override {
    DestroyApplication();
    QDir::setCurrent(startDir_);
  }

  // The main window of a program started from the temporary program folder.
  void createMainForm() {
    CreateApplication()->SetExeName(programDir_.path() + QStringLiteral("/Velarim"));
    form_ = Application()->CreateForm<TForm1>();
  }

  QTemporaryDir programDir_;
  QTemporaryDir pictures_;
  QString startDir_;
  TForm1* form_ = nullptr;
};
