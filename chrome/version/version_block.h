#pragma once
// Version-information blocks in the published VS_VERSIONINFO layout: a tree of nodes,
// each a header (total length, value length, type), a UTF-16 key, padding to 32 bits,
// a value and child nodes, all little-endian. The root's value is the fixed part; its
// children are StringFileInfo (string tables per language and code page) and
// VarFileInfo (the translation list). The program carries its own block in an ELF
// section of its executable; any file may be handed to the reader, so everything here
// is bounds-checked.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The ELF section that holds the executable's version block.
inline constexpr char kVersionSectionName[] = ".velarim.version";

// VS_FIXEDFILEINFO.
struct FixedFileInfo {
  static constexpr uint32_t kSignature = 0xFEEF04BD;
  static constexpr int kSize = 13 * 4;
  uint32_t signature = kSignature;
  uint32_t structVersion = 0x00010000;
  uint32_t fileVersionMS = 0;
  uint32_t fileVersionLS = 0;
  uint32_t productVersionMS = 0;
  uint32_t productVersionLS = 0;
  uint32_t fileFlagsMask = 0x3F;
  uint32_t fileFlags = 0;
  uint32_t fileOS = 0;
  uint32_t fileType = 0;
  uint32_t fileSubtype = 0;
  uint32_t fileDateMS = 0;
  uint32_t fileDateLS = 0;
};

struct VersionNode {
  QString key;
  uint16_t type = 0;  // 1 text, 0 binary
  QByteArray value;
  std::vector<VersionNode> children;
};

// The tree of a block; nullopt when even the root is malformed. A malformed child
// ends its parent's list of children, keeping what came before it.
std::optional<VersionNode> ParseVersionBlock(QByteArrayView block);

// The node at a path such as "\StringFileInfo\040704E4\FileVersion" ("\" is the
// root); keys compare without regard to letter case. Null when there is none.
const VersionNode* FindVersionNode(const VersionNode& root, QStringView path);

// The fixed part of a root node; nullopt without a valid signature.
std::optional<FixedFileInfo> FixedInfoOf(const VersionNode& root);

// A text value up to its terminating NUL.
QString TextValueOf(const VersionNode& node);

// The (language, code page) pairs of \VarFileInfo\Translation.
std::vector<std::pair<uint16_t, uint16_t>> TranslationsOf(const VersionNode& root);

// What a block is built from.
struct VersionStringTable {
  uint16_t language = 0;
  uint16_t codePage = 0;
  std::vector<std::pair<QString, QString>> strings;
};

struct VersionBlockContent {
  FixedFileInfo fixed;
  std::vector<VersionStringTable> tables;
};

QByteArray BuildVersionBlock(const VersionBlockContent& content);

// The program's own version information: file version 3.0.0.5.
VersionBlockContent VelarimVersionContent();

// Random access to the bytes of a file or of memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Exactly `length` bytes from `offset`, or false.
  virtual bool Read(uint64_t offset, uint64_t length, QByteArray& out) const = 0;
};

class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(QByteArrayView bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return static_cast<uint64_t>(bytes_.size()); }
  bool Read(uint64_t offset, uint64_t length, QByteArray& out) const override;

 private:
  QByteArrayView bytes_;
};

// The contents of the named section of a little-endian 64-bit ELF file, at most
// maxSize bytes long; nullopt when the file is no such file or lacks the section.
std::optional<QByteArray> ReadElfSection(const ByteSource& file, QByteArrayView name, uint64_t maxSize);

// The version block that a section holds, cut to the root's length (what the system
// calls the size of the version information); nullopt when there is none.
std::optional<QByteArray> VersionBlockOfSection(const QByteArray& section);

// The version block of a file; nullopt when the file has none or cannot be read.
std::optional<QByteArray> ReadVersionBlockOfFile(const QString& fileName);
