#pragma once
// The text core of the profile (INI) functions: finding a value in the bytes of a
// profile file and applying one write to those bytes. It touches no file, so the
// file layer stays small and the parser can be fed arbitrary bytes.
//
// File rules: a line "[name]" opens a section, "name=value" is an entry of the
// section above it, a line whose first non-blank character is ";" is a comment, and
// anything else (lines holding a NUL byte included) is kept but means nothing. Names
// compare case-insensitively; blanks (space, tab) around names and values do not
// count; one matching pair of double or single quotes around a value is dropped;
// the first of duplicate sections or entries wins. CRLF, CR and LF all end a line,
// and a UTF-8 byte-order mark at the start of the file is skipped.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform::profile_text {

enum class LineKind { Other, Comment, Section, Entry };

// What one line means. For a section, `name` is the section name; for an entry,
// `name` and `value` are the trimmed raw bytes (the value still quoted).
struct LineMeaning {
  LineKind kind = LineKind::Other;
  QByteArrayView name;
  QByteArrayView value;
};

LineMeaning InterpretLine(QByteArrayView text);

// The value stored under section/key (blanks trimmed, one quote pair dropped), or
// nothing when the section or key is missing.
std::optional<QString> FindValue(QByteArrayView file, const QString& section, const QString& key);

// Applies one write and returns the new file bytes:
//  - key and value given: set the entry (creating section and entry as needed);
//  - key given, no value: remove the entry;
//  - no key: remove the whole section (header and its lines).
// Returns nothing when the names or the value cannot be stored in a profile line
// (a line break or NUL anywhere, "]" in a section name, "=" in a key, a key that
// would read back as a comment or section header).
std::optional<QByteArray> ApplyWrite(QByteArrayView file, const QString& section, const QString* key,
                                     const QString* value);

}  // namespace platform::profile_text
