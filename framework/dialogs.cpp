#include "framework/dialogs.h"

#include "framework/form.h"
#include "platform/errors.h"
#include "platform/installed_service.h"

#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

int FromQtButton(int button) {
  switch (button) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
  }
}

platform::InstalledService<DialogService, QtDialogService> dialogs;

// Ends a modal loop when the watched window is hidden (by its OK button or close box).
class HideWatcher : public QObject {
 public:
  explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) loop_.quit();
    return false;
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

int QtDialogService::MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                                MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons), owner);
  return FromQtButton(box.exec());
}

void QtDialogService::ShowModal(TForm& form) {
  QWidget* window = form.Widget();
  window->setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  HideWatcher watcher(loop);
  window->installEventFilter(&watcher);
  form.Show();
  if (window->isVisible()) loop.exec();
  window->removeEventFilter(&watcher);
  window->setWindowModality(Qt::NonModal);
}

bool QtDialogService::ExecutePrintDialog(QPrinter& printer, QWidget* owner) {
  QPrintDialog dialog(&printer, owner);
  // One page is printed, always whole: no page range, no selection, no current page.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  // Qt's dialog asks itself before it accepts an output file that exists.
  return dialog.exec() == QDialog::Accepted;
}

DialogService& Dialogs() { return dialogs.Get(); }

DialogService* SetDialogService(DialogService* service) { return dialogs.Install(service); }

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ShowErrorReport(QWidget* owner, const QString& title, const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  const auto* own = dynamic_cast<const Exception*>(&error);
  const QString message = own ? own->Message() : QString::fromLocal8Bit(error.what());
  Dialogs().MessageBox(owner, ErrorReportText(message), title, MessageIcon::Error, MessageButtons::Ok);
}
