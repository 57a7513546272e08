#include "platform/replacing_file.h"

#include "platform/file_system.h"
#include "platform/posix_io.h"

#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray FolderOfNative(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return QByteArrayLiteral(".");
  return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A hidden name beside the target, so a file manager does not offer the half-written
// copy; kept short so a target of the longest allowed name still gets one.
QByteArray TemporaryNameBeside(const QByteArray& target) {
  const QByteArray random = QByteArray::number(QRandomGenerator::global()->generate64(), 36);
  return FolderOfNative(target) + "/.velarim-" + random + ".part";
}

// Some file systems cannot sync a folder and say so with EINVAL.
bool SyncFolderOf(const QByteArray& target) {
  const int folder = ::open(FolderOfNative(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return false;
  const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
  ::close(folder);
  return synced;
}

}  // namespace

ReplacingFile::ReplacingFile(QString target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::fail() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  discard();
  return false;
}

void ReplacingFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
  temporary_.clear();
  if (isOpen()) QIODevice::close();
}

bool ReplacingFile::open(OpenMode mode) {
  if ((mode & ReadOnly) || isOpen()) return false;
  const std::optional<QByteArray> native = NativePath(target_);
  if (!native || native->isEmpty()) {
    error_ = ENOENT;
    return false;
  }
  nativeTarget_ = *native;
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temporary_ = TemporaryNameBeside(nativeTarget_);
    fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    return fail();
  }
  return QIODevice::open(mode | Unbuffered);
}

qint64 ReplacingFile::writeData(const char* data, qint64 size) {
  if (fd_ < 0 || error_ != 0) return -1;
  const PosixTransfer written = WriteFully(fd_, data, size);
  if (written.failed) {
    error_ = errno;
    return -1;
  }
  return written.done;
}

bool ReplacingFile::Commit() {
  if (fd_ < 0 || error_ != 0) return fail();
  if (::fsync(fd_) != 0) return fail();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail();
  if (::rename(temporary_.constData(), nativeTarget_.constData()) != 0) return fail();
  temporary_.clear();
  QIODevice::close();
  if (!SyncFolderOf(nativeTarget_)) {
    error_ = errno;
    return false;
  }
  return true;
}

void ReplacingFile::close() { discard(); }

}  // namespace platform
