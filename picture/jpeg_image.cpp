#include "picture/jpeg_image.h"

#include "picture/jpeg_codec.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_encode.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QtEndian>

#include <algorithm>
#include <typeinfo>

namespace {

// The largest JPEG file kept in memory: far beyond any photograph, and it keeps a
// forged stored-data count from asking for absurd amounts.
constexpr int64_t kMaxJpegFileBytes = int64_t{1} << 30;

}  // namespace

TJPEGImage::TJPEGImage()
    : data_(std::make_shared<TJPEGData>()), settings_(JPEGDefaults()), alive_(std::make_shared<bool>(true)) {}

TJPEGImage::~TJPEGImage() { *alive_ = false; }

std::unique_ptr<TGraphic> TJPEGImage::NewSameKind() const { return std::make_unique<TJPEGImage>(); }

void TJPEGImage::newData() {
  data_ = std::make_shared<TJPEGData>();
  scaledSizeKnown_ = false;
}

void TJPEGImage::dropBitmap() { bitmap_.reset(); }

// --- copying ---------------------------------------------------------------------------

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
    if (jpeg == this) {
      return;
    }
    data_ = jpeg->data_;
    scaledSizeKnown_ = false;
    // The old pixels belong to other compressed data; drop them when there are none to copy.
    bitmap_.reset();
    if (jpeg->bitmap_) {
      bitmap_ = std::make_shared<TBitmap>();
      bitmap_->Assign(jpeg->bitmap_.get());
    }
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    newData();
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(bitmap);
    bitmap_ = std::move(copy);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    TBitmap* decoded = Bitmap();
    if (decoded != nullptr) {
      bitmap->Assign(decoded);
    }
    return;
  }
  TGraphic::AssignTo(Dest);
}

bool TJPEGImage::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TJPEGImage*>(Graphic);
  if (other == nullptr || typeid(*other) != typeid(*this)) {
    return false;
  }
  if (data_->Data && other->data_->Data) {
    return *data_->Data == *other->data_->Data;
  }
  return data_ == other->data_;
}

// --- measuring -------------------------------------------------------------------------

bool TJPEGImage::Empty() { return !data_->Data && (!bitmap_ || bitmap_->Empty()); }

void TJPEGImage::scaledSizeNeeded() {
  if (scaledSizeKnown_) {
    return;
  }
  const QSize size = data_->HasBytes() ? JpegOutputSize(*data_->Data, settings_) : QSize(0, 0);
  scaledWidth_ = size.width();
  scaledHeight_ = size.height();
  scaledSizeKnown_ = true;
}

int TJPEGImage::Width() {
  if (bitmap_) {
    return bitmap_->Width();
  }
  if (settings_.Scale == TJPEGScale::jsFullSize) {
    return data_->Width;
  }
  scaledSizeNeeded();
  return scaledWidth_;
}

int TJPEGImage::Height() {
  if (bitmap_) {
    return bitmap_->Height();
  }
  if (settings_.Scale == TJPEGScale::jsFullSize) {
    return data_->Height;
  }
  scaledSizeNeeded();
  return scaledHeight_;
}

// --- palettes --------------------------------------------------------------------------

TPalette TJPEGImage::Palette() {
  if (bitmap_) {
    return bitmap_->Palette();
  }
  if (tempPalette_) {
    return tempPalette_;
  }
  if (settings_.PixelFormat == TJPEGPixelFormat::jf24Bit && ScreenBitsPerPixel() <= 8) {
    tempPalette_ = CreateHalftonePalette();
    return tempPalette_;
  }
  return nullptr;
}

void TJPEGImage::SetPalette(TPalette Value) {
  if (Value == tempPalette_) {
    return;
  }
  // Without compressed bytes the bitmap is the picture itself and must stay.
  const bool dropped = bitmap_ && data_->HasBytes() && bitmap_->Palette() != Value;
  if (dropped) {
    dropBitmap();
  }
  tempPalette_ = std::move(Value);
  if (dropped) {
    SetPaletteModified(true);
    Changed(this);
  }
}

// --- decoding and compressing ------------------------------------------------------------

TBitmap* TJPEGImage::Bitmap() {
  if (bitmap_) {
    return bitmap_.get();
  }
  // Set before decoding starts: a progress handler that redraws finds the partial
  // bitmap here instead of starting a second decode.
  auto decoding = std::make_shared<TBitmap>();
  bitmap_ = decoding;
  const std::shared_ptr<bool> alive = alive_;
  // Only an 8-bit decode maps onto a given palette.
  if (settings_.PixelFormat != TJPEGPixelFormat::jf8Bit) {
    tempPalette_ = nullptr;
  }
  const JpegDecodeOutcome outcome =
      DecodeJpeg(data_->Data.value_or(QByteArray()), settings_, tempPalette_, decoding, progressReports());
  if (outcome.receiverGone || !*alive) {
    return nullptr;
  }
  if (!outcome.abortedAtStart && !finishDecode(outcome)) {
    return nullptr;
  }
  return bitmap_.get();
}

