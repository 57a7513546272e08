#include "picture/jpeg_codec.h"

#include "picture/exif_orientation.h"
#include "picture/jpeg_work_budget.h"
#include "platform/errors.h"

#include <algorithm>
#include <csetjmp>
#include <exception>

#include <jerror.h>

namespace {

constexpr size_t kInputWindow = 4096;
constexpr size_t kOutputBuffer = 4096;
constexpr JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

const char* const kAddonMessages[] = {"Too many scans (more than %d)", "Stopped by the progress handler",
                                      "More work than the picture's size allows"};

// Everything the library calls back into holds plain data only: the library's frames are
// left by longjmp, so nothing with a destructor may live in them.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

struct ProgressMonitor {
  jpeg_progress_mgr pub;
  JpegProgressSink* sink;
  std::exception_ptr* pending;
  JpegWorkMeter work;
};

struct MemorySource {
  jpeg_source_mgr pub;
  const JOCTET* data;
  size_t size;
  size_t offset;
  bool atStart;
};

struct MemoryDestination {
  jpeg_destination_mgr pub;
  QByteArray* out;
  std::exception_ptr* pending;
  JOCTET buffer[kOutputBuffer];
};

// --- error manager ----------------------------------------------------------------------

[[noreturn]] void ErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}
void IgnoreFormat(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void InitErrorManager(ErrorManager* error) {
  jpeg_std_error(&error->pub);
  error->pub.error_exit = ErrorExit;
  error->pub.emit_message = IgnoreMessage;
  error->pub.output_message = IgnoreOutput;
  error->pub.format_message = IgnoreFormat;
  error->pub.addon_message_table = kAddonMessages;
  error->pub.first_addon_message = kJpegErrTooManyScans;
  error->pub.last_addon_message = kJpegErrTooMuchWork;
}

// --- progress monitor -------------------------------------------------------------------

bool DeliverProgress(ProgressMonitor* monitor, j_common_ptr info) noexcept {
  try {
    monitor->sink->LibraryProgress(info);
    return true;
  } catch (...) {
    *monitor->pending = std::current_exception();
    return false;
  }
}

void ReportProgress(j_common_ptr info) {
  auto* monitor = reinterpret_cast<ProgressMonitor*>(info->progress);
  if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kJpegMaxScans) {
    info->err->msg_parm.i[0] = kJpegMaxScans;
    ERREXIT(info, kJpegErrTooManyScans);
  }
  if (info->is_decompressor && !monitor->work.Charge(*reinterpret_cast<j_decompress_ptr>(info))) {
    ERREXIT(info, kJpegErrTooMuchWork);
  }
  if (monitor->sink != nullptr && !DeliverProgress(monitor, info)) {
    ERREXIT(info, kJpegErrStoppedByHandler);
  }
}

void InitProgressMonitor(ProgressMonitor* monitor, JpegProgressSink* sink, std::exception_ptr* pending) {
  monitor->pub = jpeg_progress_mgr{};
  monitor->pub.progress_monitor = ReportProgress;
  monitor->sink = sink;
  monitor->pending = pending;
  monitor->work = JpegWorkMeter{};
}

// --- memory source ----------------------------------------------------------------------

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<MemorySource*>(info->src);
  if (source->offset >= source->size) {
    if (source->atStart) {
      ERREXIT(info, JERR_INPUT_EMPTY);
    }
    // Truncated: end the image here; the library fills what is missing.
    WARNMS(info, JWRN_JPEG_EOF);
    source->pub.next_input_byte = kFakeEndOfImage;
    source->pub.bytes_in_buffer = sizeof kFakeEndOfImage;
    return TRUE;
  }
  const size_t window = std::min(kInputWindow, source->size - source->offset);
  source->pub.next_input_byte = source->data + source->offset;
  source->pub.bytes_in_buffer = window;
  source->offset += window;
  source->atStart = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  auto* source = reinterpret_cast<MemorySource*>(info->src);
  if (count <= 0) {
    return;
  }
  auto remaining = static_cast<size_t>(count);
  if (remaining <= source->pub.bytes_in_buffer) {
    source->pub.next_input_byte += remaining;
    source->pub.bytes_in_buffer -= remaining;
    return;
  }
  remaining -= source->pub.bytes_in_buffer;
  source->pub.bytes_in_buffer = 0;
  source->offset += std::min(remaining, source->size - source->offset);
  FillInputBuffer(info);
}

