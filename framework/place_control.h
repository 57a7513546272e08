#pragma once
// Building a window from its design: a named control, owned by the window, placed in its
// parent at the designed bounds.

#include "framework/control.h"

template <class Control>
Control* Place(TComponent* owner, const char* name, TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new Control(owner);
  control->SetName(QString::fromLatin1(name));
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}
