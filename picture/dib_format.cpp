#include "picture/dib_format.h"

#include "picture/byte_view.h"
#include "picture/dib_rle.h"
#include "platform/errors.h"
#include "platform/little_endian.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr char kInvalidBitmap[] = "Bitmap ist ungültig";
constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;

bool IsKnownHeaderSize(uint32_t size) {
  return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == 52 || size == 56 || size == 108 ||
         size == 124;
}

bool IsPaletted(int bitCount) { return bitCount <= 8; }

// Width and height come before anything else is trusted: beyond the limits the picture
// is refused as too large, whatever the rest of the file holds.
void CheckDimensions(const ByteView& view, int64_t width, int64_t height) {
  if (width <= 0 || height == 0) view.Fail();
  if (width > kMaxDibDimension || height > kMaxDibDimension || height < -kMaxDibDimension) throw EOutOfMemory();
}

void ReadCoreFields(const ByteView& view, DibHeader& header) {
  CheckDimensions(view, view.U16(4), view.U16(6));
  header.width = view.U16(4);
  header.height = view.U16(6);
  header.bitCount = view.U16(10);
  if (header.bitCount != 1 && header.bitCount != 4 && header.bitCount != 8 && header.bitCount != 24) view.Fail();
}

bool CompressionFitsDepth(const DibHeader& header) {
  switch (header.compression) {
    case kBiRgb:
      return true;
    // Compressed rows can only be stored bottom-up.
    case kBiRle8:
      return header.bitCount == 8 && !header.topDown;
    case kBiRle4:
      return header.bitCount == 4 && !header.topDown;
    case kBiBitfields:
      return header.bitCount == 16 || header.bitCount == 32;
    default:
      return false;
  }
}

void ReadInfoFields(const ByteView& view, DibHeader& header) {
  const int64_t height = view.I32(8);
  CheckDimensions(view, view.I32(4), height);
  header.width = view.I32(4);
  header.height = static_cast<int>(height < 0 ? -height : height);
  header.topDown = height < 0;
  header.bitCount = view.U16(14);
  header.compression = view.U32(16);
  header.imageSize = view.U32(20);
  const int depth = header.bitCount;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) view.Fail();
  if (!CompressionFitsDepth(header)) view.Fail();
}

// A mask must be one run of set bits inside the pixel, and no two masks may overlap.
void CheckMasks(const ByteView& view, const DibHeader& header) {
  const uint64_t pixelBits = header.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  uint32_t seen = 0;
  for (const uint32_t mask : {header.redMask, header.greenMask, header.blueMask}) {
    if (mask == 0 || (mask & ~pixelBits) || (mask & seen)) view.Fail();
    const uint32_t shifted = mask >> std::countr_zero(mask);
    if ((shifted & (shifted + 1)) != 0) view.Fail();
    seen |= mask;
  }
}

void SetDefaultMasks(DibHeader& header) {
  if (header.bitCount == 16) {
    header.redMask = 0x7C00;
    header.greenMask = 0x03E0;
    header.blueMask = 0x001F;
  } else {
    header.redMask = 0x00FF0000;
    header.greenMask = 0x0000FF00;
    header.blueMask = 0x000000FF;
  }
}

// Channel masks sit inside the larger headers, or right after the 40-byte one.
void ReadMasks(const ByteView& view, uint32_t headerSize, DibHeader& header) {
  header.fieldsEnd = headerSize;
  if (header.compression != kBiBitfields) {
    SetDefaultMasks(header);
    return;
  }
  header.redMask = view.U32(40);
  header.greenMask = view.U32(44);
  header.blueMask = view.U32(48);
  if (headerSize == kInfoHeaderBytes) header.fieldsEnd = kInfoHeaderBytes + 12;
  CheckMasks(view, header);
}

// Colours in use: the header's count when given (never more than the depth can index),
// else all that the depth can index. True-colour bitmaps may carry an unused table too.
uint64_t ColourCount(const ByteView& view, uint32_t headerSize, const DibHeader& header) {
  const uint32_t used = headerSize == kCoreHeaderBytes ? 0 : view.U32(32);
  if (!IsPaletted(header.bitCount)) return used;
  const uint32_t full = 1u << header.bitCount;
  return used == 0 ? full : std::min(used, full);
}

