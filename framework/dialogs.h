#pragma once
// Modal dialogs go through this service, so that tests can script the answers and no
// test ever waits in a modal loop.

#include <QString>

class QWidget;

enum class MessageIcon { None, Error, Warning, Information, Question };

enum MessageButton : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

enum class MessageButtons { Ok, OkCancel, YesNo };

class DialogService {
 public:
  virtual ~DialogService() = default;
  // Shows a modal message box and returns the pressed button.
  virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                         MessageButtons buttons) = 0;
};

// The Qt message boxes.
class QtDialogService : public DialogService {
 public:
  int MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
                 MessageButtons buttons) override;
};

DialogService& Dialogs();
// Installs another service (tests); returns the previous one. Not owned.
DialogService* SetDialogService(DialogService* service);
