#include "picture/bitmap.h"

#include "picture/dib_format.h"
#include "platform/errors.h"
#include "platform/memory_room.h"
#include "platform/stream.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <sys/mman.h>

namespace {

constexpr int kMaxIndexedColors = 256;

QImage::Format QtFormat(TPixelFormat format) {
  return format == TPixelFormat::pf8bit ? QImage::Format_Indexed8 : QImage::Format_BGR888;
}

int BitsOf(TPixelFormat format) { return format == TPixelFormat::pf8bit ? 8 : 24; }

TPixelFormat Resolved(TPixelFormat format) {
  // The screen is true colour, so its own format is 24 bits per pixel.
  return format == TPixelFormat::pfDevice ? TPixelFormat::pf24bit : format;
}

// A pixel index without a colour-table entry would be read past the table when the
// image is drawn, so indexed images always carry all 256 entries (the extra ones black).
void PadColorTable(QImage& image) {
  QList<QRgb> table = image.colorTable();
  if (table.size() == kMaxIndexedColors) {
    return;
  }
  table.resize(kMaxIndexedColors, qRgb(0, 0, 0));
  image.setColorTable(table);
}

void FreeBuffer(void* buffer) { std::free(buffer); }

// Bitmaps from this size on are first compared with the memory the system can still
// give: asking for more succeeds, and the kernel then kills the program while the pixels
// are written. Smaller ones are not worth reading the system's figures for.
constexpr int64_t kCheckedBitmapBytes = int64_t{16} << 20;

void RequireMemoryFor(int64_t bytes) {
  if (bytes < kCheckedBitmapBytes) {
    return;
  }
  const std::optional<int64_t> room = platform::MemoryRoomNow();
  if (room && bytes > *room) {
    throw EOutOfMemory();
  }
}

// Large bitmaps ask for huge pages: a 24-megapixel decode otherwise takes some 18,000
// page faults on its fresh buffer, a fifth of its time, and a picture turned a quarter
// writes each row in short pieces that with small pages mostly miss the address cache.
void PreferHugePages(void* buffer, size_t bytes) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(buffer) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kHugePage - 1);
  if (end > begin) {
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // only a hint
  }
}

// A zero-filled image. calloc hands out fresh zero pages for large sizes, so a bitmap
// that a decoder is about to fill costs no extra pass over its memory.
QImage ZeroedImage(int width, int height, TPixelFormat format) {
  const int64_t bytes = BitmapByteSize(width, height, BitsOf(format));
  if (bytes < 0) {
    throw EOutOfMemory();
  }
  RequireMemoryFor(bytes);
  void* buffer = std::calloc(static_cast<size_t>(bytes), 1);
  if (buffer == nullptr) {
    throw EOutOfMemory();
  }
  PreferHugePages(buffer, static_cast<size_t>(bytes));
  const qsizetype bytesPerLine = static_cast<qsizetype>(bytes / height);
  QImage image(static_cast<uchar*>(buffer), width, height, bytesPerLine, QtFormat(format), FreeBuffer, buffer);
  if (format == TPixelFormat::pf8bit) {
    PadColorTable(image);
  }
  return image;
}

void CopyOverlap(const QImage& from, QImage& to) {
  const int rows = std::min(from.height(), to.height());
  const qsizetype bytes = std::min(from.bytesPerLine(), to.bytesPerLine());
  for (int y = 0; y < rows; ++y) {
    std::memcpy(to.scanLine(y), from.constScanLine(y), static_cast<size_t>(bytes));
  }
  if (from.format() == QImage::Format_Indexed8) {
    to.setColorTable(from.colorTable());
  }
}

}  // namespace

int64_t BitmapByteSize(int64_t Width, int64_t Height, int BitsPerPixel) {
  constexpr int64_t kMaxDimension = 1 << 30;
  if (Width < 0 || Height < 0 || Width > kMaxDimension || Height > kMaxDimension || BitsPerPixel <= 0) {
    return -1;
  }
  // Width and bit count are small enough here that the row size cannot overflow.
  const int64_t rowBytes = (Width * BitsPerPixel + 31) / 32 * 4;
  if (rowBytes != 0 && Height > kMaxBitmapBytes / rowBytes) {
    return -1;
  }
  return rowBytes * Height;
}

// ---------------------------------------------------------------------------------------

// Paints on the bitmap's own pixels. The painter is opened on first use and closed
// whenever the bitmap hands its pixels out or replaces them.
class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& owner) : TCanvas(nullptr, 24), owner_(owner) {}
  ~BitmapCanvas() override { end(); }

  QPainter* Painter() override {
    if (painter_.isActive()) {
      return &painter_;
    }
    if (owner_.image_.isNull()) {
      return nullptr;
    }
    if (owner_.pixelFormat_ == TPixelFormat::pf8bit) {
      owner_.SetPixelFormat(TPixelFormat::pf24bit);
    }
    return painter_.begin(&owner_.image_) ? &painter_ : nullptr;
  }

  void end() {
    if (painter_.isActive()) {
      painter_.end();
    }
  }

 private:
  TBitmap& owner_;
  QPainter painter_;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { endPainting(); }

std::unique_ptr<TGraphic> TBitmap::NewSameKind() const { return std::make_unique<TBitmap>(); }

