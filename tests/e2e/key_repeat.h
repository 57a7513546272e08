#pragma once
// The X server's keyboard repeat, set by a case that holds a key down, so that the
// number of repeats a hold gives is known.

#include <QString>

namespace e2e {

// Turns the repeat on with the first repeat after delayMs and then one per intervalMs.
bool SetKeyRepeat(const QString& displayName, int delayMs, int intervalMs);

}  // namespace e2e
