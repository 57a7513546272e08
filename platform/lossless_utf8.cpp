#include "platform/lossless_utf8.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace platform {
namespace {

constexpr char16_t kCarrierBase = 0xDC00;
constexpr char16_t kFirstCarrier = 0xDC80;
constexpr char16_t kLastCarrier = 0xDCFF;
constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at the start of bytes, or 0 when it is not one
// (a stray or missing continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
qsizetype ValidSequenceLength(QByteArrayView bytes, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  qsizetype length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (bytes.size() < length) {
    return 0;
  }
  for (qsizetype i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if (!IsContinuation(next)) {
      return 0;
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  return codePoint < minimum || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

QString DecodeByteByByte(QByteArrayView bytes) {
  QString text;
  text.reserve(bytes.size());
  qsizetype i = 0;
  while (i < bytes.size()) {
    char32_t codePoint = 0;
    const qsizetype length = ValidSequenceLength(bytes.sliced(i), codePoint);
    if (length == 0) {
      text.append(QChar(static_cast<char16_t>(kCarrierBase + static_cast<unsigned char>(bytes[i]))));
      ++i;
      continue;
    }
    const char32_t units[] = {codePoint};
    text.append(QString::fromUcs4(units, 1));
    i += length;
  }
  return text;
}

void AppendUtf8(QByteArray& bytes, char32_t codePoint) {
  if (codePoint < 0x80) {
    bytes.append(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    bytes.append(static_cast<char>(0xC0 | (codePoint >> 6)));
    bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    bytes.append(static_cast<char>(0xE0 | (codePoint >> 12)));
    bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    bytes.append(static_cast<char>(0xF0 | (codePoint >> 18)));
    bytes.append(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

bool IsCarrier(QChar c) { return c.unicode() >= kFirstCarrier && c.unicode() <= kLastCarrier; }

// Windows-1252 at 0x80..0x9F; Latin-1 (the same code points) from 0xA0 on.
QChar Cp1252Character(unsigned char byte) {
  static constexpr std::array<char16_t, 32> kHighControls = {
      0x20AC, kReplacement, 0x201A, 0x0192, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
      0x0152, kReplacement, 0x017D, kReplacement, kReplacement, kReplacement, 0x2018, 0x2019, 0x201C,
      0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178,
  };
  return byte < 0xA0 ? QChar(kHighControls[byte - 0x80]) : QChar(static_cast<char16_t>(byte));
}

}  // namespace

QString DecodeUtf8Lossless(QByteArrayView bytes) {
  // Valid UTF-8, nearly every name, goes through Qt's fast decoder; the byte-order mark
  // belongs to the text (Qt would drop a leading one).
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = decoder.decode(bytes);
  return decoder.hasError() ? DecodeByteByByte(bytes) : text;
}

void DecodeUtf8Lossless(QByteArrayView bytes, QString& text) {
  if (IsAscii(bytes)) {
    text = QLatin1StringView(bytes);  // Qt copies into the text's own storage when it may
  } else {
    text = DecodeUtf8Lossless(bytes);
  }
}

bool IsAscii(QByteArrayView bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QByteArray EncodeUtf8Lossless(QStringView text) {
  QByteArray bytes;
  bytes.reserve(text.size() * 3);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!c.isSurrogate()) {
      AppendUtf8(bytes, c.unicode());
    } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      AppendUtf8(bytes, QChar::surrogateToUcs4(c, text[i + 1]));
      ++i;
    } else if (IsCarrier(c)) {
      bytes.append(static_cast<char>(c.unicode() - kCarrierBase));
    } else {
      AppendUtf8(bytes, kReplacement);
    }
  }
  return bytes;
}

bool EqualsIgnoringCase(QByteArrayView bytes, QStringView text) {
  qsizetype b = 0;
  qsizetype t = 0;
  while (b < bytes.size() && t < text.size()) {
    char32_t fromBytes = 0;
    const qsizetype length = ValidSequenceLength(bytes.sliced(b), fromBytes);
    if (length == 0) {
      fromBytes = kCarrierBase + static_cast<unsigned char>(bytes[b]);
    }
    b += std::max<qsizetype>(length, 1);
    char32_t fromText = text[t].unicode();
    if (text[t].isHighSurrogate() && t + 1 < text.size() && text[t + 1].isLowSurrogate()) {
      fromText = QChar::surrogateToUcs4(text[t], text[t + 1]);
      ++t;
    }
    ++t;
    if (fromBytes != fromText && QChar::toCaseFolded(fromBytes) != QChar::toCaseFolded(fromText)) {
      return false;
    }
  }
  return b == bytes.size() && t == text.size();
}

QString ReadableText(const QString& text) {
  QString readable = text;
  for (qsizetype i = 0; i < readable.size(); ++i) {
    if (readable[i].isHighSurrogate() && i + 1 < readable.size() && readable[i + 1].isLowSurrogate()) {
      ++i;  // a character beyond the basic plane, not a carried byte
    } else if (IsCarrier(readable[i])) {
      readable[i] = Cp1252Character(static_cast<unsigned char>(readable[i].unicode() - kCarrierBase));
    }
  }
  return readable;
}

}  // namespace platform