void ReadColourTable(const ByteView& view, uint32_t headerSize, DibHeader& header) {
  const size_t entryBytes = headerSize == kCoreHeaderBytes ? 3 : 4;
  const uint64_t count = ColourCount(view, headerSize, header);
  const uint64_t tableEnd = header.fieldsEnd + count * entryBytes;  // count < 2^32: no overflow
  header.tableEnd = static_cast<size_t>(std::min<uint64_t>(tableEnd, SIZE_MAX));
  if (!IsPaletted(header.bitCount)) return;
  view.Require(header.fieldsEnd, count * entryBytes);
  header.colourTable.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) {
    const size_t at = header.fieldsEnd + i * entryBytes;
    header.colourTable.append(qRgb(view.U8(at + 2), view.U8(at + 1), view.U8(at)));
  }
}

QImage::Format OutputFormat(const DibHeader& header, DibTrueColour trueColour) {
  if (IsPaletted(header.bitCount)) return QImage::Format_Indexed8;
  return trueColour == DibTrueColour::Argb32 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
}

// Checked before the data is even looked at, so a forged size is refused as too large.
void CheckImageBytes(int width, int height, QImage::Format format) {
  const int64_t bytesPerPixel = format == QImage::Format_Indexed8 ? 1 : format == QImage::Format_BGR888 ? 3 : 4;
  const int64_t lineBytes = (width * bytesPerPixel + 3) / 4 * 4;
  if (lineBytes * height > kMaxDibImageBytes) throw EOutOfMemory();
}

QImage AllocateImage(int width, int height, QImage::Format format) {
  CheckImageBytes(width, height, format);
  QImage image(width, height, format);
  if (image.isNull()) throw EOutOfMemory();
  return image;
}

uchar* StoredRowLine(QImage& image, const DibHeader& header, int storedRow) {
  return image.scanLine(header.topDown ? storedRow : header.height - 1 - storedRow);
}

void DecodeIndexedRow(const uint8_t* row, int width, int bitCount, uchar* line) {
  if (bitCount == 8) {
    std::memcpy(line, row, static_cast<size_t>(width));
    return;
  }
  const int perByte = 8 / bitCount;
  const int mask = (1 << bitCount) - 1;
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bitCount * (x % perByte + 1);
    line[x] = static_cast<uchar>((row[x / perByte] >> shift) & mask);
  }
}

// Compressed data ends where the header's byte count says, when that lies in the file.
ByteView CompressedData(const DibHeader& header, const ByteView& bits) {
  if (header.imageSize != 0 && header.imageSize < bits.Size()) return bits.Sub(0, header.imageSize);
  return bits;
}

// Uncompressed pixels are all stored, so this scan costs no more than reading them.
int HighestIndex(const QImage& image) {
  int highest = 0;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    highest = std::max<int>(highest, *std::max_element(line, line + image.width()));
  }
  return highest;
}

// Pixel values at or beyond the end of a short colour table show black.
void CoverIndicesUsed(QImage& image, int highest) {
  if (highest < image.colorCount()) return;
  QList<QRgb> table = image.colorTable();
  table.resize(highest + 1, qRgb(0, 0, 0));
  image.setColorTable(table);
}

// Run-length data may leave pixels out: skipped ones read index 0, so a tiny stream can
// claim a huge picture. What the codes can honestly cover per byte: a run describes at
// most 255 pixels in 2 bytes (127.5 per byte); an end of line, a delta or the end of the
// bitmap skip more, but real encoders use them for the blank parts of a picture, not for
// almost all of it. So a stream may claim up to 1024 pixels per byte, eight times the
// densest run coding, and any picture up to 4096 x 4096 whatever its data (16 MiB at one
// byte per pixel); a claim beyond both is not believed. Memory and work then stay within
// a fixed factor of the input's size.
constexpr int64_t kRleMaxPixelsPerByte = 1024;
constexpr int64_t kRleAlwaysBelievedPixels = int64_t{4096} * 4096;

void CheckRleClaim(const DibHeader& header, const ByteView& data) {
  const int64_t pixels = int64_t{header.width} * header.height;
  if (pixels <= kRleAlwaysBelievedPixels) return;
  if (pixels / kRleMaxPixelsPerByte > static_cast<int64_t>(data.Size())) data.Fail();
}

QImage DecodeRunLength(const DibHeader& header, const ByteView& bits, int& highest) {
  const ByteView data = CompressedData(header, bits);
  CheckImageBytes(header.width, header.height, QImage::Format_Indexed8);
  CheckRleClaim(header, data);
  QImage image = AllocateImage(header.width, header.height, QImage::Format_Indexed8);
  highest = DecodeRle(data, header.compression == kBiRle4, image);
  return image;
}