bool TJPEGImage::finishDecode(const JpegDecodeOutcome& outcome) {
  const std::shared_ptr<bool> alive = alive_;
  if (outcome.paletteGenerated) {
    SetPaletteModified(true);
  }
  Progress(this, TProgressStage::Ending, outcome.failure ? 0 : 100, PaletteModified(), QRect(), QString());
  if (!*alive) {
    return false;
  }
  if (PaletteModified()) {
    Changed(this);
  }
  if (outcome.failure) {
    try {
      std::rethrow_exception(outcome.failure);
    } catch (const EAbort&) {
      // A silent abort keeps what was decoded so far.
    }
  }
  return *alive;
}

JpegProgressCallback TJPEGImage::progressReports() {
  return [this, alive = alive_](TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& region) {
    Progress(this, stage, percent, redrawNow, region, QString());
    return *alive;
  };
}

void TJPEGImage::Compress() {
  if (data_->Data) {
    return;
  }
  newData();
  // The result goes into this data even if a progress handler replaced the picture's.
  const TJPEGDataRef data = data_;
  const std::shared_ptr<TBitmap> bitmap = bitmap_;
  if (bitmap == nullptr || bitmap->Width() == 0 || bitmap->Height() == 0) {
    return;
  }
  try {
    EncodedJpeg encoded = EncodeJpeg(*bitmap, settings_, progressReports());
    data->Data = std::move(encoded.bytes);
    data->Width = encoded.width;
    data->Height = encoded.height;
    data->Grayscale = encoded.grayscale;
  } catch (const EAbort&) {
    // Aborted silently: no bytes.
    newData();
  } catch (...) {
    newData();
    throw;
  }
}

void TJPEGImage::Draw(TCanvas& ACanvas, const QRect& Rect) {
  const std::shared_ptr<bool> alive = alive_;
  TBitmap* bitmap = Bitmap();
  if (*alive && bitmap != nullptr) {
    ACanvas.StretchDraw(Rect, bitmap);
  }
}

// --- streams ----------------------------------------------------------------------------

void TJPEGImage::LoadFromStream(TStream& Stream) {
  newData();
  dropBitmap();
  const int64_t count = std::max<int64_t>(0, Stream.Size() - Stream.Position());
  if (count > kMaxJpegFileBytes) {
    throw EOutOfMemory();
  }
  // A file that does not begin with the start-of-image marker fails on its first two
  // bytes, with the error the whole file would give, before the rest of it is read.
  constexpr int64_t kMarkerBytes = 2;
  const int64_t head = std::min(count, kMarkerBytes);
  QByteArray bytes(head, Qt::Uninitialized);
  Stream.ReadBuffer(bytes.data(), head);
  if (head == kMarkerBytes && !bytes.startsWith("\xFF\xD8")) {
    ReadJpegHeader(bytes);
  }
  bytes.resize(count);
  Stream.ReadBuffer(bytes.data() + head, count - head);
  data_->Data = bytes;
  if (count > 0) {
    const JpegHeaderInfo header = ReadJpegHeader(bytes);
    data_->Width = header.width;
    data_->Height = header.height;
    data_->Grayscale = header.grayscale;
    settings_.ProgressiveEncoding = header.progressive;
  }
  SetPaletteModified(true);
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  Compress();
  if (data_->Data) {
    Stream.WriteBuffer(data_->Data->constData(), data_->Data->size());
  }
}

void TJPEGImage::ReadData(TStream& Stream) {
  uchar sizeBytes[4];
  Stream.ReadBuffer(sizeBytes, sizeof sizeBytes);
  const int64_t count = qFromLittleEndian<quint32>(sizeBytes);
  // The count comes from the stream itself: never believe more than is there.
  if (count > Stream.Size() - Stream.Position()) {
    throw EReadError();
  }
  QByteArray bytes(count, Qt::Uninitialized);
  Stream.ReadBuffer(bytes.data(), count);
  TMemoryStream file(bytes);
  LoadFromStream(file);
}

void TJPEGImage::WriteData(TStream& Stream) {
  const int64_t count = data_->Data ? data_->Data->size() : 0;
  uchar sizeBytes[4];
  qToLittleEndian<quint32>(static_cast<quint32>(count), sizeBytes);
  Stream.WriteBuffer(sizeBytes, sizeof sizeBytes);
  if (count > 0) {
    Stream.WriteBuffer(data_->Data->constData(), count);
  }
}

// --- settings ---------------------------------------------------------------------------

void TJPEGImage::decodeSettingChanged() {
  scaledSizeKnown_ = false;
  if (bitmap_ && data_->HasBytes()) {
    dropBitmap();
    Changed(this);
  }
}

void TJPEGImage::SetCompressionQuality(int Value) { settings_.CompressionQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value != settings_.Grayscale) {
    settings_.Grayscale = Value;
    decodeSettingChanged();
  }
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value != settings_.Performance) {
    settings_.Performance = Value;
    decodeSettingChanged();
  }
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat Value) {
  if (Value != settings_.PixelFormat) {
    settings_.PixelFormat = Value;
    decodeSettingChanged();
  }
}

void TJPEGImage::SetProgressiveDisplay(bool Value) { settings_.ProgressiveDisplay = Value; }

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value != settings_.Scale) {
    settings_.Scale = Value;
    decodeSettingChanged();
  }
}
