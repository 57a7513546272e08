#include "actions/file_copy.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"
#include "platform/posix_io.h"
#include "platform/replacing_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString CannotSaveText(const QString& target) {
  return QStringLiteral("%1 kann nicht gespeichert werden").arg(platform::ReadableText(target));
}

// Names are bytes: both files are opened and compared by their own, never by a decoding.
class SourceFile {
 public:
  explicit SourceFile(const QString& path) {
    const std::optional<QByteArray> native = platform::NativePath(path);
    // Non-blocking, so that a FIFO in place of the photo cannot hang the program.
    if (native) fd_ = ::open(native->constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ >= 0 && (::fstat(fd_, &info_) != 0 || !S_ISREG(info_.st_mode))) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~SourceFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  bool Open() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  bool IsAt(const QString& path) const {
    const std::optional<QByteArray> native = platform::NativePath(path);
    struct stat other {};
    return native && ::stat(native->constData(), &other) == 0 && other.st_dev == info_.st_dev &&
           other.st_ino == info_.st_ino;
  }

 private:
  int fd_ = -1;
  struct stat info_ {};
};

}  // namespace

void SaveCopyOfFile(const QString& source, const QString& target) {
  if (source.isEmpty() || target.isEmpty()) return;
  const SourceFile input(source);
  if (!input.Open()) throw Exception(CannotSaveText(target));
  if (input.IsAt(target)) {
    throw Exception(QStringLiteral("%1 kann nicht auf sich selbst kopiert werden").arg(platform::ReadableText(target)));
  }
  platform::ReplacingFile output(target);
  if (!output.open(QIODevice::WriteOnly)) {
    throw Exception(platform::WithWriteFailureReason(CannotSaveText(target), output.Error()));
  }
  constexpr int64_t kChunk = 1 << 20;
  QByteArray chunk(kChunk, Qt::Uninitialized);
  for (;;) {
    const platform::PosixTransfer read = platform::ReadFully(input.Fd(), chunk.data(), kChunk);
    if (read.failed) throw Exception(CannotSaveText(target));  // the output is dropped
    if (read.done > 0 && output.write(chunk.constData(), read.done) != read.done) break;
    if (read.done < kChunk) break;
  }
  if (!output.Commit()) throw Exception(platform::WithWriteFailureReason(CannotSaveText(target), output.Error()));
}
