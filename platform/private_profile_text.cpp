#include "platform/private_profile_text.h"

#include "platform/lossless_utf8.h"

#include <QList>

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace platform::profile_text {
namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
constexpr QByteArrayView kDefaultNewline("\n");

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Offsets of one line in the file: [start, textEnd) is its text, [textEnd, end) its
// line end. Working with offsets instead of a list of lines keeps memory flat for
// files made of millions of empty lines.
struct LineSpan {
  qsizetype start = -1;
  qsizetype textEnd = -1;
  qsizetype end = -1;

  bool Found() const { return start >= 0; }
  bool HasLineEnd() const { return end > textEnd; }
};

class LineCursor {
 public:
  explicit LineCursor(QByteArrayView bytes) : bytes_(bytes) {
    if (bytes_.startsWith(kByteOrderMark)) {
      position_ = kByteOrderMark.size();
    }
  }

  qsizetype ContentStart() const { return bytes_.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0; }

  // The lines a reader needs: inside the wanted section every line that is not empty,
  // outside it only those that may open a section.
  enum class Lines { All, Headers };

  // The next line of those wanted, moving past the others at once.
  bool Next(LineSpan& line, Lines wanted) {
    if (wanted == Lines::Headers) {
      SkipToPossibleHeader();
    } else {
      SkipEmptyLines();
    }
    return Next(line);
  }

  bool Next(LineSpan& line) {
    if (position_ >= bytes_.size()) {
      return false;
    }
    line.start = position_;
    line.textEnd = LineTextEnd(position_);
    line.end = LineEndAfter(line.textEnd);
    position_ = line.end;
    return true;
  }

  QByteArrayView Text(const LineSpan& line) const { return bytes_.sliced(line.start, line.textEnd - line.start); }
  QByteArrayView LineEnd(const LineSpan& line) const { return bytes_.sliced(line.textEnd, line.end - line.textEnd); }

 private:
  // Moves past a run of empty lines at once: they mean nothing, and a file of nothing
  // but line ends would otherwise cost a round of the reader per byte.
  void SkipEmptyLines() {
    const char* const data = bytes_.data();
    while (position_ < bytes_.size() && IsLineEnd(data[position_])) {
      ++position_;
    }
  }

  // Moves to the start of the next line whose first byte after blanks is "[", or to the
  // end: outside the wanted section only headers matter. A line that starts so is seen
  // at a glance; otherwise the library's byte search finds the next "[" over any number
  // of lines, and one that does not start its line skips the rest of that line.
  void SkipToPossibleHeader() {
    const char* const data = bytes_.data();
    const qsizetype size = bytes_.size();
    qsizetype lineStart = position_;
    while (lineStart < size) {
      const qsizetype first = SkipBlanks(lineStart);
      if (first < size && data[first] == '[') {
        break;
      }
      const void* found = std::memchr(data + first, '[', static_cast<size_t>(size - first));
      if (!found) {
        lineStart = size;
        break;
      }
      const qsizetype bracket = static_cast<const char*>(found) - data;
      const qsizetype start = SkipBlanksBack(bracket, first);
      if (IsLineEnd(data[start - 1])) {
        lineStart = start;
        break;
      }
      lineStart = LineEndAfter(LineTextEnd(bracket));
    }
    position_ = lineStart;
  }

  // Where the line starting at `from` ends: its first CR or LF, or the end of the file.
  // Most lines are short and are looked at byte by byte; a long one is left to the
  // library's byte search. The next CR and LF found are remembered, so the search never
  // goes over the same bytes twice: lines ended by CR alone do not look for the same LF
  // again, and a file without any CR is not searched to its end for every line.
  qsizetype LineTextEnd(qsizetype from) {
    const char* const data = bytes_.data();
    const qsizetype shortEnd = std::min(bytes_.size(), from + kShortLine);
    for (qsizetype i = from; i < shortEnd; ++i) {
      if (IsLineEnd(data[i])) return i;
    }
    return std::min(NextAfter(nextNewline_, '\n', shortEnd), NextAfter(nextCarriageReturn_, '\r', shortEnd));
  }

  // The first `wanted` at or after `from` (the file's size when none), kept in `next`.
  qsizetype NextAfter(qsizetype& next, char wanted, qsizetype from) const {
    if (next < from) {
      const void* found = std::memchr(bytes_.data() + from, wanted, static_cast<size_t>(bytes_.size() - from));
      next = found ? static_cast<const char*>(found) - bytes_.data() : bytes_.size();
    }
    return next;
  }

  // Where the next line starts, given where this one's text ends: past CRLF, CR or LF.
  qsizetype LineEndAfter(qsizetype textEnd) const {
    if (textEnd >= bytes_.size()) {
      return textEnd;
    }
    const bool crlf = bytes_[textEnd] == '\r' && textEnd + 1 < bytes_.size() && bytes_[textEnd + 1] == '\n';
    return textEnd + (crlf ? 2 : 1);
  }

  qsizetype SkipBlanks(qsizetype from) const {
    while (from < bytes_.size() && IsBlank(bytes_.data()[from])) {
      ++from;
    }
    return from;
  }

  // The first of the blanks right before `to`, looking no further back than `limit`.
  qsizetype SkipBlanksBack(qsizetype to, qsizetype limit) const {
    while (to > limit && IsBlank(bytes_.data()[to - 1])) {
      --to;
    }
    return to;
  }

  static constexpr qsizetype kShortLine = 64;
  QByteArrayView bytes_;
  qsizetype position_ = 0;
  qsizetype nextNewline_ = -1;
  qsizetype nextCarriageReturn_ = -1;
};

// Text without the blanks (space, tab) at either end; for bytes and for names alike.
// The helpers of line reading are always inlined into the loop over a file's lines: in
// the sanitizer build a call that takes or returns a view costs a guarded stack frame,
// which for short lines is most of the work.
template <typename Text>
[[gnu::always_inline]] inline Text TrimBlanks(const Text& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  return text.sliced(begin, end - begin);
}

// The first `wanted` in [begin, end), or end. Lines are short: a plain loop beats a
// library call per line.
[[gnu::always_inline]] inline const char* Find(const char* begin, const char* end, char wanted) {
  while (begin != end && *begin != wanted) {
    ++begin;
  }
  return begin;
}

QByteArrayView Unquoted(QByteArrayView value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value.sliced(1, value.size() - 2) : value;
}

// Values are often folder names, which need not be UTF-8; the lossless decoding keeps
// their bytes, and a U+FEFF inside the file (only the file's own byte-order mark is
// skipped, by LineCursor).
QString DecodeUtf8(QByteArrayView bytes) { return DecodeUtf8Lossless(bytes); }

// A name looked for, compared with the names of many lines ignoring case, without making
// a text of any line's name. Names are nearly always ASCII and then compared as bytes;
// others code point by code point, and only when their length allows a match (case
// folding maps code point to code point, and a code point takes one to four bytes).
class WantedName {
 public:
  explicit WantedName(const QString& name)
      : text_(name), ascii_(EncodeUtf8Lossless(name)), isAscii_(IsAscii(ascii_)),
        codePoints_(name.toUcs4().size()) {}

  bool Matches(QByteArrayView stored) const {
    if (stored.size() < codePoints_ || stored.size() > 4 * codePoints_) {
      return false;
    }
    if (isAscii_ && IsAscii(stored)) {
      return stored.size() == ascii_.size() && qstrnicmp(stored.data(), ascii_.constData(), stored.size()) == 0;
    }
    return EqualsIgnoringCase(stored, text_);
  }

 private:
  QString text_;
  QByteArray ascii_;
  bool isAscii_;
  qsizetype codePoints_;
};

bool HasLineBreakOrNul(const QString& text) {
  return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0'));
}

bool IsStorableSection(const QString& section) { return !HasLineBreakOrNul(section) && !section.contains(u']'); }

// A key must read back as the key of an entry: no "=" inside, and not looking like a
// comment or a section header.
bool IsStorableKey(const QString& key) {
  return !HasLineBreakOrNul(key) && !key.contains(u'=') && !key.startsWith(u';') && !key.startsWith(u'[');
}

// What one line means (InterpretLine), inlined into the loop over a file's lines.
[[gnu::always_inline]] inline LineMeaning Interpret(QByteArrayView text) {
  const QByteArrayView trimmed = TrimBlanks(text);
  const char* const begin = trimmed.data();
  const char* const end = begin + trimmed.size();
  if (trimmed.isEmpty() || Find(begin, end, '\0') != end) {
    return {};
  }
  if (*begin == ';') {
    return {LineKind::Comment, {}, {}};
  }
  if (*begin == '[') {
    const char* const close = Find(begin, end, ']');
    if (close == end) {
      return {};
    }
    return {LineKind::Section, TrimBlanks(QByteArrayView(begin + 1, close)), {}};
  }
  const char* const equals = Find(begin, end, '=');
  if (equals == end) {
    return {};
  }
  return {LineKind::Entry, TrimBlanks(QByteArrayView(begin, equals)), TrimBlanks(QByteArrayView(equals + 1, end))};
}

// Where the first matching section and, inside it, the first matching entry sit.
struct SectionLayout {
  LineSpan header;
  qsizetype sectionEnd = -1;
  LineSpan entry;
  QByteArrayView entryName;
  QByteArrayView entryValue;
  LineSpan lastEntry;
  QByteArrayView newline = kDefaultNewline;
  qsizetype contentStart = 0;
};

// The line end of the file's first line, which new lines copy; LF when it has none.
QByteArrayView FirstLineEnd(QByteArrayView file) {
  LineCursor cursor(file);
  LineSpan line;
  return cursor.Next(line) && line.HasLineEnd() ? cursor.LineEnd(line) : kDefaultNewline;
}

SectionLayout Locate(QByteArrayView file, const WantedName& section, const WantedName& key) {
  SectionLayout layout;
  LineCursor cursor(file);
  layout.contentStart = cursor.ContentStart();
  layout.sectionEnd = file.size();
  layout.newline = FirstLineEnd(file);
  LineSpan line;
  while (cursor.Next(line, layout.header.Found() ? LineCursor::Lines::All : LineCursor::Lines::Headers)) {
    const LineMeaning meaning = Interpret(cursor.Text(line));
    if (meaning.kind == LineKind::Section) {
      if (layout.header.Found()) {
        layout.sectionEnd = line.start;
        break;
      }
      if (section.Matches(meaning.name)) {
        layout.header = line;
      }
    } else if (meaning.kind == LineKind::Entry && layout.header.Found()) {
      layout.lastEntry = line;
      if (!layout.entry.Found() && key.Matches(meaning.name)) {
        layout.entry = line;
        layout.entryName = meaning.name;
        layout.entryValue = meaning.value;
      }
    }
  }
  return layout;
}

QByteArray Concat(std::initializer_list<QByteArrayView> parts) {
  qsizetype size = 0;
  for (const QByteArrayView part : parts) {
    size += part.size();
  }
  QByteArray result;
  result.reserve(size);
  for (const QByteArrayView part : parts) {
    result.append(part);
  }
  return result;
}

QByteArray RemoveSection(QByteArrayView file, const SectionLayout& layout) {
  if (!layout.header.Found()) {
    return file.toByteArray();
  }
  return Concat({file.first(layout.header.start), file.sliced(layout.sectionEnd)});
}

QByteArray RemoveEntry(QByteArrayView file, const SectionLayout& layout) {
  if (!layout.entry.Found()) {
    return file.toByteArray();
  }
  return Concat({file.first(layout.entry.start), file.sliced(layout.entry.end)});
}

QByteArray SetEntry(QByteArrayView file, const SectionLayout& layout, const QByteArray& section,
                    const QByteArray& key, const QByteArray& value) {
  if (layout.entry.Found()) {
    // The stored spelling of the key stays; only this line's text changes.
    return Concat({file.first(layout.entry.start), layout.entryName, "=", value, file.sliced(layout.entry.textEnd)});
  }
  if (layout.header.Found()) {
    const LineSpan& anchor = layout.lastEntry.Found() ? layout.lastEntry : layout.header;
    const QByteArrayView anchorEnd = anchor.HasLineEnd() ? QByteArrayView() : layout.newline;
    return Concat({file.first(anchor.end), anchorEnd, key, "=", value, layout.newline, file.sliced(anchor.end)});
  }
  const bool lastLineOpen = file.size() > layout.contentStart && file.back() != '\n' && file.back() != '\r';
  const QByteArrayView separator = lastLineOpen ? layout.newline : QByteArrayView();
  return Concat({file, separator, "[", section, "]", layout.newline, key, "=", value, layout.newline});
}

}  // namespace

