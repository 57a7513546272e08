// Every test executable runs inside one Qt application on the offscreen platform, so
// widgets, fonts and images behave as in the program without a display; a test that
// needs the program's application object makes it with CreateApplication(). A message
// box that a test did not script fails that test instead of waiting for a click.
#include "framework/application.h"
#include "framework/dialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class UnexpectedDialogs : public DialogService {
 public:
  int MessageBox(QWidget*, const QString& text, const QString& caption, MessageIcon, MessageButtons) override {
    ADD_FAILURE() << "unexpected message box \"" << caption.toStdString() << "\": " << text.toStdString();
    return IDOK;
  }
  void ShowModal(TForm&) override { ADD_FAILURE() << "unexpected modal form"; }
  bool ExecutePrintDialog(QPrinter&, QWidget*) override {
    ADD_FAILURE() << "unexpected print dialog";
    return false;
  }
};

// CTest gives every test a home of its own. A test executable started by hand gets a
// temporary one, so no run ever writes into the home of the person running it.
void UseTemporaryHome(const QTemporaryDir& home) {
  const QByteArray path = QFile::encodeName(home.path());
  qputenv("HOME", path);
  qputenv("XDG_CONFIG_HOME", path + "/.config");
  qputenv("XDG_DATA_HOME", path + "/.local/share");
  qputenv("XDG_CACHE_HOME", path + "/.cache");
  qputenv("XDG_STATE_HOME", path + "/.local/state");
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir temporaryHome;
  if (!qEnvironmentVariableIsSet("VELARIM_IN_TEST_HOME")) UseTemporaryHome(temporaryHome);
  EventLoopApplication app(argc, argv);
  UnexpectedDialogs dialogs;
  SetDialogService(&dialogs);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  DestroyApplication();
  return result;
}
