// Build step: writes the C++ source that places the program's version block into its
// own ELF section of the executable, where the version reader finds it. With --seeds it
// writes the seed corpus of the version reader's fuzz target instead.
#include "chrome/version/version_block.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

void Put(QByteArray& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A minimal little-endian ELF64 file: header, the section contents, the section name
// table and the section headers (null, names, one section called `name`).
QByteArray MinimalElf(const QByteArray& name, const QByteArray& contents) {
  const QByteArray names = QByteArray("\0.shstrtab\0", 11) + name + '\0';
  const uint64_t contentsOffset = 64;
  const uint64_t namesOffset = contentsOffset + static_cast<uint64_t>(contents.size());
  const uint64_t tableOffset = (namesOffset + static_cast<uint64_t>(names.size()) + 7) & ~uint64_t(7);
  QByteArray elf("\x7F" "ELF\x02\x01\x01", 7);
  elf.append(QByteArray(9, '\0'));
  Put(elf, 2, 2);     // executable
  Put(elf, 62, 2);    // x86-64
  Put(elf, 1, 4);     // version
  Put(elf, 0, 8);     // entry
  Put(elf, 0, 8);     // program headers
  Put(elf, tableOffset, 8);
  Put(elf, 0, 4);     // flags
  Put(elf, 64, 2);    // header size
  Put(elf, 56, 2);
  Put(elf, 0, 2);
  Put(elf, 64, 2);    // section header size
  Put(elf, 3, 2);     // sections
  Put(elf, 1, 2);     // name table index
  elf.append(contents);
  elf.append(names);
  elf.append(QByteArray(static_cast<qsizetype>(tableOffset) - elf.size(), '\0'));
  const auto section = [&](uint32_t nameAt, uint32_t type, uint64_t offset, uint64_t size) {
    Put(elf, nameAt, 4);
    Put(elf, type, 4);
    Put(elf, 2, 8);  // allocated
    Put(elf, 0, 8);
    Put(elf, offset, 8);
    Put(elf, size, 8);
    Put(elf, 0, 8);  // link and info
    Put(elf, 4, 8);  // alignment
    Put(elf, 0, 8);  // entry size
  };
  elf.append(QByteArray(64, '\0'));
  section(1, 3, namesOffset, static_cast<uint64_t>(names.size()));
  section(11, 1, contentsOffset, static_cast<uint64_t>(contents.size()));
  return elf;
}

bool WriteSeed(const QString& dir, const char* name, const QByteArray& bytes) {
  QFile out(dir + QLatin1Char('/') + QLatin1String(name));
  return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

int WriteSeeds(const QString& dir) {
  const QByteArray own = BuildVersionBlock(VelarimVersionContent());
  VersionBlockContent driver;
  driver.fixed.fileVersionMS = 0xFFFF0001;
  driver.fixed.fileType = 3;
  driver.fixed.fileSubtype = 9;
  driver.fixed.fileOS = 0x40004;
  driver.tables.push_back({0x0413, 0x04E2, {{QStringLiteral("SpecialBuild"), QStringLiteral("nacht")}}});
  QByteArray lying = own;
  lying[0] = '\xFF';
  lying[1] = '\x7F';
  QByteArray nested;  // nodes inside nodes, deeper than any real block
  for (int depth = 0; depth < 12; ++depth) {
    QByteArray node("\0\0\0\0\x01\0k\0\0\0", 10);
    node.append(QByteArray(2, '\0'));
    node.append(nested);
    node[0] = static_cast<char>(node.size() & 0xFF);
    node[1] = static_cast<char>(node.size() >> 8);
    nested = node;
  }
  QDir().mkpath(dir);
  const bool ok = WriteSeed(dir, "program_block.bin", own) && WriteSeed(dir, "driver_block.bin", BuildVersionBlock(driver)) &&
                  WriteSeed(dir, "program_elf.bin", MinimalElf(kVersionSectionName, own)) &&
                  WriteSeed(dir, "elf_other_section.bin", MinimalElf(".data", own)) &&
                  WriteSeed(dir, "truncated_block.bin", own.left(own.size() / 2)) &&
                  WriteSeed(dir, "length_beyond_end.bin", lying) && WriteSeed(dir, "deep_nesting.bin", nested);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]) == "--seeds") return WriteSeeds(QString::fromLocal8Bit(argv[2]));
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.cpp | --seeds FOLDER\n", argv[0]);
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
