#pragma once
// The millisecond tick count: a monotonic clock that wraps like the 32-bit original.
// Tests replace the source so that rate-limited code can be driven without waiting.

#include <cstdint>
#include <functional>

namespace platform {

uint32_t GetTickCount();

// Replaces the clock (nullptr restores the real one). Only tests call this.
void SetTickSource(std::function<uint32_t()> source);

}  // namespace platform
