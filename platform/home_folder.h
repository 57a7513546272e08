#pragma once
// The person's home folder and documents folder, by their very bytes.

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The home folder: HOME when it is set to an absolute path, else the account's home
// from the user database (a service manager may start the program without HOME, and
// "/" would then be taken for it); "/" only when neither names one.
QString HomeFolder();

// The same choice from the given HOME value (nothing when unset) and the database's
// home of the account (nothing when it has none); for tests.
QString HomeFolderFrom(const std::optional<QByteArray>& homeVariable, const std::optional<QByteArray>& accountHome);

// The desktop's documents folder where it exists, else the home folder. Qt names it
// from a decoded home; under a home whose name is not UTF-8 that decoded start is taken
// back to the home's own bytes.
QString DocumentsFolder();

// The documents folder as Qt reports it (qtDocuments), under Qt's decoded home (qtHome),
// moved to the real home; for tests. Empty when it is not under Qt's home and not
// UTF-8 text of its own.
QString DocumentsUnderHome(const QString& qtDocuments, const QString& qtHome, const QString& home);

}  // namespace platform