// One channel of a masked pixel, scaled to 0..255 (an empty mask reads 0).
struct Channel {
  explicit Channel(uint32_t bits)
      : mask(bits), shift(bits ? std::countr_zero(bits) : 0), max(bits >> shift) {}
  uint8_t From(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint32_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((uint64_t{value} * 255 + max / 2) / max);
  }
  uint32_t mask;
  int shift;
  uint32_t max;
};

struct TrueColourRowDecoder {
  const DibHeader& header;
  DibTrueColour output;
  Channel red{header.redMask}, green{header.greenMask}, blue{header.blueMask};

  uint32_t Pixel(const uint8_t* row, int x) const {
    if (header.bitCount == 16) return row[2 * x] | (row[2 * x + 1] << 8);
    const uint8_t* p = row + 4 * x;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
  }
  uint8_t Alpha(const uint8_t* row, int x) const {
    const bool alphaByte = header.bitCount == 32 && header.compression == kBiRgb;
    return alphaByte ? row[4 * x + 3] : 255;
  }
  void Store(uchar* line, int x, uint8_t r, uint8_t g, uint8_t b, uint8_t a) const {
    if (output == DibTrueColour::Argb32) {
      reinterpret_cast<QRgb*>(line)[x] = qRgba(r, g, b, a);
      return;
    }
    line[3 * x] = b;
    line[3 * x + 1] = g;
    line[3 * x + 2] = r;
  }
  void Decode(const uint8_t* row, uchar* line) const {
    if (header.bitCount == 24 && output == DibTrueColour::Bgr888) {
      std::memcpy(line, row, static_cast<size_t>(header.width) * 3);
      return;
    }
    for (int x = 0; x < header.width; ++x) {
      if (header.bitCount == 24) {
        Store(line, x, row[3 * x + 2], row[3 * x + 1], row[3 * x], 255);
      } else {
        const uint32_t pixel = Pixel(row, x);
        Store(line, x, red.From(pixel), green.From(pixel), blue.From(pixel), Alpha(row, x));
      }
    }
  }
};

QImage DecodeUncompressed(const DibHeader& header, const ByteView& bits, DibTrueColour output) {
  const QImage::Format format = OutputFormat(header, output);
  CheckImageBytes(header.width, header.height, format);
  const size_t rowBytes = DibRowBytes(header.width, header.bitCount);
  bits.Require(0, uint64_t{rowBytes} * static_cast<uint64_t>(header.height));
  QImage image = AllocateImage(header.width, header.height, format);
  const TrueColourRowDecoder trueColour{header, output};
  for (int row = 0; row < header.height; ++row) {
    const uint8_t* stored = bits.Data() + static_cast<size_t>(row) * rowBytes;
    uchar* line = StoredRowLine(image, header, row);
    if (IsPaletted(header.bitCount)) {
      DecodeIndexedRow(stored, header.width, header.bitCount, line);
    } else {
      trueColour.Decode(stored, line);
    }
  }
  return image;
}

QImage ImageForWriting(const QImage& image) {
  switch (image.format()) {
    case QImage::Format_Indexed8:
      return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      return image.convertToFormat(QImage::Format_Indexed8);
    default:
      return image.convertToFormat(QImage::Format_BGR888);
  }
}

// An indexed image without a colour table is written with a grey ramp.
QList<QRgb> TableForWriting(const QImage& image) {
  QList<QRgb> table = image.colorTable();
  if (table.isEmpty()) {
    for (int i = 0; i < 256; ++i) table.append(qRgb(i, i, i));
  }
  return table;
}

void WriteHeaders(QByteArray& out, const QImage& image, uint32_t tableBytes, uint32_t pixelBytes) {
  const uint32_t offBits = kFileHeaderBytes + kInfoHeaderBytes + tableBytes;
  const bool indexed = image.format() == QImage::Format_Indexed8;
  out.append("BM");
  platform::AppendU32(out, offBits + pixelBytes);
  platform::AppendU32(out, 0);
  platform::AppendU32(out, offBits);
  platform::AppendU32(out, kInfoHeaderBytes);
  platform::AppendU32(out, static_cast<uint32_t>(image.width()));
  platform::AppendU32(out, static_cast<uint32_t>(image.height()));
  platform::AppendU16(out, 1);
  platform::AppendU16(out, indexed ? 8 : 24);
  platform::AppendU32(out, kBiRgb);
  platform::AppendU32(out, pixelBytes);
  platform::AppendU32(out, 0);  // no physical resolution
  platform::AppendU32(out, 0);
  platform::AppendU32(out, indexed ? tableBytes / 4 : 0);
  platform::AppendU32(out, 0);
}

}  // namespace

