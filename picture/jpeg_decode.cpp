#include "picture/jpeg_decode.h"

#include "picture/band_converter.h"
#include "picture/bitmap.h"
#include "picture/exif_orientation.h"
#include "picture/jpeg_colours.h"
#include "picture/upright_rows.h"
#include "platform/errors.h"
#include "platform/tick.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr int kDesiredColors = 236;
// The library never asks for more rows per call than its largest sampling factor times
// the scale; this bounds the row-pointer array on the stack.
constexpr int kMaxRowsPerCall = UprightRows::kMaxClaimedRows;
// The library's own working memory (coefficient buffers of progressive files) beyond the
// bitmap; a forged header must not make it ask for more.
constexpr long kMaxLibraryMemory = 1L << 30;

// Thrown through the library when the picture being decoded was freed by a progress
// handler; the decode then ends without touching it.
struct DecodeAbandoned {};

bool IsFourComponent(J_COLOR_SPACE space) { return space == JCS_CMYK || space == JCS_YCCK; }

J_COLOR_SPACE OutputColorSpace(const jpeg_decompress_struct& info, const TJPEGSettings& settings) {
  if (IsFourComponent(info.jpeg_color_space)) {
    return JCS_CMYK;
  }
  if (settings.Grayscale || info.jpeg_color_space == JCS_GRAYSCALE) {
    return JCS_GRAYSCALE;
  }
  return JCS_EXT_BGR;
}

void ApplySpeed(jpeg_decompress_struct& info) {
  info.dct_method = JDCT_IFAST;
  info.two_pass_quantize = FALSE;
  info.dither_mode = JDITHER_ORDERED;
}

TPalette PaletteFromColormap(const jpeg_decompress_struct& info) {
  const int count = std::clamp(info.actual_number_of_colors, 0, kMaxPaletteEntries);
  std::vector<TPaletteEntry> entries(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TPaletteEntry& e = entries[static_cast<size_t>(i)];
    if (info.out_color_components == 1) {
      e.peRed = e.peGreen = e.peBlue = info.colormap[0][i];
    } else {
      // Rows in output component order: blue, green, red.
      e.peBlue = info.colormap[0][i];
      e.peGreen = info.colormap[1][i];
      e.peRed = info.colormap[2][i];
    }
  }
  return CreatePalette(std::move(entries));
}

uint8_t Luminance(const TPaletteEntry& e) {
  return static_cast<uint8_t>((e.peRed * 299 + e.peGreen * 587 + e.peBlue * 114) / 1000);
}

}  // namespace

JpegDecodePlan ConfigureDecompressor(JpegDecompressor& decompressor, const TJPEGSettings& settings) {
  decompressor.ReadHeader();
  jpeg_decompress_struct& info = decompressor.Info();
  info.mem->max_memory_to_use = kMaxLibraryMemory;
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(ScaleDenominator(settings.Scale));
  info.do_block_smoothing = settings.Smoothing ? TRUE : FALSE;
  info.out_color_space = OutputColorSpace(info, settings);

  JpegDecodePlan plan;
  plan.cmyk = info.out_color_space == JCS_CMYK;
  plan.eightBit = !plan.cmyk && (settings.PixelFormat == TJPEGPixelFormat::jf8Bit || info.out_color_space == JCS_GRAYSCALE);
  if (plan.eightBit) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = kDesiredColors;
  }
  if (settings.Performance == TJPEGPerformance::jpBestSpeed) {
    ApplySpeed(info);
  }
  plan.finalDctMethod = info.dct_method;
  plan.finalTwoPass = info.two_pass_quantize != FALSE;
  plan.finalDitherMode = info.dither_mode;
  if (settings.ProgressiveDisplay && jpeg_has_multiple_scans(&info)) {
    // Intermediate passes are quick previews; only the last uses the final parameters.
    info.enable_2pass_quant = info.two_pass_quantize;
    ApplySpeed(info);
    info.buffered_image = TRUE;
    plan.buffered = true;
  }
  return plan;
}

