#include "picture/jpeg_encode.h"

#include "picture/bitmap.h"
#include "picture/jpeg_image.h"
#include "platform/errors.h"
#include "platform/tick.h"

#include <vector>

void JpegBitmapEncode::Run() {
  owner_.newData();
  const TJPEGDataRef data = owner_.data_;
  TBitmap* bitmap = owner_.bitmap_.get();
  if (bitmap == nullptr || bitmap->Width() == 0 || bitmap->Height() == 0) {
    return;
  }
  // The library reads 24-bit rows; copying a 24-bit bitmap shares its pixels.
  TBitmap source;
  source.Assign(bitmap);
  source.SetPixelFormat(TPixelFormat::pf24bit);

  QByteArray bytes;
  JpegCompressor compressor(&bytes, this);
  jpeg_compress_struct& info = compressor.Info();
  info.image_width = static_cast<JDIMENSION>(source.Width());
  info.image_height = static_cast<JDIMENSION>(source.Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  compressor.SetDefaults();
  compressor.SetQuality(owner_.settings_.CompressionQuality, true);
  if (owner_.settings_.Grayscale) {
    data->Grayscale = true;
    compressor.SetColorspace(JCS_GRAYSCALE);
  }
  if (owner_.settings_.ProgressiveEncoding) {
    compressor.SimpleProgression();
  }

  std::exception_ptr failure;
  try {
    owner_.Progress(&owner_, TProgressStage::Starting, 0, false, QRect(), QString());
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
  } catch (...) {
    failure = std::current_exception();
  }
  owner_.Progress(&owner_, TProgressStage::Ending, failure ? 0 : 100, false, QRect(), QString());
  if (failure) {
    owner_.newData();
    try {
      std::rethrow_exception(failure);
    } catch (const EAbort&) {
      return;
    }
  }
  data->Data = std::move(bytes);
  data->Width = source.Width();
  data->Height = source.Height();
}

void JpegBitmapEncode::LibraryProgress(j_common_ptr info) {
  const jpeg_progress_mgr& progress = *info->progress;
  const JpegPassCounters counters{progress.pass_counter, progress.pass_limit, progress.completed_passes,
                                  progress.total_passes};
  if (const auto due = meter_.Update(platform::GetTickCount(), counters, 0, 0, 0)) {
    owner_.Progress(&owner_, TProgressStage::Running, due->percent, due->redrawNow, due->region, QString());
  }
}
