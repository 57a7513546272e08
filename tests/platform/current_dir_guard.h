#pragma once
// Tests share one process, so a test that changes the current directory puts it back.

#include <fcntl.h>
#include <unistd.h>

class CurrentDirGuard {
 public:
  CurrentDirGuard() : fd_(open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
  ~CurrentDirGuard() {
    if (fd_ >= 0) {
      [[maybe_unused]] const int ignored = fchdir(fd_);
      close(fd_);
    }
  }
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

 private:
  int fd_;
};
