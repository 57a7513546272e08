// Every test executable runs inside one Qt application on the offscreen platform, so
// widgets, fonts and images behave as in the program without a display; a test that
// needs the program's application object makes it with CreateApplication(). A message
// box that a test did not script fails that test instead of waiting for a click.
#include "framework/application.h"
#include "framework/dialogs.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  EventLoopApplication app(argc, argv);
  UnexpectedDialogs dialogs;
  SetDialogService(&dialogs);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  DestroyApplication();
  return result;
}
