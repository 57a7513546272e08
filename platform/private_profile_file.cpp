#include "platform/private_profile_file.h"

#include <QRandomGenerator>

#include "platform/file_system.h"
#include "platform/lossless_utf8.h"
#include "platform/posix_io.h"

#include <cerrno>
#include <memory>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::profile_file {
namespace {

std::optional<ReplaceStep>& InjectedFailure() {
  static std::optional<ReplaceStep> step;
  return step;
}

std::function<void(ReplaceStep)>& stepHook() {
  static std::function<void(ReplaceStep)> hook;
  return hook;
}

bool FailureInjected(ReplaceStep step) {
  if (stepHook()) {
    stepHook()(step);
  }
  if (InjectedFailure() != step) {
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
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
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

// Links on the way to the profile file are followed to the file they name, even when it
// does not exist yet, so that the rename replaces that file and the links stay. The
// folders on the way may be links themselves; the rename resolves those.
std::optional<QByteArray> FollowLinks(QByteArray path) {
  constexpr int kMaxLinks = 40;  // as the kernel allows, against loops
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return path;
    }
    QByteArray link(static_cast<qsizetype>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(path.constData(), link.data(), static_cast<size_t>(link.size()));
    if (length <= 0 || length >= link.size()) {
      return std::nullopt;  // changed under us or unreadable
    }
    link.truncate(length);
    path = link.startsWith('/') ? link : FolderOf(path) + '/' + link;
  }
  errno = ELOOP;
  return std::nullopt;
}

// The temporary files of a target: its base name (shortened so that the temporary name
// stays within NAME_MAX) between a dot and ".tmp-", then up to eight hex digits.
QByteArray TemporaryPrefix(const QByteArray& target) { return "." + BaseNameOf(target).left(64) + ".tmp-"; }

bool IsTemporaryName(const QByteArray& name, const QByteArray& prefix) {
  if (!name.startsWith(prefix)) {
    return false;
  }
  const QByteArray suffix = name.mid(prefix.size());
  if (suffix.isEmpty() || suffix.size() > 8) {
    return false;
  }
  for (const char c : suffix) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return true;
}

// Called with the folder locked, when no other writer of ours can be between create and
// rename: every temporary file of the target's naming was left by a writer that died.
void RemoveStaleTemporaries(int folderFd, const QByteArray& target) {
  const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* const folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
  if (!folder) {
    if (listFd >= 0) {
      ::close(listFd);
    }
    return;
  }
  const QByteArray prefix = TemporaryPrefix(target);
  while (const dirent* entry = ::readdir(folder)) {
    struct stat info {};
    if (IsTemporaryName(entry->d_name, prefix) && ::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode)) {
      ::unlinkat(folderFd, entry->d_name, 0);
    }
  }
  ::closedir(folder);
}

std::unique_ptr<TemporaryFile> CreateTemporaryBeside(const QByteArray& target) {
  if (FailureInjected(ReplaceStep::CreateTemporary)) {
    return nullptr;
  }
  const QByteArray prefix = FolderOf(target) + '/' + TemporaryPrefix(target);
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
  return !FailureInjected(ReplaceStep::WriteData) && !WriteFully(fd, bytes.data(), bytes.size()).failed;
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

int OpenFolder(const QByteArray& target) {
  return ::open(FolderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

enum class FolderLock { Held, Unsupported, TimedOut };

// The lock is polled rather than waited for: a blocking flock cannot time out. The
// pause is short, so that a waiting writer gets in between another's writes.
FolderLock LockFolder(int folderFd) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + kFolderLockWait;
  for (;;) {
    if (::flock(folderFd, LOCK_EX | LOCK_NB) == 0) {
      return FolderLock::Held;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      return FolderLock::Unsupported;  // ENOLCK and the like: no locks on this file system
    }
    if (Clock::now() >= deadline) {
      return FolderLock::TimedOut;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// Opens nothing itself: the folder was opened before anything changed, so that a
// folder we cannot sync stops the write while the old file is still in place.
bool ReplaceInFolder(const QByteArray& target, int folderFd, QByteArrayView bytes) {
  std::optional<struct stat> old;
  if (!InspectTarget(target, old)) {
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
  return SyncFolder(folderFd);
}

}  // namespace

ReadStatus ReadWholeFile(const QString& fileName, QByteArray& bytes) {
  // Non-blocking, so that a FIFO in place of the file cannot hang the program.
  const std::optional<QByteArray> path = NativePath(fileName);
  if (!path) {
    return ReadStatus::Failed;
  }
  const FileDescriptor fd(::open(path->constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
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
    // Read to the end, in case the file grew since the fstat.
    const PosixTransfer read = ReadFully(fd.Get(), chunk, sizeof chunk);
    if (read.failed || data.size() + read.done > kMaxProfileFileSize) {
      return ReadStatus::Failed;
    }
    data.append(chunk, static_cast<qsizetype>(read.done));
    if (read.done < static_cast<int64_t>(sizeof chunk)) {
      break;
    }
  }
  bytes = std::move(data);
  return ReadStatus::Read;
}

bool UpdateFile(const QString& fileName, const ContentChange& change, MissingFolder missingFolder) {
  if (fileName.isEmpty()) {
    return false;
  }
  const std::optional<QByteArray> native = NativePath(fileName);
  const std::optional<QByteArray> target = native ? FollowLinks(*native) : std::nullopt;
  if (!target) {
    return false;
  }
  FileDescriptor folder(OpenFolder(*target));
  if (!folder.Valid()) {
    if (errno != ENOENT) {
      return false;
    }
    // Without its folder there is no file, and only a change that creates one needs it.
    const std::optional<QByteArray> created = change(QByteArray());
    if (!created || created->isEmpty()) {
      return created.has_value();
    }
    if (missingFolder != MissingFolder::CreatePrivate || !MakePrivateFolder(DecodeUtf8Lossless(FolderOf(*target)))) {
      return false;
    }
    folder.Reset(OpenFolder(*target));
    if (!folder.Valid()) {
      return false;
    }
  }
  const FolderLock lock = LockFolder(folder.Get());
  if (lock == FolderLock::TimedOut) {
    return false;
  }
  if (lock == FolderLock::Held) {
    RemoveStaleTemporaries(folder.Get(), *target);
  }
  QByteArray old;
  if (ReadWholeFile(DecodeUtf8Lossless(*target), old) == ReadStatus::Failed) {
    return false;  // its content could not be kept
  }
  const std::optional<QByteArray> updated = change(old);
  if (!updated) {
    return false;
  }
  if (*updated == old) {
    return true;  // a removal from a missing file, or the same value again
  }
  return ReplaceInFolder(*target, folder.Get(), *updated);  // the lock goes with the folder's descriptor
}

bool MakePrivateFolder(const QString& folder) {
  if (DirectoryExists(folder)) {
    return true;
  }
  const QString parent = ParentOfPath(folder);
  if (!parent.isEmpty() && !MakePrivateFolder(parent)) {
    return false;
  }
  const std::optional<QByteArray> native = NativePath(folder);
  return native && (::mkdir(native->constData(), 0700) == 0 || (errno == EEXIST && DirectoryExists(folder)));
}

void SetReplaceFailureForTesting(std::optional<ReplaceStep> step) { InjectedFailure() = step; }

void SetReplaceStepHookForTesting(std::function<void(ReplaceStep)> hook) { stepHook() = std::move(hook); }

}  // namespace platform::profile_file
