#pragma once
// The program's own icon "MAINICON": an icon file compiled into the executable, and the
// window icon made from it.

#include <QByteArrayView>
#include <QIcon>

// The icon file's bytes.
QByteArrayView MainIconResource();

// Every image of the icon file, read by the program's icon loader, so each window size
// and screen scale gets an image drawn for it.
QIcon MainIcon();
