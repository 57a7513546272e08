#pragma once
// Self-drawn controls that a click works (toolbar buttons, link labels) made usable
// from the keyboard: Tab reaches them, Space or Return presses them as a click does,
// and a dotted frame shows where the focus is.

class QPainter;
class QRect;
class TControl;

void MakeKeyboardPressable(TControl* control);
// Draws the focus frame inside the rectangle when the control has the keyboard focus.
void PaintFocusFrame(const TControl* control, QPainter& painter, const QRect& rect);
