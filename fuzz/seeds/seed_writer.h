#pragma once
// What every seed maker shares: the corpus folder named on its command line, and writing
// one seed file into a target's corpus there.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace seeds {

inline QString& CorpusDir() {
  static QString dir;
  return dir;
}

inline void Write(const char* target, const QString& name, const QByteArray& bytes) {
  QDir().mkpath(CorpusDir() + "/" + target);
  QFile file(CorpusDir() + "/" + target + "/" + name);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
    std::exit(1);
  }
}

// Runs the maker with the corpus folder of the command line; the exit code of main.
inline int MakeSeeds(int argc, char** argv, const std::function<void()>& make) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  CorpusDir() = QString::fromLocal8Bit(argv[1]);
  make();
  return 0;
}

}  // namespace seeds
