#include "picture/band_converter.h"

#include <exception>
#include <utility>

namespace {

// Rows per band handed over: a band of a 6000-pixel-wide picture (about 300 KB) is still
// in the shared cache when the worker reads it.
constexpr size_t kBandRows = 16;

}  // namespace

bool BandConverter::Worthwhile(int64_t pixels) {
  static const bool severalProcessors = std::thread::hardware_concurrency() >= 2;
  return pixels >= kMinimumPixels && severalProcessors;
}

BandConverter::BandConverter(RowConversion convert) : convert_(std::move(convert)) {
  gathering_.reserve(kBandRows);
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::exception&) {
    // No second thread: every row is converted as it comes.
  }
}

BandConverter::~BandConverter() {
  WaitUntilConverted();
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      ending_ = true;
    }
    wake_.notify_one();
    worker_.join();
  }
}

void BandConverter::Add(uint8_t* row) {
  if (!worker_.joinable()) {
    convert_(row);
    return;
  }
  gathering_.push_back(row);
  if (gathering_.size() >= kBandRows) {
    HandOver(std::exchange(gathering_, {}));
    gathering_.reserve(kBandRows);
  }
}

void BandConverter::HandOver(std::vector<uint8_t*> rows) {
  {
    const std::lock_guard lock(mutex_);
    bands_.push_back(std::move(rows));
  }
  wake_.notify_one();
}

void BandConverter::WaitUntilConverted() noexcept {
  if (!worker_.joinable()) {
    return;
  }
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return bands_.empty() && !converting_; });
  }
  // The few rows not yet handed over are quicker converted here than handed over.
  for (uint8_t* row : gathering_) {
    convert_(row);
  }
  gathering_.clear();
}

void BandConverter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return !bands_.empty() || ending_; });
    if (bands_.empty()) {
      return;
    }
    std::vector<uint8_t*> rows = std::move(bands_.front());
    bands_.pop_front();
    converting_ = true;
    lock.unlock();
    for (uint8_t* row : rows) {
      convert_(row);
    }
    lock.lock();
    converting_ = false;
    if (bands_.empty()) {
      idle_.notify_all();
    }
  }
}