void TBitmap::endPainting() const {
  if (canvas_) {
    canvas_->end();
  }
}

void TBitmap::replaceImage(QImage image) {
  endPainting();
  image_ = std::move(image);
}

void TBitmap::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TBitmap*>(Source);
  if (source == nullptr) {
    TGraphic::Assign(Source);
    return;
  }
  if (source != this) {
    replaceImage(source->Image());
    palette_ = source->palette_;
    pixelFormat_ = source->pixelFormat_;
  }
  Changed(this);
}

bool TBitmap::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TBitmap*>(Graphic);
  if (other == nullptr || typeid(*other) != typeid(*this)) {
    return false;
  }
  return Image() == other->Image();
}

bool TBitmap::Empty() { return image_.isNull(); }

int TBitmap::Width() { return image_.width(); }

int TBitmap::Height() { return image_.height(); }

void TBitmap::SetWidth(int Value) { SetSize(Value, Height()); }

void TBitmap::SetHeight(int Value) { SetSize(Width(), Value); }

void TBitmap::SetSize(int NewWidth, int NewHeight) {
  NewWidth = std::max(0, NewWidth);
  NewHeight = std::max(0, NewHeight);
  if (NewWidth == Width() && NewHeight == Height()) {
    return;
  }
  QImage resized;
  if (NewWidth > 0 && NewHeight > 0) {
    resized = ZeroedImage(NewWidth, NewHeight, pixelFormat_);
    if (!image_.isNull()) {
      CopyOverlap(Image(), resized);
    } else if (pixelFormat_ == TPixelFormat::pf8bit && palette_) {
      resized.setColorTable(ColorTableFromPalette(palette_));
      PadColorTable(resized);
    }
  }
  replaceImage(std::move(resized));
  Changed(this);
}

TPalette TBitmap::Palette() { return palette_; }

void TBitmap::SetPalette(TPalette Value) {
  if (Value == palette_) {
    return;
  }
  palette_ = std::move(Value);
  if (pixelFormat_ == TPixelFormat::pf8bit && !image_.isNull()) {
    endPainting();
    image_.setColorTable(ColorTableFromPalette(palette_));
    PadColorTable(image_);
  }
  SetPaletteModified(true);
  Changed(this);
}

TPixelFormat TBitmap::PixelFormat() const { return pixelFormat_; }

int TBitmap::BitsPerPixel() const { return BitsOf(pixelFormat_); }

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  Value = Resolved(Value);
  if (Value == pixelFormat_) {
    return;
  }
  if (!image_.isNull()) {
    const int64_t bytes = BitmapByteSize(image_.width(), image_.height(), BitsOf(Value));
    if (bytes < 0) {
      throw EOutOfMemory();
    }
    RequireMemoryFor(bytes);
    QImage converted = Image().convertToFormat(QtFormat(Value));
    if (converted.isNull()) {
      throw EOutOfMemory();
    }
    if (Value == TPixelFormat::pf8bit) {
      palette_ = PaletteFromColorTable(converted.colorTable());
      PadColorTable(converted);
    }
    replaceImage(std::move(converted));
  }
  pixelFormat_ = Value;
  Changed(this);
}

uint8_t* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= image_.height()) {
    throw EInvalidGraphicOperation(QStringLiteral("Zeilenindex außerhalb des gültigen Bereichs"));
  }
  endPainting();
  return image_.scanLine(Row);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<BitmapCanvas>(*this);
  }
  return *canvas_;
}

const QImage& TBitmap::Image() const {
  endPainting();
  return image_;
}

void TBitmap::SetImage(const QImage& Image) {
  if (Image.isNull()) {
    replaceImage(QImage());
    Changed(this);
    return;
  }
  const bool indexed = Image.format() == QImage::Format_Indexed8 || Image.format() == QImage::Format_Mono ||
                       Image.format() == QImage::Format_MonoLSB;
  const TPixelFormat format = indexed ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  const int64_t bytes = BitmapByteSize(Image.width(), Image.height(), BitsOf(format));
  if (bytes < 0) {
    throw EOutOfMemory();
  }
  RequireMemoryFor(bytes);
  QImage converted = Image.convertToFormat(QtFormat(format));
  if (converted.isNull()) {
    throw EOutOfMemory();
  }
  palette_ = indexed ? PaletteFromColorTable(converted.colorTable()) : nullptr;
  if (indexed) {
    PadColorTable(converted);
  }
  pixelFormat_ = format;
  replaceImage(std::move(converted));
  Changed(this);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const int64_t count = Stream.Size() - Stream.Position();
  // A bitmap file is hardly larger than its pixels; more cannot give an acceptable picture.
  if (count > 2 * kMaxBitmapBytes) {
    throw EOutOfMemory();
  }
  QByteArray bytes(std::max<int64_t>(0, count), Qt::Uninitialized);
  Stream.ReadBuffer(bytes.data(), bytes.size());
  SetImage(ReadBitmapFile(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
}

void TBitmap::SaveToStream(TStream& Stream) {
  const QByteArray bytes = WriteBitmapFile(Image());
  Stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TBitmap::Draw(TCanvas& ACanvas, const QRect& Rect) { ACanvas.StretchImage(Rect, Image(), BitsPerPixel()); }
