#include "platform/tick.h"

#include <chrono>

namespace platform {
namespace {

std::function<uint32_t()>& tickSource() {
  static std::function<uint32_t()> source;
  return source;
}

}  // namespace

uint32_t GetTickCount() {
  if (tickSource()) {
    return tickSource()();
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetTickSource(std::function<uint32_t()> source) { tickSource() = std::move(source); }

}  // namespace platform