QSize JpegOutputSize(const QByteArray& bytes, const TJPEGSettings& settings) {
  JpegDecompressor decompressor(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                static_cast<size_t>(bytes.size()), nullptr);
  ConfigureDecompressor(decompressor, settings);
  decompressor.CalcOutputDimensions();
  const QSize stored(static_cast<int>(decompressor.Info().output_width),
                     static_cast<int>(decompressor.Info().output_height));
  return UprightSize(stored, JpegExifOrientation(bytes));
}

void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool adobeInverted, int bgrPixelBytes) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += bgrPixelBytes) {
    const int k = adobeInverted ? cmyk[3] : 255 - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const int ink = adobeInverted ? cmyk[2 - c] : 255 - cmyk[2 - c];
      bgr[c] = static_cast<uint8_t>((ink * k + 127) / 255);
    }
  }
}

// ---------------------------------------------------------------------------------------

namespace {

// One decode: the library's rows into the bitmap of the upright picture, progress to
// the callback.
class Decoder : private JpegProgressSink {
 public:
  Decoder(const TJPEGSettings& settings, const std::shared_ptr<TBitmap>& bitmap, const JpegProgressCallback& progress)
      : settings_(settings), bitmap_(bitmap), progress_(progress) {}

  JpegDecodeOutcome Run(const QByteArray& bytes, const TPalette& palette);

 private:
  void LibraryProgress(j_common_ptr info) override;
  void decodeRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan, const TPalette& palette);
  void useGivenPalette(JpegDecompressor& decompressor, const TPalette& palette);
  void takeGeneratedPalette(const jpeg_decompress_struct& info);
  void readAllRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan);
  int readScanlines(JpegDecompressor& decompressor, JSAMPROW* rows, int count, bool& convertLater);
  void startConverter(const jpeg_decompress_struct& info);
  void waitForConverter() noexcept;
  QSize storedSize(const jpeg_decompress_struct& info) const;
  static int bitmapBytesPerPixel(const JpegDecodePlan& plan) { return plan.eightBit ? 1 : 3; }
  int claimedBytesPerPixel(const JpegDecodePlan& plan) const {
    return UprightRows::ClaimedBytesPerPixel(orientation_, bitmapBytesPerPixel(plan));
  }

  const TJPEGSettings settings_;
  // Held for the whole decode, even if a progress handler makes the picture let go.
  const std::shared_ptr<TBitmap> bitmap_;
  const JpegProgressCallback& progress_;
  PictureOrientation orientation_ = PictureOrientation::Upright;
  // Set once the bitmap has its size.
  std::optional<UprightRows> rows_;
  // Into sRGB, for a file with a colour profile.
  JpegColours colours_;
  // Converts the rows of a large picture on a second thread. Nothing else may touch the
  // rows handed to it until it has converted them, so it is waited for before every
  // progress report, before a new pass writes the rows again and before the decode ends.
  std::optional<BandConverter> converter_;
  int progressReports_ = 0;
  JpegProgressMeter meter_{true};
  bool generatePalette_ = true;
  bool paletteGenerated_ = false;
};

