#include "picture/icon.h"

#include "picture/byte_view.h"
#include "picture/canvas.h"
#include "picture/dib_format.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace {

constexpr char kInvalidIcon[] = "Ungültiges Symbol";
constexpr char kInvalidCursor[] = "Ungültiger Mauszeiger";
constexpr size_t kDirectoryHeaderBytes = 6;
constexpr size_t kDirectoryEntryBytes = 16;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

int BitCountFromColours(int colourCount) {
  if (colourCount == 2) return 1;
  if (colourCount == 16) return 4;
  return 8;  // 0 stands for 256 or more colours
}

// A cursor's directory entry holds its hot spot where an icon's holds planes and bits.
IconDirEntry ReadEntry(const ByteView& file, size_t at, uint16_t type) {
  IconDirEntry entry;
  entry.width = file.U8(at) == 0 ? 256 : file.U8(at);
  entry.height = file.U8(at + 1) == 0 ? 256 : file.U8(at + 1);
  const uint16_t bitCount = type == kIconType ? file.U16(at + 6) : 0;
  entry.bitCount = bitCount != 0 ? bitCount : BitCountFromColours(file.U8(at + 2));
  entry.bytes = file.U32(at + 8);
  entry.offset = file.U32(at + 12);
  if (entry.bytes == 0) file.Fail();
  file.Require(entry.offset, entry.bytes);
  return entry;
}

// How good an entry is for the display size: smaller is better.
auto Rank(const IconDirEntry& entry) {
  const int distance = std::abs(entry.width - kIconDisplaySize) + std::abs(entry.height - kIconDisplaySize);
  return std::make_tuple(distance, -(entry.width * entry.height), -entry.bitCount);
}

bool IsPng(const ByteView& image) {
  if (!image.Has(0, sizeof kPngSignature)) return false;
  return std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.Data());
}

QImage ReadPngImage(const ByteView& image) {
  const QImage decoded = QImage::fromData(
      QByteArrayView(reinterpret_cast<const char*>(image.Data()), static_cast<qsizetype>(image.Size())), "PNG");
  if (decoded.isNull()) image.Fail();
  return decoded.convertToFormat(QImage::Format_ARGB32);
}

// The bitmap header of an icon image describes the colour image and the mask below it,
// so its height counts both.
DibHeader ReadColourHeader(const ByteView& image) {
  DibHeader header;
  try {
    header = ReadDibHeader(image.Data(), image.Size());
  } catch (const EInvalidGraphic&) {
    image.Fail();
  }
  const bool uncompressed = header.compression == kBiRgb || header.compression == kBiBitfields;
  if (!uncompressed || header.topDown || header.height < 2) image.Fail();
  header.height /= 2;
  return header;
}

DibHeader MaskHeader(const DibHeader& colour) {
  DibHeader mask;
  mask.width = colour.width;
  mask.height = colour.height;
  mask.bitCount = 1;
  mask.colourTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  return mask;
}

bool HasAlphaChannel(const DibHeader& header, const QImage& colour) {
  if (header.bitCount != 32 || header.compression != kBiRgb) return false;
  for (int y = 0; y < colour.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
    for (int x = 0; x < colour.width(); ++x) {
      if (qAlpha(line[x]) != 0) return true;
    }
  }
  return false;
}

void ApplyMask(QImage& colour, const QImage& mask) {
  for (int y = 0; y < colour.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
    const uchar* transparent = mask.constScanLine(y);
    for (int x = 0; x < colour.width(); ++x) {
      line[x] = transparent[x] ? 0 : (line[x] | 0xFF000000u);
    }
  }
}

QImage ReadBitmapImage(const ByteView& image) {
  const DibHeader header = ReadColourHeader(image);
  const uint64_t colourBytes = DibRowBytes(header.width, header.bitCount) * static_cast<uint64_t>(header.height);
  const uint64_t maskBytes = DibRowBytes(header.width, 1) * static_cast<uint64_t>(header.height);
  const ByteView bits = image.From(header.tableEnd);
  bits.Require(0, colourBytes + maskBytes);
  QImage colour;
  QImage mask;
  try {
    colour = DecodeDibPixels(header, bits.Data(), colourBytes, DibTrueColour::Argb32)
                 .convertToFormat(QImage::Format_ARGB32);
    mask = DecodeDibPixels(MaskHeader(header), bits.Data() + colourBytes, maskBytes);
  } catch (const EInvalidGraphic&) {
    image.Fail();
  }
  if (!HasAlphaChannel(header, colour)) ApplyMask(colour, mask);
  return colour;
}

