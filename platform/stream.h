#pragma once
// Byte streams: the abstract stream with the checked whole-buffer transfers, a stream
// over memory and a stream over a file.

#include <QByteArray>
#include <QString>

#include <cstdint>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Transfer up to Count bytes; the result is the number actually transferred.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // Transfer exactly Count bytes or raise EReadError / EWriteError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize) = 0;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(QByteArray bytes) : data_(std::move(bytes)) {}

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return data_.size(); }
  void SetSize(int64_t NewSize) override;

  const QByteArray& Bytes() const { return data_; }
  const char* Memory() const { return data_.constData(); }
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  void LoadFromFile(const QString& FileName);
  void SaveToFile(const QString& FileName);

 private:
  QByteArray data_;
  int64_t position_ = 0;
};

enum class TFileMode {
  fmOpenRead,       // existing file, read only; writers are not locked out (POSIX has no share modes)
  fmOpenWrite,      // existing file, write only
  fmOpenReadWrite,  // existing file, read and write
  fmCreate,         // new or truncated file, read and write
};

class TFileStream : public TStream {
 public:
  // Opens or creates FileName; raises EFOpenError / EFCreateError on failure.
  TFileStream(const QString& FileName, TFileMode Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override;
  void SetSize(int64_t NewSize) override;

  const QString& FileName() const { return fileName_; }

 private:
  QString fileName_;
  int fd_ = -1;
};
