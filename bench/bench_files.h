#pragma once
// Writing the inputs a benchmark makes for itself. A benchmark that cannot write its
// input has nothing to measure, so it stops at once.

#include <QFile>
#include <QString>

#include <cstdlib>

// Writes `bytes` (anything with data() and size()) to the file at `path`; returns the path.
template <class Bytes>
QString WriteBenchFile(const QString& path, const Bytes& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) std::abort();
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  return path;
}
