#include "picture/metafile_header.h"

#include "picture/byte_view.h"
#include "platform/mul_div.h"

namespace {

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kEmfMinimumBytes = 100;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderBytes = 22;

QRect ReadRectL(const ByteView& view, size_t at) {
  return QRect(QPoint(view.I32(at), view.I32(at + 4)), QPoint(view.I32(at + 8), view.I32(at + 12)));
}

int64_t Extent(int64_t from, int64_t to) { return to >= from ? to - from : from - to; }

MetafileHeader ReadEnhancedHeader(const ByteView& view) {
  MetafileHeader header;
  header.enhanced = true;
  header.bounds = ReadRectL(view, 8);
  header.frame = ReadRectL(view, 24);
  header.handles = view.U16(56);
  header.devicePixels = QSize(view.I32(72), view.I32(76));
  header.deviceMillimetres = QSize(view.I32(80), view.I32(84));
  header.mmWidth = Extent(int64_t{view.I32(24)}, int64_t{view.I32(32)});
  header.mmHeight = Extent(int64_t{view.I32(28)}, int64_t{view.I32(36)});
  return header;
}

bool ChecksumMatches(const ByteView& view) {
  uint16_t sum = 0;
  for (size_t word = 0; word < 10; ++word) sum ^= view.U16(2 * word);
  return sum == view.U16(20);
}

MetafileHeader ReadPlaceableHeader(const ByteView& view) {
  MetafileHeader header;
  const int left = view.I16(6);
  const int top = view.I16(8);
  const int right = view.I16(10);
  const int bottom = view.I16(12);
  header.box = QRect(QPoint(left, top), QPoint(right, bottom));
  header.unitsPerInch = view.U16(14);
  const int perInch = header.unitsPerInch == 0 ? kMetafileScreenDpi : header.unitsPerInch;
  header.mmWidth = MulDiv(Extent(left, right), kHundredthMmPerInch, perInch);
  header.mmHeight = MulDiv(Extent(top, bottom), kHundredthMmPerInch, perInch);
  return header;
}

}  // namespace

MetafileHeader ReadMetafileHeader(const uint8_t* data, size_t size) {
  const ByteView view(data, size, kInvalidMetafile);
  if (size > kEmfMinimumBytes && view.U32(0) == kEmrHeader && view.U32(40) == kEmfSignature) {
    return ReadEnhancedHeader(view);
  }
  if (view.Has(0, kPlaceableHeaderBytes) && view.U32(0) == kPlaceableKey && ChecksumMatches(view)) {
    return ReadPlaceableHeader(view);
  }
  view.Fail();
}
