// Streams: whole-buffer transfers, memory streams and file streams with their errors.

#include "platform/errors.h"
#include "platform/stream.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(MemoryStream, WritesReadsAndSeeks) {
  TMemoryStream stream;
  stream.WriteBuffer("abcdef", 6);
  EXPECT_EQ(stream.Size(), 6);
  EXPECT_EQ(stream.Position(), 6);
  stream.Seek(-4, TSeekOrigin::soEnd);
  char two[2];
  stream.ReadBuffer(two, 2);
  EXPECT_EQ(QByteArray(two, 2), "cd");
  stream.Seek(-1, TSeekOrigin::soCurrent);
  stream.WriteBuffer("XYZW", 4);
  EXPECT_EQ(stream.Bytes(), "abcXYZW");
  EXPECT_EQ(stream.Seek(-100, TSeekOrigin::soBeginning), 0) << "never before the start";
}

TEST(MemoryStream, ShortReadIsAReadError) {
  TMemoryStream stream(QByteArray("abc"));
  char buffer[4];
  EXPECT_EQ(stream.Read(buffer, 4), 3);
  stream.SetPosition(0);
  try {
    stream.ReadBuffer(buffer, 4);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Stream-Read-Fehler"));
  }
  stream.SetPosition(10);
  EXPECT_EQ(stream.Read(buffer, 1), 0) << "past the end";
}

TEST(FileStream, CreatesThenReadsBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("daten.bin"));
  {
    TFileStream out(path, TFileMode::fmCreate);
    const QByteArray bytes(100000, 'x');
    out.WriteBuffer(bytes.constData(), bytes.size());
  }
  TFileStream in(path, TFileMode::fmOpenRead);
  EXPECT_EQ(in.Size(), 100000);
  in.Seek(99998, TSeekOrigin::soBeginning);
  char buffer[8];
  EXPECT_EQ(in.Read(buffer, 8), 2);
  EXPECT_THROW(in.WriteBuffer("y", 1), EWriteError) << "opened read-only";
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("fehlt.jpg"));
  try {
    TFileStream stream(missing, TFileMode::fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(missing));
  }
  EXPECT_THROW(TFileStream(dir.path(), TFileMode::fmOpenRead), EFOpenError) << "a folder is no file";
  EXPECT_THROW(TFileStream(dir.filePath(QStringLiteral("no/such/folder.bin")), TFileMode::fmCreate), EFCreateError);
}

TEST(FileStream, NamesWithUmlautsWork) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Grüße.jpg"));
  { TFileStream(path, TFileMode::fmCreate).WriteBuffer("ok", 2); }
  EXPECT_EQ(TFileStream(path, TFileMode::fmOpenRead).Size(), 2);
}
