#include "framework/cursors.h"

#include <map>

namespace {

std::map<TCursor, QCursor>& registered() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

Qt::CursorShape platformShape(TCursor number) {
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
  const auto it = registered().find(number);
  return it != registered().end() ? it->second : QCursor(platformShape(number));
}

bool HasRegisteredCursor(TCursor number) { return registered().count(number) != 0; }

void RegisterScreenCursor(TCursor number, const QCursor& cursor) { registered()[number] = cursor; }

void RemoveScreenCursor(TCursor number) { registered().erase(number); }
