#pragma once
// Where the settings file keeps the hint switch: read at start, written when it is turned
// and when the window closes.

#include <QString>

inline const QString kHintSection = QStringLiteral("OnlineHilfe");
inline const QString kHintKey = QStringLiteral("Status");
