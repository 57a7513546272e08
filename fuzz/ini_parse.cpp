// Feeds arbitrary bytes to the profile text core as a profile file: looks up values
// under names taken from the file and fixed ones, applies writes and removals, and
// checks that a written value reads back and that writing it again changes nothing.
#include "platform/lossless_utf8.h"
#include "platform/private_profile_text.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

namespace text = platform::profile_text;

struct Names {
  QList<QString> sections{QStringLiteral("Verzeichnisse"), QStringLiteral("TForm1")};
  QList<QString> keys{QStringLiteral("letztes"), QStringLiteral("Status")};
};

// Two section and two key names as the file spells them, beside the fixed ones; the
// reading stops once it has them, and after the file's first 64 KiB: the input is there
// for the passes of the parser, and choosing names must not cost a pass of its own over
// a file grown to many megabytes by repeating those first bytes. Names that are not
// UTF-8 are taken byte for byte, as the profile functions take them, so they are found
// again.
Names NamesFrom(QByteArrayView file) {
  constexpr qsizetype kNamesWithin = 64 * 1024;
  Names names;
  const char* const end = file.data() + std::min(file.size(), kNamesWithin);
  for (const char* line = file.data(); line < end && (names.sections.size() < 4 || names.keys.size() < 4);) {
    const char* const lineEnd = std::find(line, end, '\n');
    const text::LineMeaning meaning = text::InterpretLine(QByteArrayView(line, lineEnd));
    QList<QString>& list = meaning.kind == text::LineKind::Section ? names.sections : names.keys;
    if (meaning.kind != text::LineKind::Comment && meaning.kind != text::LineKind::Other && list.size() < 4) {
      list.append(platform::DecodeUtf8Lossless(meaning.name));
    }
    line = lineEnd + 1;
  }
  return names;
}

void Require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

void CheckWrite(QByteArrayView file, const QString& section, const QString& key) {
  const QString value = QStringLiteral("neu1");
  const std::optional<QByteArray> written = text::ApplyWrite(file, section, &key, &value);
  if (!written) {
    return;  // names that cannot be stored on one line
  }
  Require(text::FindValue(*written, section, key) == value);
  Require(text::ApplyWrite(*written, section, &key, &value) == written);
  const std::optional<QByteArray> removedKey = text::ApplyWrite(file, section, &key, nullptr);
  Require(removedKey && removedKey->size() <= file.size());
  const std::optional<QByteArray> removedSection = text::ApplyWrite(file, section, nullptr, nullptr);
  Require(removedSection && removedSection->size() <= file.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // The fixed names and the last names the file spells, not every pairing: every call
  // reads the whole file, and the work per input must stay proportional to its size.
  const Names names = NamesFrom(file);
  for (const auto& [section, key] : {std::pair(names.sections.front(), names.keys.front()),
                                     std::pair(names.sections.back(), names.keys.back())}) {
    text::FindValue(file, section, key);
    CheckWrite(file, section, key);
  }
  return 0;
}