JpegDecodeOutcome Decoder::Run(const QByteArray& bytes, const TPalette& palette) {
  JpegDecompressor decompressor(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                static_cast<size_t>(bytes.size()), this);
  const JpegDecodePlan plan = ConfigureDecompressor(decompressor, settings_);
  orientation_ = JpegExifOrientation(bytes);
  if (claimedBytesPerPixel(plan) == 4 && decompressor.Info().out_color_space == JCS_EXT_BGR) {
    decompressor.Info().out_color_space = JCS_EXT_BGRX;
  }
  colours_ = JpegColours::For(bytes, decompressor.Info(), plan.eightBit);
  decompressor.CalcOutputDimensions();
  const QSize upright = UprightSize(storedSize(decompressor.Info()), orientation_);
  const int bitsPerPixel = bitmapBytesPerPixel(plan) * 8;
  if (BitmapByteSize(upright.width(), upright.height(), bitsPerPixel) < 0) {
    throw EOutOfMemory();
  }

  JpegDecodeOutcome outcome;
  try {
    bitmap_->SetPixelFormat(plan.eightBit ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    if (!progress_(TProgressStage::Starting, 0, false, QRect())) {
      outcome.receiverGone = true;
      return outcome;
    }
  } catch (const EAbort&) {
    outcome.abortedAtStart = true;
    return outcome;
  }
  try {
    decodeRows(decompressor, plan, palette);
    converter_.reset();
  } catch (const DecodeAbandoned&) {
    converter_.reset();
    outcome.receiverGone = true;
  } catch (...) {
    converter_.reset();
    // The rows decoded before the failure stay in the picture, turned ones too.
    if (rows_) {
      rows_->Salvage();
    }
    outcome.failure = std::current_exception();
  }
  outcome.paletteGenerated = paletteGenerated_;
  return outcome;
}

void Decoder::LibraryProgress(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  const jpeg_progress_mgr& progress = *common->progress;
  const JpegPassCounters counters{progress.pass_counter, progress.pass_limit, progress.completed_passes,
                                  progress.total_passes};
  const auto due = meter_.Update(platform::GetTickCount(), counters, static_cast<int>(info->output_scanline),
                                 static_cast<int>(info->output_width), static_cast<int>(info->output_height));
  if (!due) {
    return;
  }
  // A redraw shows every row decoded so far, also those still waiting to be turned.
  if (rows_) {
    rows_->Flush();
  }
  waitForConverter();
  ++progressReports_;
  const QRect region = UprightRect(due->region, storedSize(*info), orientation_);
  if (!progress_(TProgressStage::Running, due->percent, due->redrawNow, region)) {
    throw DecodeAbandoned();
  }
}

QSize Decoder::storedSize(const jpeg_decompress_struct& info) const {
  return QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
}

void Decoder::decodeRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan, const TPalette& palette) {
  jpeg_decompress_struct& info = decompressor.Info();
  useGivenPalette(decompressor, palette);
  decompressor.StartDecompress();
  const QSize upright = UprightSize(storedSize(info), orientation_);
  bitmap_->SetSize(upright.width(), upright.height());
  rows_.emplace(*bitmap_, orientation_, storedSize(info), bitmapBytesPerPixel(plan));
  startConverter(info);

  if (plan.buffered) {
    bool passCompleted = false;
    while (!decompressor.InputComplete()) {
      decompressor.StartOutput(info.input_scan_number);
      if (!passCompleted) {
        takeGeneratedPalette(info);
      }
      readAllRows(decompressor, plan);
      decompressor.FinishOutput();
      passCompleted = true;
    }
    info.dct_method = plan.finalDctMethod;
    info.dither_mode = plan.finalDitherMode;
    if (plan.finalTwoPass) {
      info.two_pass_quantize = TRUE;
      info.colormap = nullptr;
    }
    decompressor.StartOutput(info.input_scan_number);
  }
  if (!plan.buffered || plan.finalTwoPass) {
    takeGeneratedPalette(info);
  }
  readAllRows(decompressor, plan);
  if (plan.buffered) {
    decompressor.FinishOutput();
  }
  decompressor.FinishDecompress();
}

void Decoder::useGivenPalette(JpegDecompressor& decompressor, const TPalette& palette) {
  if (!palette || settings_.PixelFormat != TJPEGPixelFormat::jf8Bit) {
    return;
  }
  jpeg_decompress_struct& info = decompressor.Info();
  const std::vector<TPaletteEntry>& entries = palette->palPalEntry;
  if (!info.quantize_colors || entries.empty()) {
    return;
  }
  const int count = static_cast<int>(std::min<size_t>(entries.size(), kMaxPaletteEntries));
  const int components = info.out_color_space == JCS_GRAYSCALE ? 1 : 3;
  JSAMPARRAY map = decompressor.AllocColormap(count, components);
  // The library picks entries by the file's stored values; the bitmap shows them as sRGB.
  const std::vector<TPaletteEntry> stored = colours_.StoredColours(entries);
  for (int i = 0; i < count; ++i) {
    const TPaletteEntry& e = stored[static_cast<size_t>(i)];
    if (components == 1) {
      map[0][i] = Luminance(e);
    } else {
      map[0][i] = e.peBlue;
      map[1][i] = e.peGreen;
      map[2][i] = e.peRed;
    }
  }
  info.colormap = map;
  info.actual_number_of_colors = count;
  bitmap_->SetPalette(CreatePalette(entries));
  generatePalette_ = false;
}

