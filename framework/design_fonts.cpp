#include "framework/design_fonts.h"

#include <QFont>
#include <QStringList>

void InstallDesignFontSubstitutes() {
  // The forms' dialog face: its 8-point glyphs are as wide as Arial's at 11
  // pixels, which Liberation Sans (Arial's metrics) matches; fontconfig has no alias for
  // it and would choose DejaVu Sans, about a fifth wider. Arial and Times New Roman need
  // nothing here: fontconfig maps them to the Liberation faces itself.
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
}
