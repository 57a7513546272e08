// Shows a message box as the program's error report looks (stop icon, one OK button,
// the Fusion style), so that a test can compare the program's box with it pixel by
// pixel on the same display. Usage: e2e_message_box CAPTION TEXT
#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) return 2;
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]), QMessageBox::Ok);
  box.exec();
  return 0;
}
