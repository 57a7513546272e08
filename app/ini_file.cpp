#include "app/ini_file.h"

#include "platform/errors.h"
#include "platform/private_profile.h"

#include <cstdint>

namespace {

int DigitValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') {
    return u - u'0';
  }
  if (u >= u'a' && u <= u'f') {
    return u - u'a' + 10;
  }
  if (u >= u'A' && u <= u'F') {
    return u - u'A' + 10;
  }
  return -1;
}

// The value of a run of digits, nothing when a character is no digit of `base` or
// the value exceeds `limit` (checked per digit, so long runs cannot overflow).
std::optional<uint64_t> DigitsValue(QStringView digits, int base, uint64_t limit) {
  if (digits.isEmpty()) {
    return std::nullopt;
  }
  uint64_t value = 0;
  for (const QChar c : digits) {
    const int digit = DigitValue(c);
    if (digit < 0 || digit >= base) {
      return std::nullopt;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > limit) {
      return std::nullopt;
    }
  }
  return value;
}

std::optional<int> HexadecimalInteger(QStringView digits) {
  const std::optional<uint64_t> value = DigitsValue(digits, 16, 0xFFFFFFFFu);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<int>(static_cast<uint32_t>(*value));
}

std::optional<int> DecimalInteger(QStringView text) {
  const bool negative = text.startsWith(u'-');
  const bool signedText = negative || text.startsWith(u'+');
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  const std::optional<uint64_t> value = DigitsValue(text.sliced(signedText ? 1 : 0), 10, limit);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<int>(negative ? -static_cast<int64_t>(*value) : static_cast<int64_t>(*value));
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool InOneQuotePair(const QString& value) {
  return !value.isEmpty() && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
}

// The text to hand the profile functions so that their reading gives value back.
QString ProtectedValue(const QString& value) {
  const bool losesBlanks = !value.isEmpty() && (IsBlank(value.front()) || IsBlank(value.back()));
  return losesBlanks || InOneQuotePair(value) ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

}  // namespace

std::optional<int> IniIntegerFromText(const QString& text) {
  const bool hexadecimal = text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"));
  return hexadecimal ? HexadecimalInteger(QStringView(text).sliced(2)) : DecimalInteger(text);
}

TIniFile::TIniFile(QString FileName) : fileName_(std::move(FileName)) {}

QString TIniFile::ReadString(const QString& Section, const QString& Ident, const QString& Default) const {
  return platform::GetPrivateProfileString(Section, Ident, Default, kReadBufferSize, fileName_);
}

void TIniFile::WriteString(const QString& Section, const QString& Ident, const QString& Value) {
  const QString stored = ProtectedValue(Value);
  if (!platform::WritePrivateProfileString(&Section, &Ident, &stored, fileName_)) {
    throw EIniFileException(fileName_);
  }
}

void TIniFile::WriteStrings(const QString& Section, const platform::ProfileEntries& Entries) {
  platform::ProfileEntries stored;
  stored.reserve(Entries.size());
  for (const auto& [ident, value] : Entries) stored.emplace_back(ident, ProtectedValue(value));
  if (!platform::WritePrivateProfileStrings(Section, stored, fileName_)) {
    throw EIniFileException(fileName_);
  }
}

bool TIniFile::CanStore(const QString& Value) {
  return !Value.contains(u'\r') && !Value.contains(u'\n') && !Value.contains(QChar(u'\0'));
}

int TIniFile::ReadInteger(const QString& Section, const QString& Ident, int Default) const {
  return IniIntegerFromText(ReadString(Section, Ident, QString())).value_or(Default);
}

void TIniFile::WriteInteger(const QString& Section, const QString& Ident, int Value) {
  WriteString(Section, Ident, QString::number(Value));
}

bool TIniFile::ReadBool(const QString& Section, const QString& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString& Section, const QString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::UpdateFile() { platform::WritePrivateProfileString(nullptr, nullptr, nullptr, fileName_); }
