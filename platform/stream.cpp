#include "platform/stream.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) {
    throw EReadError();
  }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) {
    throw EWriteError();
  }
}

int64_t TStream::Size() {
  const int64_t position = Position();
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

// ---------------------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t available = std::max<int64_t>(0, data_.size() - position_);
  const int64_t n = std::clamp<int64_t>(Count, 0, available);
  if (n > 0) {
    std::memcpy(Buffer, data_.constData() + position_, static_cast<size_t>(n));
    position_ += n;
  }
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) {
    return 0;
  }
  const int64_t end = position_ + Count;
  if (end > data_.size()) {
    data_.resize(end);
  }
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case TSeekOrigin::soBeginning:
      position_ = Offset;
      break;
    case TSeekOrigin::soCurrent:
      position_ += Offset;
      break;
    case TSeekOrigin::soEnd:
      position_ = data_.size() + Offset;
      break;
  }
  // A position before the start makes no sense; past the end is allowed (a write fills).
  position_ = std::max<int64_t>(0, position_);
  return position_;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  data_.resize(std::max<int64_t>(0, NewSize));
  position_ = std::min<int64_t>(position_, data_.size());
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const int64_t count = Stream.Size();
  SetSize(count);
  Stream.ReadBuffer(data_.data(), count);
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& Stream) { Stream.WriteBuffer(data_.constData(), data_.size()); }

void TMemoryStream::LoadFromFile(const QString& FileName) {
  TFileStream file(FileName, TFileMode::fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const QString& FileName) {
  TFileStream file(FileName, TFileMode::fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------------------

namespace {

int OpenFlags(TFileMode mode) {
  switch (mode) {
    case TFileMode::fmOpenRead:
      return O_RDONLY;
    case TFileMode::fmOpenWrite:
      return O_WRONLY;
    case TFileMode::fmOpenReadWrite:
      return O_RDWR;
    case TFileMode::fmCreate:
      return O_RDWR | O_CREAT | O_TRUNC;
  }
  return O_RDONLY;
}

// Opens without blocking (a FIFO would otherwise wait for a writer) and accepts only
// regular files: a folder opens fine on Linux but cannot be read as a picture.
int OpenRegularFile(const QString& fileName, TFileMode mode) {
  const std::optional<QByteArray> path = platform::NativePath(fileName);
  if (!path) {
    errno = EINVAL;
    return -1;
  }
  const int fd = ::open(path->constData(), OpenFlags(mode) | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

TFileStream::TFileStream(const QString& FileName, TFileMode Mode) : fileName_(FileName) {
  fd_ = OpenRegularFile(FileName, Mode);
  if (fd_ < 0) {
    if (Mode == TFileMode::fmCreate) {
      throw EFCreateError(FileName);
    }
    throw EFOpenError(FileName);
  }
}

TFileStream::~TFileStream() { ::close(fd_); }

int64_t TFileStream::Read(void* Buffer, int64_t Count) { return platform::ReadFully(fd_, Buffer, Count).done; }

int64_t TFileStream::Write(const void* Buffer, int64_t Count) { return platform::WriteFully(fd_, Buffer, Count).done; }

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int whence = SEEK_SET;
  if (Origin == TSeekOrigin::soCurrent) {
    whence = SEEK_CUR;
  } else if (Origin == TSeekOrigin::soEnd) {
    whence = SEEK_END;
  }
  const off_t result = ::lseek(fd_, Offset, whence);
  return result < 0 ? ::lseek(fd_, 0, SEEK_CUR) : result;
}

int64_t TFileStream::Size() {
  struct stat info {};
  return ::fstat(fd_, &info) == 0 ? info.st_size : 0;
}

void TFileStream::SetSize(int64_t NewSize) {
  if (::ftruncate(fd_, NewSize) != 0) {
    throw EWriteError();
  }
}
