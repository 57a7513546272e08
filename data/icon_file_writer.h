#pragma once
// Pieces of an icon file as it is written: little-endian numbers, the header and the
// directory entry of one image.

#include <QByteArray>
#include <QtEndian>

inline void AppendLittleEndian16(QByteArray& out, quint16 value) {
  const quint16 le = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&le), 2);
}

inline void AppendLittleEndian32(QByteArray& out, quint32 value) {
  const quint32 le = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&le), 4);
}

inline constexpr quint32 kIconHeaderBytes = 6;
inline constexpr quint32 kIconEntryBytes = 16;

inline void AppendIconHeader(QByteArray& out, int imageCount) {
  AppendLittleEndian16(out, 0);
  AppendLittleEndian16(out, 1);  // an icon, not a cursor
  AppendLittleEndian16(out, quint16(imageCount));
}

// A size of 256 is stored as 0; a true-colour image has no palette.
inline void AppendIconEntry(QByteArray& out, int width, int height, int bitCount, quint32 bytes, quint32 offset) {
  out.append(char(width >= 256 ? 0 : width));
  out.append(char(height >= 256 ? 0 : height));
  out.append(char(0));
  out.append(char(0));
  AppendLittleEndian16(out, 1);  // planes
  AppendLittleEndian16(out, quint16(bitCount));
  AppendLittleEndian32(out, bytes);
  AppendLittleEndian32(out, offset);
}
