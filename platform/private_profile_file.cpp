#include "platform/private_profile_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::profile_file {
namespace {

std::optional<ReplaceStep>& injectedFailure() {
  static std::optional<ReplaceStep> step;
  return step;
}

bool FailureInjected(ReplaceStep step) {
  if (injectedFailure() != step) {
    return false;
  }
  errno = EIO;
  return true;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closing reports write errors that some file systems (NFS) only give at close.
  bool Close() {
    if (fd_ < 0) {
      return true;
    }
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// The temporary file that becomes the new profile file; removed unless renamed.
class TemporaryFile {
 public:
  TemporaryFile(QByteArray path, int fd) : path_(std::move(path)), fd_(fd) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    fd_.Close();
    if (!renamed_) {
      ::unlink(path_.constData());
    }
  }

  int Fd() const { return fd_.Get(); }
  bool Close() { return fd_.Close(); }
  bool RenameTo(const QByteArray& target) {
    if (FailureInjected(ReplaceStep::Rename) || ::rename(path_.constData(), target.constData()) != 0) {
      return false;
    }
    renamed_ = true;
    return true;
  }

 private:
  QByteArray path_;
  FileDescriptor fd_;
  bool renamed_ = false;
};

QByteArray FolderOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) {
    return ".";
  }
  return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray BaseNameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// A link to the profile file is followed, so the link survives the rename.
QByteArray ResolvedTarget(const QByteArray& path) {
  struct stat info {};
  if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return path;
  }
  char resolved[PATH_MAX];
  return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : path;
}

std::unique_ptr<TemporaryFile> CreateTemporaryBeside(const QByteArray& target) {
  if (FailureInjected(ReplaceStep::CreateTemporary)) {
    return nullptr;
  }
  // The base name is shortened so that the temporary name stays within NAME_MAX.
  const QByteArray prefix = FolderOf(target) + "/." + BaseNameOf(target).left(64) + ".tmp-";
  for (int attempt = 0; attempt < 16; ++attempt) {
    const QByteArray path = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return std::make_unique<TemporaryFile>(path, fd);
    }
    if (errno != EEXIST) {
      return nullptr;
    }
  }
  return nullptr;
}

bool WriteAll(int fd, QByteArrayView bytes) {
  if (FailureInjected(ReplaceStep::WriteData)) {
    return false;
  }
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, static_cast<size_t>(bytes.size() - written));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    written += n;
  }
  return true;
}

// Owner first: a change of owner clears set-id bits, which the mode then restores.
bool KeepAttributes(int fd, const std::optional<struct stat>& old) {
  if (!old) {
    return true;
  }
  if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
    // Only root may give the file away; everyone else keeps the new file as theirs.
    [[maybe_unused]] const int ignored = ::fchown(fd, old->st_uid, old->st_gid);
  }
  return ::fchmod(fd, old->st_mode & 07777) == 0;
}

bool SyncData(int fd) { return !FailureInjected(ReplaceStep::SyncData) && ::fsync(fd) == 0; }

// Some file systems cannot sync a folder and say so with EINVAL; nothing more can be
// done there.
bool SyncFolder(int folderFd) {
  if (FailureInjected(ReplaceStep::SyncFolder)) {
    return false;
  }
  return ::fsync(folderFd) == 0 || errno == EINVAL;
}

// The old file's status, nothing when there is none; false when the target cannot be
// replaced (not a regular file, not writable by us, or not examinable).
bool InspectTarget(const QByteArray& target, std::optional<struct stat>& old) {
  struct stat info {};
  if (::stat(target.constData(), &info) != 0) {
    return errno == ENOENT;
  }
  if (!S_ISREG(info.st_mode) || ::access(target.constData(), W_OK) != 0) {
    return false;
  }
  old = info;
  return true;
}

}  // namespace

ReadStatus ReadWholeFile(const QString& fileName, QByteArray& bytes) {
  // Non-blocking, so that a FIFO in place of the file cannot hang the program.
  const FileDescriptor fd(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.Valid()) {
    return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxProfileFileSize) {
    return ReadStatus::Failed;
  }
  QByteArray data;
  data.reserve(static_cast<qsizetype>(info.st_size));
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 || data.size() + n > kMaxProfileFileSize) {
      return ReadStatus::Failed;
    }
    if (n == 0) {
      break;
    }
    data.append(chunk, n);
  }
  bytes = std::move(data);
  return ReadStatus::Read;
}

bool ReplaceFileAtomically(const QString& fileName, QByteArrayView bytes) {
  if (fileName.isEmpty()) {
    return false;
  }
  const QByteArray target = ResolvedTarget(QFile::encodeName(fileName));
  std::optional<struct stat> old;
  if (!InspectTarget(target, old)) {
    return false;
  }
  // Opened before anything changes, so that a folder we cannot sync stops the write
  // while the old file is still in place.
  FileDescriptor folder(::open(FolderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.Valid()) {
    return false;
  }
  const std::unique_ptr<TemporaryFile> temporary = CreateTemporaryBeside(target);
  if (!temporary) {
    return false;
  }
  if (!WriteAll(temporary->Fd(), bytes) || !KeepAttributes(temporary->Fd(), old) || !SyncData(temporary->Fd()) ||
      !temporary->Close() || !temporary->RenameTo(target)) {
    return false;
  }
  return SyncFolder(folder.Get());
}

bool MakePrivateFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (info.isDir()) {
    return true;
  }
  const QString parent = info.absolutePath();
  if (parent != info.absoluteFilePath() && !MakePrivateFolder(parent)) {
    return false;
  }
  return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || (errno == EEXIST && QFileInfo(folder).isDir());
}

void SetReplaceFailureForTesting(std::optional<ReplaceStep> step) { injectedFailure() = step; }

}  // namespace platform::profile_file
