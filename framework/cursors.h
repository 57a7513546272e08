#pragma once
// Cursor numbers and the screen's cursor table: the standard cursors have fixed
// negative numbers; a component may register a cursor of its own under a free number
// and remove it again when it is no longer needed.

#include <QCursor>

using TCursor = int;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;

// The cursor shown for a number: a registered one, else the standard one; an unknown
// number shows the default arrow.
QCursor ScreenCursor(TCursor number);
bool HasRegisteredCursor(TCursor number);
// Registers (or replaces) the cursor for a number.
void RegisterScreenCursor(TCursor number, const QCursor& cursor);
void RemoveScreenCursor(TCursor number);