void InitMemorySource(MemorySource* source, const uint8_t* data, size_t size) {
  source->pub = jpeg_source_mgr{};
  source->pub.init_source = InitSource;
  source->pub.fill_input_buffer = FillInputBuffer;
  source->pub.skip_input_data = SkipInputData;
  source->pub.resync_to_restart = jpeg_resync_to_restart;
  source->pub.term_source = TermSource;
  source->data = data;
  source->size = size;
  source->offset = 0;
  source->atStart = true;
}

// --- memory destination -----------------------------------------------------------------

bool AppendOutput(MemoryDestination* destination, size_t count) noexcept {
  try {
    destination->out->append(reinterpret_cast<const char*>(destination->buffer), static_cast<qsizetype>(count));
    return true;
  } catch (...) {
    *destination->pending = std::make_exception_ptr(EOutOfMemory());
    return false;
  }
}

void InitDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
  destination->pub.next_output_byte = destination->buffer;
  destination->pub.free_in_buffer = kOutputBuffer;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
  auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
  if (!AppendOutput(destination, kOutputBuffer)) {
    ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  }
  InitDestination(info);
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
  if (!AppendOutput(destination, kOutputBuffer - destination->pub.free_in_buffer)) {
    ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  }
}

void InitMemoryDestination(MemoryDestination* destination, QByteArray* out, std::exception_ptr* pending) {
  destination->pub = jpeg_destination_mgr{};
  destination->pub.init_destination = InitDestination;
  destination->pub.empty_output_buffer = EmptyOutputBuffer;
  destination->pub.term_destination = TermDestination;
  destination->out = out;
  destination->pending = pending;
}

// --- protected calls --------------------------------------------------------------------

// Runs one library call; false when it left through the error exit. Kept out of line so
// that the setjmp frame is this small one and never a caller's frame.
template <typename Call>
[[gnu::noinline]] bool ProtectedCall(ErrorManager* error, Call call) {
  if (setjmp(error->jump) != 0) {
    return false;
  }
  call();
  return true;
}

[[noreturn]] void RaiseFailure(const jpeg_error_mgr& error, std::exception_ptr& pending) {
  if (pending) {
    std::exception_ptr failure = pending;
    pending = nullptr;
    std::rethrow_exception(failure);
  }
  throw EJPEG(error.msg_code);
}

}  // namespace

// ---------------------------------------------------------------------------------------

// What the decompressor and the compressor both keep beside the library's object: the
// error exit, the progress monitor, and an error a progress handler raised.
template <typename Info>
struct LibraryState {
  Info info{};
  ErrorManager error{};
  ProgressMonitor progress{};
  bool created = false;
  std::exception_ptr pending;

  LibraryState() = default;
  LibraryState(const LibraryState&) = delete;
  LibraryState& operator=(const LibraryState&) = delete;
  ~LibraryState() {
    if (created) {
      jpeg_destroy(reinterpret_cast<j_common_ptr>(&info));
    }
  }

  // Sets up the error exit, creates the library's object with create and attaches the
  // progress monitor.
  template <typename Creator>
  void Create(Creator create, JpegProgressSink* sink) {
    InitErrorManager(&error);
    info.err = &error.pub;
    Call([this, create] { create(&info); });
    created = true;
    InitProgressMonitor(&progress, sink, &pending);
    info.progress = &progress.pub;
  }

  template <typename Library>
  void Call(Library call) {
    if (!ProtectedCall(&error, call)) {
      RaiseFailure(error.pub, pending);
    }
  }
};

struct JpegDecompressor::State : LibraryState<jpeg_decompress_struct> {
  MemorySource source{};
};

JpegDecompressor::JpegDecompressor(const uint8_t* data, size_t size, JpegProgressSink* sink)
    : state_(std::make_unique<State>()) {
  State* s = state_.get();
  s->Create([](j_decompress_ptr info) { jpeg_create_decompress(info); }, sink);
  InitMemorySource(&s->source, data, size);
  s->info.src = &s->source.pub;
}

JpegDecompressor::~JpegDecompressor() = default;

jpeg_decompress_struct& JpegDecompressor::Info() { return state_->info; }

void JpegDecompressor::ReadHeader() {
  State* s = state_.get();
  s->Call([s] { jpeg_read_header(&s->info, TRUE); });
}

void JpegDecompressor::CalcOutputDimensions() {
  State* s = state_.get();
  s->Call([s] { jpeg_calc_output_dimensions(&s->info); });
}