LineMeaning InterpretLine(QByteArrayView text) { return Interpret(text); }

std::optional<QString> FindValue(QByteArrayView file, const QString& section, const QString& key) {
  const SectionLayout layout = Locate(file, WantedName(TrimBlanks(section)), WantedName(TrimBlanks(key)));
  if (!layout.entry.Found()) {
    return std::nullopt;
  }
  return DecodeUtf8(Unquoted(layout.entryValue));
}

std::optional<QByteArray> ApplyWrite(QByteArrayView file, const QString& section, const QString* key,
                                     const QString* value) {
  const QString wantedSection = TrimBlanks(section);
  const QString wantedKey = key ? TrimBlanks(*key) : QString();
  if (!IsStorableSection(wantedSection) || (key && !IsStorableKey(wantedKey)) ||
      (value && HasLineBreakOrNul(*value))) {
    return std::nullopt;
  }
  const SectionLayout layout = Locate(file, WantedName(wantedSection), WantedName(wantedKey));
  if (!key) {
    return RemoveSection(file, layout);
  }
  if (!value) {
    return RemoveEntry(file, layout);
  }
  return SetEntry(file, layout, EncodeUtf8Lossless(wantedSection), EncodeUtf8Lossless(wantedKey),
                  EncodeUtf8Lossless(*value));
}

}  // namespace platform::profile_text
