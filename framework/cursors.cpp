#include "framework/cursors.h"

#include <map>

namespace {

std::map<TCursor, QCursor>& Registered() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

Qt::CursorShape PlatformShape(TCursor number) {
  switch (number) {
    case crCross: return Qt::CrossCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragCopyCursor;
    case crNoDrop: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

QCursor ScreenCursor(TCursor number) {
  const auto it = Registered().find(number);
  return it != Registered().end() ? it->second : QCursor(PlatformShape(number));
}

bool HasRegisteredCursor(TCursor number) { return Registered().count(number) != 0; }

void RegisterScreenCursor(TCursor number, const QCursor& cursor) { Registered()[number] = cursor; }

void RemoveScreenCursor(TCursor number) { Registered().erase(number); }