void Decoder::takeGeneratedPalette(const jpeg_decompress_struct& info) {
  if (info.colormap != nullptr && bitmap_->PixelFormat() == TPixelFormat::pf8bit && generatePalette_) {
    bitmap_->SetPalette(colours_.ConvertPalette(PaletteFromColormap(info)));
    paletteGenerated_ = true;
  }
}

int Decoder::readScanlines(JpegDecompressor& decompressor, JSAMPROW* rows, int count, bool& convertLater) {
  // Keeps the rows' memory alive while the library writes them, even if a progress
  // handler makes the bitmap give up its pixels. Only for the call: a second owner of
  // the pixels would make every later row access copy them. Rows gathered for a quarter
  // turn are our own memory and need no pin.
  const QImage pinned = rows_->WritesIntoBitmap() ? bitmap_->Image() : QImage();
  const int reportsBefore = progressReports_;
  const int read = static_cast<int>(decompressor.ReadScanlines(rows, static_cast<JDIMENSION>(count)));
  // Rows read while a progress handler ran may lie in memory that only the pin keeps
  // alive, so they are converted before it lets go.
  convertLater = converter_ && progressReports_ == reportsBefore;
  if (!convertLater) {
    colours_.ConvertRows(rows, read, static_cast<int>(decompressor.Info().output_width));
  }
  return read;
}

void Decoder::startConverter(const jpeg_decompress_struct& info) {
  const int64_t pixels = int64_t{info.output_width} * int64_t{info.output_height};
  if (colours_.ConvertsRows() && BandConverter::Worthwhile(pixels)) {
    const int width = static_cast<int>(info.output_width);
    converter_.emplace([this, width](uint8_t* row) { colours_.ConvertRows(&row, 1, width); });
    // Gathered rows are turned into the bitmap only once they are converted.
    rows_->SetBeforeTurn([this] { waitForConverter(); });
  }
}

void Decoder::waitForConverter() noexcept {
  if (converter_) {
    converter_->WaitUntilConverted();
  }
}

void Decoder::readAllRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan) {
  const jpeg_decompress_struct& info = decompressor.Info();
  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  const int rowsPerCall = std::clamp(info.rec_outbuf_height, 1, kMaxRowsPerCall);
  // A new pass writes the rows of the last one again.
  waitForConverter();
  std::vector<uint8_t> cmykRows;
  if (plan.cmyk) {
    cmykRows.resize(static_cast<size_t>(rowsPerCall) * static_cast<size_t>(width) * 4);
  }
  while (static_cast<int>(info.output_scanline) < height) {
    const int first = static_cast<int>(info.output_scanline);
    const int count = std::min(rowsPerCall, height - first);
    JSAMPROW rows[kMaxRowsPerCall];
    if (plan.cmyk) {
      for (int i = 0; i < count; ++i) {
        rows[i] = cmykRows.data() + static_cast<size_t>(i) * static_cast<size_t>(width) * 4;
      }
    } else {
      rows_->Claim(first, count, rows);
    }
    bool convertLater = false;
    const int read = readScanlines(decompressor, rows, count, convertLater);
    if (plan.cmyk) {
      JSAMPROW converted[kMaxRowsPerCall];
      rows_->Claim(first, read, converted);
      for (int i = 0; i < read; ++i) {
        if (!colours_.ConvertCmykRow(rows[i], converted[i], width, claimedBytesPerPixel(plan))) {
          ConvertCmykRow(rows[i], converted[i], width, info.saw_Adobe_marker != FALSE, claimedBytesPerPixel(plan));
        }
      }
    }
    rows_->Written(first, read);
    // Converted after any mirroring, which only moves pixels.
    for (int i = 0; convertLater && i < read; ++i) {
      converter_->Add(rows[i]);
    }
    if (read == 0) {
      break;
    }
  }
  rows_->Flush();
}

}  // namespace

JpegDecodeOutcome DecodeJpeg(QByteArray bytes, const TJPEGSettings& settings, const TPalette& palette,
                             const std::shared_ptr<TBitmap>& bitmap, const JpegProgressCallback& progress) {
  return Decoder(settings, bitmap, progress).Run(bytes, palette);
}
