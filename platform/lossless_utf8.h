#pragma once
// Text that came from bytes the system hands over (file names, profile values) and goes
// back to it unchanged. Linux names are bytes and need not be UTF-8: a Latin-1 name from
// an old archive or card holds bytes that no UTF-8 decoder can read. Each such byte is
// carried in the text as a lone surrogate U+DC80..U+DCFF (its value plus 0xDC00), which
// no valid UTF-8 ever decodes to, so decoding and encoding again give the same bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// The bytes as text: valid UTF-8 as its characters (a leading byte-order mark included),
// every other byte as the lone surrogate that carries it.
[[nodiscard]] QString DecodeUtf8Lossless(QByteArrayView bytes);

// The same decoding into text, whose storage is reused when no other text shares it and it
// is large enough (for ASCII, nearly every name): a reader that decodes millions of short
// fields and keeps none of them then allocates nothing per field.
void DecodeUtf8Lossless(QByteArrayView bytes, QString& text);

// Whether every byte is below 0x80: bytes that mean the same in UTF-8 and Latin-1.
[[nodiscard]] bool IsAscii(QByteArrayView bytes);

// The inverse: UTF-8, with each carried byte turned back into itself. A lone surrogate
// that carries no byte (none comes from DecodeUtf8Lossless) becomes U+FFFD.
[[nodiscard]] QByteArray EncodeUtf8Lossless(QStringView text);

// Whether the bytes, decoded as DecodeUtf8Lossless decodes them, are text when letter
// case is ignored; compares code point by code point and makes no text on the way.
[[nodiscard]] bool EqualsIgnoringCase(QByteArrayView bytes, QStringView text);

// The text as a person reads it: each carried byte shown as the Windows-1252 character
// it stands for in the Latin-1 names it usually comes from ("bild\xE4" reads "bildä"),
// U+FFFD where that code page has none. For showing only, never for the system.
[[nodiscard]] QString ReadableText(const QString& text);

}  // namespace platform
