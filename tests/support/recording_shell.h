#pragma once
// A shell opener for tests: records every url it was asked to open and starts nothing.

#include "actions/shell_opener.h"

#include <vector>

class RecordingShell : public ShellOpener {
 public:
  RecordingShell() { previous_ = platform::SetShellOpener(this); }
  ~RecordingShell() override { platform::SetShellOpener(previous_); }

  bool OpenUrl(const QUrl& url) override {
    opened.push_back(url);
    return true;
  }

  std::vector<QUrl> opened;

 private:
  ShellOpener* previous_;
};
