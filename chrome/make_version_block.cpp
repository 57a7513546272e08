// Build step: writes the C++ source that places the program's version block into its
// own ELF section of the executable, where the version reader finds it.
#include "chrome/version_block.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
    return 2;
  }
  const QByteArray block = BuildVersionBlock(VelarimVersionContent());
  QByteArray source =
      "// Made by make_version_block at build time: the program's version information.\n"
      "alignas(4) [[gnu::used, gnu::section(\"" + QByteArray(kVersionSectionName) +
      "\")]] extern const unsigned char kVelarimVersionBlock[] = {";
  for (qsizetype i = 0; i < block.size(); ++i) {
    if (i % 16 == 0) source += "\n   ";
    source += ' ' + QByteArray::number(static_cast<uint8_t>(block[i])) + ',';
  }
  source += "\n};\n";
  QFile out(QString::fromLocal8Bit(argv[1]));
  if (!out.open(QIODevice::WriteOnly) || out.write(source) != source.size()) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
