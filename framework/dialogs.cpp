#include "framework/dialogs.h"

#include <QMessageBox>

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

DialogService* installedService = nullptr;

}  // namespace

int QtDialogService::MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                                MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons), owner);
  return FromQtButton(box.exec());
}

DialogService& Dialogs() {
  static QtDialogService qtService;
  return installedService ? *installedService : qtService;
}

DialogService* SetDialogService(DialogService* service) {
  DialogService* previous = installedService;
  installedService = service;
  return previous;
}
