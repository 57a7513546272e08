#include "key_repeat.h"

#include <X11/XKBlib.h>

#include <memory>

namespace e2e {

bool SetKeyRepeat(const QString& displayName, int delayMs, int intervalMs) {
  struct Closer {
    void operator()(::Display* display) const { XCloseDisplay(display); }
  };
  const std::unique_ptr<::Display, Closer> display(XOpenDisplay(displayName.toLocal8Bit().constData()));
  if (!display) return false;
  XAutoRepeatOn(display.get());
  const bool set = XkbSetAutoRepeatRate(display.get(), XkbUseCoreKbd, static_cast<unsigned>(delayMs),
                                        static_cast<unsigned>(intervalMs));
  XSync(display.get(), False);
  return set;
}

}  // namespace e2e
