#pragma once
// Converts the colours of finished rows on a second thread while the decoder writes the
// next ones into other rows, so that a large picture with a colour profile takes hardly
// longer to decode than one without. The rows are converted where they lie (in the
// bitmap, or in the band gathered for a quarter turn): no copy and no second bitmap.
// Whoever hands rows over must call WaitUntilConverted before anything else may look at,
// change or free them.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class BandConverter {
 public:
  // Converts one row in place; must not throw.
  using RowConversion = std::function<void(uint8_t* row)>;

  // Starts the worker; if the system refuses a thread, Add converts at once instead.
  explicit BandConverter(RowConversion convert);
  // Waits for every row handed over, then ends the worker.
  ~BandConverter();
  BandConverter(const BandConverter&) = delete;
  BandConverter& operator=(const BandConverter&) = delete;

  // Whether a picture of this many pixels gains from a second thread: for small ones,
  // starting it costs more than it saves, and a single processor only takes turns.
  static bool Worthwhile(int64_t pixels);

  // The row holds its decoded pixels and is converted later, rows in the order given.
  void Add(uint8_t* row);
  // Returns once every row handed over is converted.
  void WaitUntilConverted() noexcept;

  static constexpr int64_t kMinimumPixels = int64_t{1} << 19;

 private:
  void HandOver(std::vector<uint8_t*> rows);
  void Work();

  const RowConversion convert_;
  // Rows gathered on the decoding side: handing them over in bands, not one by one,
  // keeps the two threads from waking each other for every row.
  std::vector<uint8_t*> gathering_;
  std::mutex mutex_;
  std::condition_variable wake_;  // for the worker: rows to convert, or the end
  std::condition_variable idle_;  // for the decoder: everything handed over is converted
  std::deque<std::vector<uint8_t*>> bands_;
  bool converting_ = false;
  bool ending_ = false;
  std::thread worker_;
};
