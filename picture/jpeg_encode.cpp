#include "picture/jpeg_encode.h"

#include "picture/bitmap.h"
#include "picture/jpeg_codec.h"
#include "platform/tick.h"

#include <exception>
#include <vector>

namespace {

// Passes the library's progress on, at the pace the meter allows.
class EncodeProgress : public JpegProgressSink {
 public:
  explicit EncodeProgress(const JpegProgressCallback& progress) : progress_(progress) {}

  void LibraryProgress(j_common_ptr info) override {
    const jpeg_progress_mgr& library = *info->progress;
    const JpegPassCounters counters{library.pass_counter, library.pass_limit, library.completed_passes,
                                    library.total_passes};
    if (const auto due = meter_.Update(platform::GetTickCount(), counters, 0, 0, 0)) {
      progress_(TProgressStage::Running, due->percent, due->redrawNow, due->region);
    }
  }

 private:
  const JpegProgressCallback& progress_;
  JpegProgressMeter meter_{false};
};

void Compress(JpegCompressor& compressor, TBitmap& source) {
  jpeg_compress_struct& info = compressor.Info();
  std::vector<JSAMPROW> rows(static_cast<size_t>(source.Height()));
  const QImage& image = source.Image();
  for (int y = 0; y < source.Height(); ++y) {
    // The library only reads input rows; its interface just is not const.
    rows[static_cast<size_t>(y)] = const_cast<JSAMPROW>(image.constScanLine(y));
  }
  compressor.StartCompress();
  while (info.next_scanline < info.image_height) {
    const JDIMENSION next = info.next_scanline;
    if (compressor.WriteScanlines(rows.data() + next, info.image_height - next) == 0) {
      break;
    }
  }
  compressor.FinishCompress();
}

}  // namespace

EncodedJpeg EncodeJpeg(TBitmap& bitmap, const TJPEGSettings& settings, const JpegProgressCallback& progress) {
  // The library reads 24-bit rows; copying a 24-bit bitmap shares its pixels.
  TBitmap source;
  source.Assign(&bitmap);
  source.SetPixelFormat(TPixelFormat::pf24bit);

  EncodedJpeg encoded;
  EncodeProgress sink(progress);
  JpegCompressor compressor(&encoded.bytes, &sink);
  jpeg_compress_struct& info = compressor.Info();
  info.image_width = static_cast<JDIMENSION>(source.Width());
  info.image_height = static_cast<JDIMENSION>(source.Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  compressor.SetDefaults();
  compressor.SetQuality(settings.CompressionQuality, true);
  if (settings.Grayscale) {
    encoded.grayscale = true;
    compressor.SetColorspace(JCS_GRAYSCALE);
  }
  if (settings.ProgressiveEncoding) {
    compressor.SimpleProgression();
  }

  std::exception_ptr failure;
  try {
    progress(TProgressStage::Starting, 0, false, QRect());
    Compress(compressor, source);
  } catch (...) {
    failure = std::current_exception();
  }
  progress(TProgressStage::Ending, failure ? 0 : 100, false, QRect());
  if (failure) {
    std::rethrow_exception(failure);
  }
  encoded.width = source.Width();
  encoded.height = source.Height();
  return encoded;
}
