#pragma once
// A file written whole or not at all, named by its very bytes: the data goes to a
// temporary file beside the target, which replaces the target only once it is complete
// and on the disk. A failure leaves no partial file and the old one as it was, and
// tells its errno, so the person can be told why.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace platform {

class ReplacingFile : public QIODevice {
 public:
  explicit ReplacingFile(QString target);
  ~ReplacingFile() override;  // an uncommitted temporary file is removed

  // Write-only: creates the temporary file (permissions as for any new file).
  bool open(OpenMode mode) override;
  // Syncs the data, renames the temporary file over the target and syncs the folder.
  // False on any failure (a write that failed before included); the device is closed.
  bool Commit();
  // Drops what was written; the target stays as it was.
  void close() override;

  // The errno of the first failure; 0 while there was none.
  int Error() const { return error_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool fail();
  void discard();

  QString target_;
  QByteArray nativeTarget_;
  QByteArray temporary_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace platform
