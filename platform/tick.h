#pragma once
// The millisecond tick count: a monotonic clock kept in 32 bits, so it wraps after about
// 49 days; callers compare ticks by unsigned difference, which stays right across the wrap.
// Tests replace the source so that rate-limited code can be driven without waiting.

#include <cstdint>
#include <functional>

namespace platform {

uint32_t GetTickCount();

// Replaces the clock (nullptr restores the real one). Only tests call this.
void SetTickSource(std::function<uint32_t()> source);

}  // namespace platform
