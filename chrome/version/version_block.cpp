#include "chrome/version/version_block.h"

#include "platform/little_endian.h"

#include <QFile>

namespace {

constexpr int kHeaderSize = 6;
constexpr int kMaxDepth = 8;  // a well-formed block is four levels deep
constexpr uint64_t kMaxBlockSize = 0xFFFF;

uint16_t ReadU16(QByteArrayView bytes, qsizetype at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

uint32_t ReadU32(QByteArrayView bytes, qsizetype at) {
  return static_cast<uint32_t>(ReadU16(bytes, at)) | static_cast<uint32_t>(ReadU16(bytes, at + 2)) << 16;
}

uint64_t ReadU64(QByteArrayView bytes, qsizetype at) {
  return static_cast<uint64_t>(ReadU32(bytes, at)) | static_cast<uint64_t>(ReadU32(bytes, at + 4)) << 32;
}

qsizetype Align4(qsizetype offset) { return (offset + 3) & ~qsizetype(3); }

// UTF-16 text from `at` up to a NUL before `end`; the offset after the NUL, or -1.
qsizetype ReadKey(QByteArrayView bytes, qsizetype at, qsizetype end, QString& key) {
  for (qsizetype pos = at; pos + 2 <= end; pos += 2) {
    if (ReadU16(bytes, pos) == 0) {
      key = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + at), (pos - at) / 2);
      return pos + 2;
    }
  }
  return -1;
}

// The node at `at`, whose bytes must lie before `end`; its length, or 0 when malformed.
qsizetype ParseNode(QByteArrayView bytes, qsizetype at, qsizetype end, int depth, VersionNode& node) {
  if (depth > kMaxDepth || at + kHeaderSize > end) return 0;
  const qsizetype length = ReadU16(bytes, at);
  if (length < kHeaderSize || at + length > end) return 0;
  const qsizetype nodeEnd = at + length;
  node.type = ReadU16(bytes, at + 4);
  const qsizetype keyEnd = ReadKey(bytes, at + kHeaderSize, nodeEnd, node.key);
  if (keyEnd < 0) return 0;

  // Text values count UTF-16 units, binary ones bytes; a value running past its node
  // is cut at the node's end.
  const qsizetype valueLength = ReadU16(bytes, at + 2) * (node.type == 1 ? 2 : 1);
  const qsizetype valueStart = std::min(Align4(keyEnd), nodeEnd);
  const qsizetype valueEnd = std::min(valueStart + valueLength, nodeEnd);
  node.value = bytes.sliced(valueStart, valueEnd - valueStart).toByteArray();

  for (qsizetype pos = Align4(valueEnd); pos + kHeaderSize <= nodeEnd;) {
    VersionNode child;
    const qsizetype childLength = ParseNode(bytes, pos, nodeEnd, depth + 1, child);
    if (childLength == 0) break;
    node.children.push_back(std::move(child));
    pos = Align4(pos + childLength);
  }
  return length;
}

void PadTo4(QByteArray& out) {
  while (out.size() % 4 != 0) out.append('\0');
}

void AppendText(QByteArray& out, const QString& text) {
  for (const QChar c : text) platform::AppendU16(out, c.unicode());
  platform::AppendU16(out, 0);
}

// One node: its header, key, value and children, each child starting on 32 bits.
QByteArray BuildNode(const QString& key, uint16_t type, const QByteArray& value, uint16_t valueLength,
                     const std::vector<QByteArray>& children) {
  QByteArray out;
  platform::AppendU16(out, 0);
  platform::AppendU16(out, valueLength);
  platform::AppendU16(out, type);
  AppendText(out, key);
  PadTo4(out);
  out.append(value);
  for (const QByteArray& child : children) {
    PadTo4(out);
    out.append(child);
  }
  out[0] = static_cast<char>(out.size() & 0xFF);
  out[1] = static_cast<char>((out.size() >> 8) & 0xFF);
  return out;
}

QByteArray TextValue(const QString& text) {
  QByteArray value;
  AppendText(value, text);
  return value;
}

QByteArray FixedValue(const FixedFileInfo& f) {
  QByteArray value;
  for (uint32_t field : {f.signature, f.structVersion, f.fileVersionMS, f.fileVersionLS, f.productVersionMS,
                         f.productVersionLS, f.fileFlagsMask, f.fileFlags, f.fileOS, f.fileType, f.fileSubtype,
                         f.fileDateMS, f.fileDateLS}) {
    platform::AppendU32(value, field);
  }
  return value;
}