uint64_t DibRowBytes(int64_t width, int bitCount) {
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}

DibHeader ReadDibHeader(const uint8_t* data, size_t size) {
  const ByteView view(data, size, kInvalidBitmap);
  const uint32_t headerSize = view.U32(0);
  if (!IsKnownHeaderSize(headerSize)) view.Fail();
  view.Require(0, headerSize);
  DibHeader header;
  if (headerSize == kCoreHeaderBytes) {
    ReadCoreFields(view, header);
    header.fieldsEnd = kCoreHeaderBytes;
    SetDefaultMasks(header);
  } else {
    ReadInfoFields(view, header);
    ReadMasks(view, headerSize, header);
  }
  ReadColourTable(view, headerSize, header);
  return header;
}

QImage DecodeDibPixels(const DibHeader& header, const uint8_t* bits, size_t size, DibTrueColour trueColour) {
  const ByteView view(bits, size, kInvalidBitmap);
  const bool runLength = header.compression == kBiRle8 || header.compression == kBiRle4;
  int highest = 0;
  QImage image = runLength ? DecodeRunLength(header, view, highest) : DecodeUncompressed(header, view, trueColour);
  if (image.format() == QImage::Format_Indexed8) {
    image.setColorTable(header.colourTable);
    if (header.colourTable.size() < (1 << header.bitCount)) {
      CoverIndicesUsed(image, runLength ? highest : HighestIndex(image));
    }
  }
  return image;
}

QImage ReadDib(const uint8_t* data, size_t size) {
  const DibHeader header = ReadDibHeader(data, size);
  const ByteView view(data, size, kInvalidBitmap);
  const ByteView bits = view.From(header.tableEnd);
  return DecodeDibPixels(header, bits.Data(), bits.Size());
}

QImage ReadBitmapFile(const uint8_t* data, size_t size) {
  const ByteView file(data, size, kInvalidBitmap);
  if (file.U8(0) != 'B' || file.U8(1) != 'M') file.Fail();
  const uint32_t offBits = file.U32(10);
  const ByteView dib = file.From(kFileHeaderBytes);
  const DibHeader header = ReadDibHeader(dib.Data(), dib.Size());
  // Without an offset the pixels follow the colour table; an offset into the header or
  // colour table cannot be right.
  const size_t dataStart = IsPaletted(header.bitCount) ? header.tableEnd : header.fieldsEnd;
  const size_t bitsAt = offBits == 0 ? kFileHeaderBytes + header.tableEnd : offBits;
  if (bitsAt < kFileHeaderBytes + dataStart) file.Fail();
  const ByteView bits = file.From(bitsAt);
  return DecodeDibPixels(header, bits.Data(), bits.Size());
}

QByteArray WriteBitmapFile(const QImage& source) {
  if (source.isNull()) return {};
  const QImage image = ImageForWriting(source);
  const bool indexed = image.format() == QImage::Format_Indexed8;
  const QList<QRgb> table = indexed ? TableForWriting(image) : QList<QRgb>();
  const size_t rowBytes = DibRowBytes(image.width(), indexed ? 8 : 24);
  const size_t usedBytes = static_cast<size_t>(image.width()) * (indexed ? 1 : 3);
  const auto tableBytes = static_cast<uint32_t>(table.size() * 4);
  const auto pixelBytes = static_cast<uint32_t>(rowBytes * static_cast<size_t>(image.height()));
  QByteArray out;
  out.reserve(static_cast<qsizetype>(kFileHeaderBytes + kInfoHeaderBytes + tableBytes + pixelBytes));
  WriteHeaders(out, image, tableBytes, pixelBytes);
  for (const QRgb colour : table) {
    out.append(static_cast<char>(qBlue(colour)));
    out.append(static_cast<char>(qGreen(colour)));
    out.append(static_cast<char>(qRed(colour)));
    out.append('\0');
  }
  for (int y = image.height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(image.constScanLine(y)), static_cast<qsizetype>(usedBytes));
    out.append(QByteArray(static_cast<qsizetype>(rowBytes - usedBytes), '\0'));
  }
  return out;
}
