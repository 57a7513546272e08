#include "platform/posix_io.h"

#include <cerrno>

#include <unistd.h>

namespace platform {
namespace {

// move is read or write; it returns what the system call returned.
template <typename Move>
PosixTransfer Repeat(int64_t count, Move move) {
  PosixTransfer transfer;
  while (transfer.done < count) {
    const ssize_t n = move(transfer.done, static_cast<size_t>(count - transfer.done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      transfer.failed = true;
      break;
    }
    if (n == 0) {
      break;
    }
    transfer.done += n;
  }
  return transfer;
}

}  // namespace

PosixTransfer ReadFully(int fd, void* buffer, int64_t count) {
  auto* bytes = static_cast<char*>(buffer);
  return Repeat(count, [&](int64_t at, size_t size) { return ::read(fd, bytes + at, size); });
}

PosixTransfer WriteFully(int fd, const void* buffer, int64_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  PosixTransfer transfer = Repeat(count, [&](int64_t at, size_t size) { return ::write(fd, bytes + at, size); });
  if (transfer.done < count) {
    transfer.failed = true;
  }
  return transfer;
}

}  // namespace platform
