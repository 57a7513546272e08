#pragma once
// Numbers appended to a byte array least significant byte first, as the bitmap, icon and
// version-information layouts store them whatever the processor's own order is.

#include <QByteArray>

#include <cstdint>

namespace platform {

inline void AppendU16(QByteArray& out, uint16_t value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>(value >> 8));
}

inline void AppendU32(QByteArray& out, uint32_t value) {
  AppendU16(out, static_cast<uint16_t>(value & 0xFFFF));
  AppendU16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace platform
