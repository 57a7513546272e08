#pragma once
// The program's own icon "MAINICON", an icon file compiled into the executable.

#include <QByteArrayView>

QByteArrayView MainIconResource();
