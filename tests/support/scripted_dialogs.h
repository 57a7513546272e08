#pragma once
// A dialog service for tests: records every message box and answers from a script
// (OK when the script is empty), so no test waits in a modal loop.

#include "framework/dialogs.h"

#include <QString>

#include <deque>
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

  std::vector<ShownMessage> shown;
  std::deque<int> answers;

 private:
  DialogService* previous_;
};