std::vector<IconDirEntry> ReadDirectory(const uint8_t* data, size_t size, uint16_t type, const char* invalid) {
  const ByteView file(data, size, invalid);
  if (file.U16(0) != 0 || file.U16(2) != type || file.U16(4) == 0) file.Fail();
  const size_t count = file.U16(4);
  file.Require(kDirectoryHeaderBytes, count * kDirectoryEntryBytes);
  std::vector<IconDirEntry> entries;
  entries.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    entries.push_back(ReadEntry(file, kDirectoryHeaderBytes + i * kDirectoryEntryBytes, type));
  }
  return entries;
}

QImage ReadChosenImage(const uint8_t* data, size_t size, const IconDirEntry& chosen, const char* invalid) {
  const ByteView image = ByteView(data, size, invalid).Sub(chosen.offset, chosen.bytes);
  return IsPng(image) ? ReadPngImage(image) : ReadBitmapImage(image);
}

}  // namespace

size_t ChooseIconEntry(const std::vector<IconDirEntry>& entries) {
  size_t best = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    if (Rank(entries[i]) < Rank(entries[best])) best = i;
  }
  return best;
}

std::vector<IconDirEntry> ReadIconDirectory(const uint8_t* data, size_t size) {
  return ReadDirectory(data, size, kIconType, kInvalidIcon);
}

QImage ReadIconFile(const uint8_t* data, size_t size) {
  const std::vector<IconDirEntry> entries = ReadIconDirectory(data, size);
  return ReadChosenImage(data, size, entries[ChooseIconEntry(entries)], kInvalidIcon);
}

CursorImage ReadCursorFile(const uint8_t* data, size_t size) {
  const std::vector<IconDirEntry> entries = ReadDirectory(data, size, kCursorType, kInvalidCursor);
  const size_t chosen = ChooseIconEntry(entries);
  const ByteView file(data, size, kInvalidCursor);
  const size_t at = kDirectoryHeaderBytes + chosen * kDirectoryEntryBytes;
  CursorImage cursor{ReadChosenImage(data, size, entries[chosen], kInvalidCursor),
                     QPoint(file.U16(at + 4), file.U16(at + 6))};
  // A hot spot outside the picture would point nowhere: keep it on the picture.
  cursor.hotSpot.setX(std::clamp(cursor.hotSpot.x(), 0, std::max(0, cursor.image.width() - 1)));
  cursor.hotSpot.setY(std::clamp(cursor.hotSpot.y(), 0, std::max(0, cursor.image.height() - 1)));
  return cursor;
}

TIcon::TIcon() = default;

std::unique_ptr<TGraphic> TIcon::NewSameKind() const { return std::make_unique<TIcon>(); }

void TIcon::Assign(TPersistent* Source) {
  if (Source != nullptr && dynamic_cast<TIcon*>(Source) == nullptr) {
    TGraphic::Assign(Source);
    return;
  }
  data_ = Source != nullptr ? static_cast<TIcon*>(Source)->data_ : nullptr;
  Changed(this);
}

int TIcon::Width() { return data_ ? data_->image.width() : 0; }

int TIcon::Height() { return data_ ? data_->image.height() : 0; }

void TIcon::LoadFromStream(TStream& Stream) {
  QByteArray file = ReadRestOfStream(Stream, kMaxDibImageBytes);
  QImage image = ReadIconFile(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
  data_ = std::make_shared<const Data>(Data{std::move(file), std::move(image)});
  Changed(this);
}

void TIcon::SaveToStream(TStream& Stream) {
  if (data_) Stream.WriteBuffer(data_->file.constData(), data_->file.size());
}

QImage TIcon::Image() const { return data_ ? data_->image : QImage(); }

void TIcon::Draw(TCanvas& ACanvas, const QRect& Rect) {
  if (data_) ACanvas.StretchImage(Rect, data_->image, 32);
}
