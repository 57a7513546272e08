#pragma once
// Time and peak resident memory of one piece of work, from the kernel's counters.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include <time.h>

struct Measurement {
  double seconds = 0;
  double processorSeconds = 0;  // of this thread: what a busy machine does not inflate
  double processSeconds = 0;    // processor time of every thread of the program
  int64_t peakBytes = 0;  // resident memory at the peak, beyond what was resident before; -1 unknown
};

// The kernel's counters of the resident set: "VmRSS" now, "VmHWM" its peak.
inline int64_t StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::strtoll(line.c_str() + std::char_traits<char>::length(field) + 1, nullptr, 10);
    }
  }
  return -1;
}

// Starts the peak over from the current resident size (Linux 4.0 and later).
inline bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear);
}

inline double ProcessorSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline double ThreadProcessorSeconds() { return ProcessorSeconds(CLOCK_THREAD_CPUTIME_ID); }

inline Measurement Measure(const std::function<void()>& work) {
  const bool peakReset = ResetPeak();
  const int64_t before = StatusKilobytes("VmRSS:");
  const double processorStart = ThreadProcessorSeconds();
  const double processStart = ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const auto start = std::chrono::steady_clock::now();
  work();
  const auto end = std::chrono::steady_clock::now();
  const double processEnd = ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double processorEnd = ThreadProcessorSeconds();
  const int64_t peak = peakReset ? StatusKilobytes("VmHWM:") : -1;
  return Measurement{std::chrono::duration<double>(end - start).count(), processorEnd - processorStart,
                     processEnd - processStart, peak < 0 ? -1 : (peak - before) * 1024};
}
