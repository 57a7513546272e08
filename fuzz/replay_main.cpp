// Runs a fuzz target over files and folders named on the command line, as a libFuzzer
// executable would, so the ordinary build replays every seed and every kept crash or
// stall. An input fails when it costs more than the input budget; the cost is the
// process's processor time, so that a busy machine does not make a quick input fail.
#ifdef VELARIM_REPLAY_GUI
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

#include "fuzz/input_budget.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Processor seconds one input may cost; -timeout=N sets it, as for libFuzzer.
double budgetSeconds = kFuzzInputBudgetSeconds;
// -grow_to=N repeats each input's bytes up to N bytes: a crafted input kept small in the
// corpus is replayed at the size where work that is not linear in it would show.
size_t growTo = 0;

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (growTo > bytes.size() && !bytes.empty()) {
    // Each copy repeats all the bytes so far: a few library copies instead of a checked
    // step per byte, which in the sanitizer build costs as much as a quick parse.
    size_t filled = bytes.size();
    bytes.resize(growTo);
    for (; filled < growTo; filled *= 2) {
      std::copy_n(bytes.begin(), std::min(filled, growTo - filled), bytes.begin() + static_cast<std::ptrdiff_t>(filled));
    }
  }
  const double start = ProcessorSeconds();
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  const double spent = ProcessorSeconds() - start;
  if (spent > budgetSeconds) {
    std::fprintf(stderr, "%s took %.3f s of processor time, beyond the budget of %g s\n", path.c_str(), spent,
                 budgetSeconds);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef VELARIM_REPLAY_GUI
  // Targets that draw need a GUI application; the headless platform is enough for them.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
#else
  QCoreApplication app(argc, argv);
#endif
  int failures = 0;
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option.starts_with("-timeout=")) {
      budgetSeconds = std::atof(argv[i] + option.find('=') + 1);
      continue;
    }
    if (option.starts_with("-grow_to=")) {
      growTo = static_cast<size_t>(std::atoll(argv[i] + option.find('=') + 1));
      continue;
    }
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) {
          failures += RunFile(entry.path());
          ++count;
        }
      }
    } else {
      failures += RunFile(arg);
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return failures == 0 && count > 0 ? 0 : 1;
}