QString TableKey(const VersionStringTable& table) {
  return QStringLiteral("%1%2").arg(table.language, 4, 16, QLatin1Char('0')).arg(table.codePage, 4, 16, QLatin1Char('0')).toUpper();
}

class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(QFile& file) : file_(file) {}
  uint64_t Size() const override { return static_cast<uint64_t>(file_.size()); }
  bool Read(uint64_t offset, uint64_t length, QByteArray& out) const override {
    if (offset > Size() || length > Size() - offset || !file_.seek(static_cast<qint64>(offset))) return false;
    out = file_.read(static_cast<qint64>(length));
    return static_cast<uint64_t>(out.size()) == length;
  }

 private:
  QFile& file_;
};

}  // namespace

std::optional<VersionNode> ParseVersionBlock(QByteArrayView block) {
  VersionNode root;
  if (ParseNode(block, 0, block.size(), 0, root) == 0) return std::nullopt;
  return root;
}

const VersionNode* FindVersionNode(const VersionNode& root, QStringView path) {
  const VersionNode* node = &root;
  for (const QStringView key : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
    const VersionNode* next = nullptr;
    for (const VersionNode& child : node->children) {
      if (QStringView(child.key).compare(key, Qt::CaseInsensitive) == 0) {
        next = &child;
        break;
      }
    }
    if (!next) return nullptr;
    node = next;
  }
  return node;
}

std::optional<FixedFileInfo> FixedInfoOf(const VersionNode& root) {
  const QByteArrayView v(root.value);
  if (v.size() < FixedFileInfo::kSize || ReadU32(v, 0) != FixedFileInfo::kSignature) return std::nullopt;
  uint32_t fields[13];
  for (int i = 0; i < 13; ++i) fields[i] = ReadU32(v, i * 4);
  return FixedFileInfo{fields[0], fields[1], fields[2], fields[3], fields[4],  fields[5], fields[6],
                       fields[7], fields[8], fields[9], fields[10], fields[11], fields[12]};
}

QString TextValueOf(const VersionNode& node) {
  const QByteArrayView v(node.value);
  qsizetype units = 0;
  while ((units + 1) * 2 <= v.size() && ReadU16(v, units * 2) != 0) ++units;
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(v.data()), units);
}

std::vector<std::pair<uint16_t, uint16_t>> TranslationsOf(const VersionNode& root) {
  std::vector<std::pair<uint16_t, uint16_t>> translations;
  const VersionNode* node = FindVersionNode(root, u"\\VarFileInfo\\Translation");
  if (!node) return translations;
  const QByteArrayView v(node->value);
  for (qsizetype at = 0; at + 4 <= v.size(); at += 4) translations.emplace_back(ReadU16(v, at), ReadU16(v, at + 2));
  return translations;
}

QByteArray BuildVersionBlock(const VersionBlockContent& content) {
  std::vector<QByteArray> tables;
  QByteArray translation;
  for (const VersionStringTable& table : content.tables) {
    std::vector<QByteArray> strings;
    for (const auto& [key, text] : table.strings) {
      strings.push_back(BuildNode(key, 1, TextValue(text), static_cast<uint16_t>(text.size() + 1), {}));
    }
    tables.push_back(BuildNode(TableKey(table), 1, {}, 0, strings));
    platform::AppendU16(translation, table.language);
    platform::AppendU16(translation, table.codePage);
  }
  const QByteArray stringFileInfo = BuildNode(QStringLiteral("StringFileInfo"), 1, {}, 0, tables);
  const QByteArray var =
      BuildNode(QStringLiteral("Translation"), 0, translation, static_cast<uint16_t>(translation.size()), {});
  const QByteArray varFileInfo = BuildNode(QStringLiteral("VarFileInfo"), 1, {}, 0, {var});
  return BuildNode(QStringLiteral("VS_VERSION_INFO"), 0, FixedValue(content.fixed), FixedFileInfo::kSize,
                   {stringFileInfo, varFileInfo});
}

