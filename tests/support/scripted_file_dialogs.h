#pragma once
// A file dialog service for tests: records every request and answers from a script;
// an answer may act on the files first, as a user would in the dialog's context menu.

#include "actions/file_dialogs.h"

#include <deque>
#include <functional>
#include <vector>

struct FileDialogAnswer {
  bool confirm = false;
  QString fileName;                 // the chosen file when confirming
  std::function<void()> meanwhile;  // what the user does in the dialog
};

class ScriptedFileDialogs : public FileDialogService {
 public:
  ScriptedFileDialogs() { previous_ = platform::SetFileDialogService(this); }
  ~ScriptedFileDialogs() override { platform::SetFileDialogService(previous_); }

  bool Execute(QWidget*, FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return false;
    const FileDialogAnswer answer = answers.front();
    answers.pop_front();
    if (answer.meanwhile) answer.meanwhile();
    if (answer.confirm) request.fileName = answer.fileName;
    return answer.confirm;
  }

  std::vector<FileDialogRequest> requests;
  std::deque<FileDialogAnswer> answers;

 private:
  FileDialogService* previous_;
};
