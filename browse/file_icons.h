#pragma once
// Small file icons from the desktop's icon theme, fetched once per extension and kept
// for the life of the process.

#include <QIcon>
#include <QString>

QIcon FileIconFor(const QString& fileName);
