#pragma once
// A dialog service for tests: records every message box and answers from a script
// (OK when the script is empty), so no test waits in a modal loop.

#include "framework/dialogs.h"

class QPrinter;
class TForm;

#include <QString>

#include <deque>
#include <functional>
#include <vector>

struct ShownMessage {
  QString text;
  QString caption;
  MessageIcon icon;
};

class ScriptedDialogs : public DialogService {
 public:
  ScriptedDialogs() { previous_ = SetDialogService(this); }
  ~ScriptedDialogs() override { SetDialogService(previous_); }

  int MessageBox(QWidget*, const QString& text, const QString& caption, MessageIcon icon, MessageButtons) override {
    shown.push_back({text, caption, icon});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // A modal form is recorded and closes at once, unless onShowModal does something with it.
  void ShowModal(TForm& form) override {
    modalForms.push_back(&form);
    if (onShowModal) onShowModal(form);
  }

  // The print dialog is cancelled unless onPrintDialog answers (and may change the printer).
  bool ExecutePrintDialog(QPrinter& printer, QWidget*) override {
    ++printDialogs;
    return onPrintDialog ? onPrintDialog(printer) : false;
  }

  std::vector<ShownMessage> shown;
  std::deque<int> answers;
  std::vector<TForm*> modalForms;
  std::function<void(TForm&)> onShowModal;
  int printDialogs = 0;
  std::function<bool(QPrinter&)> onPrintDialog;

 private:
  DialogService* previous_;
};