void JpegDecompressor::StartDecompress() {
  State* s = state_.get();
  s->Call([s] { jpeg_start_decompress(&s->info); });
}

JDIMENSION JpegDecompressor::ReadScanlines(JSAMPROW* rows, JDIMENSION maxRows) {
  State* s = state_.get();
  JDIMENSION read = 0;
  JDIMENSION* result = &read;
  s->Call([s, rows, maxRows, result] { *result = jpeg_read_scanlines(&s->info, rows, maxRows); });
  return read;
}

bool JpegDecompressor::InputComplete() { return jpeg_input_complete(&state_->info) != FALSE; }

void JpegDecompressor::StartOutput(int scanNumber) {
  State* s = state_.get();
  s->Call([s, scanNumber] { jpeg_start_output(&s->info, scanNumber); });
}

void JpegDecompressor::FinishOutput() {
  State* s = state_.get();
  s->Call([s] { jpeg_finish_output(&s->info); });
}

void JpegDecompressor::FinishDecompress() {
  State* s = state_.get();
  s->Call([s] { jpeg_finish_decompress(&s->info); });
}

JSAMPARRAY JpegDecompressor::AllocColormap(int count, int components) {
  State* s = state_.get();
  JSAMPARRAY map = nullptr;
  JSAMPARRAY* result = &map;
  s->Call([s, count, components, result] {
    *result = (*s->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s->info), JPOOL_IMAGE,
                                           static_cast<JDIMENSION>(count), static_cast<JDIMENSION>(components));
  });
  return map;
}

// ---------------------------------------------------------------------------------------

struct JpegCompressor::State : LibraryState<jpeg_compress_struct> {
  MemoryDestination destination{};
};

JpegCompressor::JpegCompressor(QByteArray* out, JpegProgressSink* sink) : state_(std::make_unique<State>()) {
  State* s = state_.get();
  s->Create([](j_compress_ptr info) { jpeg_create_compress(info); }, sink);
  InitMemoryDestination(&s->destination, out, &s->pending);
  s->info.dest = &s->destination.pub;
}

JpegCompressor::~JpegCompressor() = default;

jpeg_compress_struct& JpegCompressor::Info() { return state_->info; }

void JpegCompressor::SetDefaults() {
  State* s = state_.get();
  s->Call([s] { jpeg_set_defaults(&s->info); });
}

void JpegCompressor::SetQuality(int quality, bool forceBaseline) {
  State* s = state_.get();
  s->Call([s, quality, forceBaseline] { jpeg_set_quality(&s->info, quality, forceBaseline ? TRUE : FALSE); });
}

void JpegCompressor::SetColorspace(J_COLOR_SPACE colorSpace) {
  State* s = state_.get();
  s->Call([s, colorSpace] { jpeg_set_colorspace(&s->info, colorSpace); });
}

void JpegCompressor::SimpleProgression() {
  State* s = state_.get();
  s->Call([s] { jpeg_simple_progression(&s->info); });
}

void JpegCompressor::StartCompress() {
  State* s = state_.get();
  s->Call([s] { jpeg_start_compress(&s->info, TRUE); });
}

JDIMENSION JpegCompressor::WriteScanlines(JSAMPROW* rows, JDIMENSION count) {
  State* s = state_.get();
  JDIMENSION written = 0;
  JDIMENSION* result = &written;
  s->Call([s, rows, count, result] { *result = jpeg_write_scanlines(&s->info, rows, count); });
  return written;
}

void JpegCompressor::FinishCompress() {
  State* s = state_.get();
  s->Call([s] { jpeg_finish_compress(&s->info); });
}

// ---------------------------------------------------------------------------------------

JpegHeaderInfo ReadJpegHeader(const QByteArray& data) {
  JpegDecompressor decompressor(reinterpret_cast<const uint8_t*>(data.constData()),
                                static_cast<size_t>(data.size()), nullptr);
  decompressor.ReadHeader();
  const jpeg_decompress_struct& info = decompressor.Info();
  JpegHeaderInfo header;
  const QSize upright = UprightSize(QSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height)),
                                    JpegExifOrientation(data));
  header.width = upright.width();
  header.height = upright.height();
  header.grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
  header.progressive = jpeg_has_multiple_scans(const_cast<jpeg_decompress_struct*>(&info)) != FALSE;
  return header;
}
