#pragma once
// The forms name faces ("MS Sans Serif" above all) that a Linux desktop does not have.
// They are still requested by name; where fontconfig would fall back to its wide default
// face, the application resolves them to a free face of nearly the same metrics, so
// captions fit the control sizes the forms are laid out for.

// Registers the substitutes with Qt's font matching; called once the Qt application exists.
void InstallDesignFontSubstitutes();
