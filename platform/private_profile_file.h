#pragma once
// File access of the profile functions: reading a profile file whole, and replacing
// it atomically and durably, so that a crash, power loss or full disk never leaves a
// half-written file behind.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform::profile_file {

// Profile files are a few lines long; anything beyond this is not one, and reading
// it whole would only let a hostile file exhaust memory.
constexpr qsizetype kMaxProfileFileSize = 16 * 1024 * 1024;

enum class ReadStatus { Read, Missing, Failed };

// Reads a regular file of at most kMaxProfileFileSize bytes into `bytes`. A file that
// does not exist is Missing; one that cannot be read, is too large or is not a
// regular file (a FIFO, a device, a folder) is Failed.
ReadStatus ReadWholeFile(const QString& fileName, QByteArray& bytes);

// Replaces the file with `bytes`: a temporary file in the same folder is written,
// synced and renamed over the old one, then the folder is synced. The old file's
// permission bits are kept (and its owner where that is allowed); a new file gets
// the usual 0666 less the umask. A link is followed, so the file it names is
// replaced and the link stays. An existing file that we may not write is refused.
// On failure the temporary file is removed and the old file is untouched, except
// when only the final folder sync fails: the new content is then in place but not
// known to be durable, which is still reported as a failure.
bool ReplaceFileAtomically(const QString& fileName, QByteArrayView bytes);

// Creates a folder and its missing parents with mode 0700, as private settings
// folders should be. True when the folder exists afterwards.
bool MakePrivateFolder(const QString& folder);

// The steps of ReplaceFileAtomically, for tests that make one of them fail.
enum class ReplaceStep { CreateTemporary, WriteData, SyncData, Rename, SyncFolder };

// Makes the given step fail as if the system had refused it; nullopt restores normal
// behaviour. Only tests call this.
void SetReplaceFailureForTesting(std::optional<ReplaceStep> step);

}  // namespace platform::profile_file
