#pragma once
// The time one input may cost a fuzz target. Every parser must finish any input, however
// hostile, well within it; an input that needs longer stalls the program, which is as
// much a fault as a crash. The figure holds for the sanitizer builds that fuzz and
// replay, and is given to libFuzzer as its -timeout.
inline constexpr int kFuzzInputBudgetSeconds = 5;
