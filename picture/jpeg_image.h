#pragma once
// A JPEG picture: the file's compressed bytes kept in memory and shared between copies,
// decoded into a bitmap only when something first needs the pixels.

#include "picture/bitmap.h"
#include "picture/graphic.h"
#include "picture/jpeg_data.h"
#include "picture/jpeg_progress.h"
#include "picture/jpeg_settings.h"

#include <memory>

struct JpegDecodeOutcome;

class TJPEGImage : public TGraphic {
 public:
  // An empty picture with the process-wide default settings.
  TJPEGImage();
  ~TJPEGImage() override;

  QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
  std::unique_ptr<TGraphic> NewSameKind() const override;

  // From a TJPEGImage: share its compressed bytes (and copy its decoded bitmap if it has
  // one). From a TBitmap: its pixels, compressed only when bytes are needed.
  void Assign(TPersistent* Source) override;
  bool Equals(TGraphic* Graphic) override;
  bool Empty() override;
  int Width() override;
  int Height() override;
  TPalette Palette() override;
  void SetPalette(TPalette Value) override;

  // Reads the rest of the stream as a JPEG file; only its header is interpreted.
  void LoadFromStream(TStream& Stream) override;
  // Writes the compressed bytes, compressing the bitmap first when there are none.
  void SaveToStream(TStream& Stream) override;
  // A 32-bit little-endian byte count followed by the file's bytes.
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) override;

  // The decoded bitmap, decoding on first need. While a decode runs (a progress handler
  // asking), the partly decoded bitmap; a failed decode leaves what it decoded.
  TBitmap* Bitmap();
  bool HasBitmap() const { return bitmap_ != nullptr; }
  // Compresses the bitmap into new compressed bytes when there are none.
  void Compress();
  // The shared compressed data (always present, possibly without bytes).
  const TJPEGDataRef& Data() const { return data_; }

  int CompressionQuality() const { return settings_.CompressionQuality; }
  void SetCompressionQuality(int Value);
  bool Grayscale() const { return settings_.Grayscale; }
  void SetGrayscale(bool Value);
  TJPEGPerformance Performance() const { return settings_.Performance; }
  void SetPerformance(TJPEGPerformance Value);
  TJPEGPixelFormat PixelFormat() const { return settings_.PixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat Value);
  bool ProgressiveDisplay() const { return settings_.ProgressiveDisplay; }
  void SetProgressiveDisplay(bool Value);
  bool ProgressiveEncoding() const { return settings_.ProgressiveEncoding; }
  void SetProgressiveEncoding(bool Value) { settings_.ProgressiveEncoding = Value; }
  TJPEGScale Scale() const { return settings_.Scale; }
  void SetScale(TJPEGScale Value);
  bool Smoothing() const { return settings_.Smoothing; }
  const TJPEGSettings& Settings() const { return settings_; }

 protected:
  // Stretch-draws the decoded bitmap, decoding first if needed.
  void Draw(TCanvas& ACanvas, const QRect& Rect) override;
  // Into a TBitmap: the decoded pixels; anything else raises the assignment error.
  void AssignTo(TPersistent* Dest) override;
  // The size of a JPEG picture cannot be changed.
  QString SizeRefusal() const override {
    return QStringLiteral("Die Größe einer JPEG-Grafik kann nicht verändert werden");
  }

 private:
  void newData();
  void dropBitmap();
  // A setting that changes the decoded pixels makes the next draw decode again.
  void decodeSettingChanged();
  void scaledSizeNeeded();
  // Passes a decode's or an encode's reports to OnProgress; false once this is freed.
  JpegProgressCallback progressReports();
  // The Ending report and what follows it; false when this was freed meanwhile.
  bool finishDecode(const JpegDecodeOutcome& outcome);

  TJPEGDataRef data_;
  std::shared_ptr<TBitmap> bitmap_;
  TPalette tempPalette_;
  TJPEGSettings settings_;
  int scaledWidth_ = 0;
  int scaledHeight_ = 0;
  bool scaledSizeKnown_ = false;
  // Cleared when this object dies, so a decode that outlives it (its progress handler
  // freed it) stops touching it.
  std::shared_ptr<bool> alive_;
};
