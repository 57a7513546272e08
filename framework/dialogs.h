#pragma once
// Modal dialogs go through this service, so that tests can script the answers and no
// test ever waits in a modal loop.

#include <QString>

#include <exception>

class QPrinter;
class QWidget;
class TForm;

enum class MessageIcon { None, Error, Warning, Information, Question };

enum MessageButton : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

enum class MessageButtons { Ok, OkCancel, YesNo };

class DialogService {
 public:
  virtual ~DialogService() = default;
  // Shows a modal message box and returns the pressed button.
  virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                         MessageButtons buttons) = 0;
  // Shows a form modally and returns when it has been hidden again.
  virtual void ShowModal(TForm& form) = 0;
  // The print dialog on printer; true when the user confirmed (printer then holds the
  // choice: printer or output file, orientation, copies). An output file that exists
  // already is only confirmed after the user has agreed to replace it.
  virtual bool ExecutePrintDialog(QPrinter& printer, QWidget* owner) = 0;
};

// The Qt message boxes.
class QtDialogService : public DialogService {
 public:
  int MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                 MessageButtons buttons) override;
  void ShowModal(TForm& form) override;
  bool ExecutePrintDialog(QPrinter& printer, QWidget* owner) override;
};

DialogService& Dialogs();
// Installs another service (tests); returns the previous one. Not owned.
DialogService* SetDialogService(DialogService* service);

// The text of the error report: a "." is appended when the message is not empty and
// its last character comes after "." in character order.
QString ErrorReportText(const QString& message);
// The error report for an error that escaped a handler: nothing for a silent abort, else
// its message in an error box.
void ShowErrorReport(QWidget* owner, const QString& title, const std::exception& error);
