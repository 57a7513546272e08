#pragma once
// The self-drawn title bar of a form and its buttons, told to assistive technology.

class TForm;

// Describes the form's own frame: the title bar with the window's caption, and its
// minimise, maximise (or restore) and close buttons, which press as a click does.
void DescribeOwnFrame(TForm* form);
