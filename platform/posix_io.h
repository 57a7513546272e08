#pragma once
// Whole transfers on a file descriptor: read(2) and write(2) may move fewer bytes than
// asked, or be interrupted by a signal before moving any; these repeat until done.

#include <cstdint>

namespace platform {

struct PosixTransfer {
  int64_t done = 0;     // bytes moved
  bool failed = false;  // an error (errno tells which) ended the transfer early
};

// Reads until count bytes are in, the end of the file is reached or an error occurs.
PosixTransfer ReadFully(int fd, void* buffer, int64_t count);

// Writes until count bytes are out or an error occurs (a write that moves nothing
// counts as one).
PosixTransfer WriteFully(int fd, const void* buffer, int64_t count);

}  // namespace platform
