#pragma once
// "Speichern unter": a copy of a file under a name the user chose in the save dialog
// (which has asked before an existing file may be replaced).

#include <QString>

// Copies source to target, both named by their bytes. The copy is written to a
// temporary file beside the target and renamed over it only when complete, so a
// failure never leaves a half-written file nor harms a file that was there. Raises
// Exception with a German message when the copy cannot be made (followed by the reason
// a person can act on: a full disk, no permission, a read-only file system, a folder
// that has gone, a name too long), and when the target is the source itself (the
// dialog has just asked whether to replace it, so saying nothing would leave the user
// guessing).
void SaveCopyOfFile(const QString& source, const QString& target);