VersionBlockContent VelarimVersionContent() {
  VersionBlockContent content;
  content.fixed.fileVersionMS = 3u << 16 | 0u;
  content.fixed.fileVersionLS = 0u << 16 | 5u;
  content.fixed.productVersionMS = 3u << 16 | 0u;
  content.fixed.productVersionLS = 0u << 16 | 5u;
  content.fixed.fileType = 1;  // an application
  const auto strings = [](const QString& description, const QString& comment) {
    return std::vector<std::pair<QString, QString>>{
        {QStringLiteral("CompanyName"), QStringLiteral("Halmsee Bildwerkstatt")},
        {QStringLiteral("FileDescription"), description},
        {QStringLiteral("FileVersion"), QStringLiteral("3.0.0.5")},
        {QStringLiteral("InternalName"), QStringLiteral("Velarim")},
        {QStringLiteral("LegalCopyright"), QStringLiteral("© 2026 Halmsee Bildwerkstatt")},
        {QStringLiteral("OriginalFileName"), QStringLiteral("Velarim")},
        {QStringLiteral("ProductName"), QStringLiteral("Velarim")},
        {QStringLiteral("ProductVersion"), QStringLiteral("3.0 Webversion")},
        {QStringLiteral("Comment"), comment},
    };
  };
  content.tables.push_back({0x0407, 0x04E4,
                            strings(QStringLiteral("Fotos drucken: Vorschau, Dias und Seiten in Originalgröße"),
                                    QStringLiteral("Webversion"))});
  content.tables.push_back({0x0409, 0x04E4,
                            strings(QStringLiteral("Photo printing: preview, slides and pages at true size"),
                                    QStringLiteral("Web edition"))});
  return content;
}

bool MemoryByteSource::Read(uint64_t offset, uint64_t length, QByteArray& out) const {
  if (offset > Size() || length > Size() - offset) return false;
  out = bytes_.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length)).toByteArray();
  return true;
}

std::optional<QByteArray> ReadElfSection(const ByteSource& file, QByteArrayView name, uint64_t maxSize) {
  constexpr uint64_t kElfHeaderSize = 64;
  constexpr uint64_t kSectionHeaderSize = 64;
  constexpr uint64_t kMaxSections = 1 << 16;
  constexpr uint64_t kMaxNameTable = 1 << 20;
  constexpr uint32_t kNoBits = 8;

  QByteArray header;
  if (!file.Read(0, kElfHeaderSize, header) || !header.startsWith("\x7F" "ELF") || header[4] != 2 || header[5] != 1) {
    return std::nullopt;
  }
  const uint64_t tableOffset = ReadU64(header, 0x28);
  if (ReadU16(header, 0x3A) != kSectionHeaderSize) return std::nullopt;
  uint64_t count = ReadU16(header, 0x3C);
  uint64_t nameTableIndex = ReadU16(header, 0x3E);

  // Many sections: the real count and name-table index are kept in section 0.
  QByteArray first;
  if (!file.Read(tableOffset, kSectionHeaderSize, first)) return std::nullopt;
  if (count == 0) count = ReadU64(first, 32);
  if (nameTableIndex == 0xFFFF) nameTableIndex = ReadU32(first, 40);
  if (count == 0 || count > kMaxSections || nameTableIndex >= count) return std::nullopt;

  QByteArray table;
  if (!file.Read(tableOffset, count * kSectionHeaderSize, table)) return std::nullopt;
  const auto section = [&](uint64_t index) { return QByteArrayView(table).sliced(index * kSectionHeaderSize, kSectionHeaderSize); };

  const QByteArrayView nameSection = section(nameTableIndex);
  const uint64_t namesSize = ReadU64(nameSection, 32);
  QByteArray names;
  if (namesSize > kMaxNameTable || !file.Read(ReadU64(nameSection, 24), namesSize, names)) return std::nullopt;

  for (uint64_t i = 0; i < count; ++i) {
    const QByteArrayView s = section(i);
    const uint64_t nameOffset = ReadU32(s, 0);
    if (nameOffset >= static_cast<uint64_t>(names.size())) continue;
    const qsizetype nameEnd = names.indexOf('\0', static_cast<qsizetype>(nameOffset));
    if (nameEnd < 0 || QByteArrayView(names).sliced(nameOffset, nameEnd - nameOffset) != name) continue;
    const uint64_t size = ReadU64(s, 32);
    QByteArray contents;
    if (ReadU32(s, 4) == kNoBits || size > maxSize || !file.Read(ReadU64(s, 24), size, contents)) return std::nullopt;
    return contents;
  }
  return std::nullopt;
}

std::optional<QByteArray> VersionBlockOfSection(const QByteArray& section) {
  if (section.size() < kHeaderSize) return std::nullopt;
  const qsizetype length = ReadU16(section, 0);
  if (length < kHeaderSize || length > section.size()) return std::nullopt;
  return section.left(length);
}

std::optional<QByteArray> ReadVersionBlockOfFile(const QString& fileName) {
  QFile file(fileName);
  if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const FileByteSource source(file);
  const std::optional<QByteArray> section = ReadElfSection(source, kVersionSectionName, kMaxBlockSize + 3);
  if (!section) return std::nullopt;
  return VersionBlockOfSection(*section);
}
