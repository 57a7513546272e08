#pragma once
// File access of the profile functions: reading a profile file whole, and replacing
// it atomically and durably, so that a crash, power loss or full disk never leaves a
// half-written file behind.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <functional>
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

// How long a write waits for another writer of the same folder before it fails.
constexpr std::chrono::milliseconds kFolderLockWait{5000};

// A write's change of a profile file: the new content for the old one (empty when there
// is no file), or nothing when the write is refused.
using ContentChange = std::function<std::optional<QByteArray>(const QByteArray& old)>;

// What to do when the file's folder does not exist.
enum class MissingFolder { Fail, CreatePrivate };

// One whole write of a profile file: reads it, applies `change` and replaces it with the
// result, atomically and durably: a temporary file in the same folder is written,
// synced and renamed over the old one, then the folder is synced. A result equal to the
// old content touches nothing, not even a missing folder. The old file's permission
// bits are kept (and its owner where that is allowed); a new file gets the usual 0666
// less the umask. A link, working or dangling, is followed to the file it names, which
// is replaced while the link stays. An existing file that we may not write is refused.
// On failure the temporary file is removed and the old file is untouched, except when
// only the final folder sync fails: the new content is then in place but not known to
// be durable, which is still reported as a failure.
//
// Writers in other processes must not lose each other's changes, so the whole
// read-change-replace holds an exclusive advisory lock (flock) on the file's folder. The
// folder, not the file: the rename puts a new file in place, so a lock on the old one
// would not stop the next writer, and a lock file would stay behind for ever. The kernel
// drops the lock when its holder dies, so a killed writer never blocks the next one. A
// lock not had within kFolderLockWait fails the write. Where the file system has no
// locks (some network ones) the write goes ahead unlocked, as it always could.
//
// While holding the lock, temporary files of this file's own naming that a killed
// writer left behind are removed; nothing else in the folder is touched.
bool UpdateFile(const QString& fileName, const ContentChange& change, MissingFolder missingFolder);

// Creates a folder and its missing parents with mode 0700, as private settings
// folders should be. True when the folder exists afterwards.
bool MakePrivateFolder(const QString& folder);

// The steps of replacing the file, for tests that make one of them fail.
enum class ReplaceStep { CreateTemporary, WriteData, SyncData, Rename, SyncFolder };

// Makes the given step fail as if the system had refused it; nullopt restores normal
// behaviour. Only tests call this.
void SetReplaceFailureForTesting(std::optional<ReplaceStep> step);

// Calls `hook` as each step begins (a test may stop the process there, as a kill
// would); an empty hook restores normal behaviour. Only tests call this.
void SetReplaceStepHookForTesting(std::function<void(ReplaceStep)> hook);

}  // namespace platform::profile_file
