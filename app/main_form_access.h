#pragma once
// The main window for people who work by keyboard or with a screen reader: keys that
// fill, clear and switch the slide sheets, the order in which Tab walks the controls,
// and the names, roles and hints that tell assistive technology what each control is.

#include <QString>

#include <array>

class TForm1;
class TImage;

// The slides of a sheet (0: "9 cm x 13 cm", 1: "13 cm x 9 cm") in reading order: top
// left, top right, bottom left, bottom right, so that slide n of a sheet is its key n.
std::array<TImage*, 4> SheetSlides(const TForm1* form, int sheet);
// The sheet that is shown, 0 or 1.
int ShownSheet(const TForm1* form);
// What assistive technology calls a slide: "Dia 2 von 4, 13 x 9 cm: Strand.jpg" or
// "Dia 2 von 4, 13 x 9 cm: leer".
QString SlideName(int number, int sheet, const QString& fileName);

// Puts the file list's selected file onto slide `number` (1 to 4) of the sheet shown,
// as a drop does; no selection does nothing. The loading error passes on.
void FillShownSlide(TForm1* form, int number);
// Clears slide `number` of the sheet shown, as a click on it does.
void ClearShownSlide(TForm1* form, int number);

// Called once the window's controls exist: names, hints, tab order and the sheet keys.
void MakeMainFormAccessible(TForm1* form);
// A slide was filled from the file (by a drop or a key) or cleared (by a click or a key):
// its name follows and the change is announced.
void NoteSlideFilled(TImage* slide, const QString& filePath);
void NoteSlideCleared(TImage* slide);
