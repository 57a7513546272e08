#pragma once
// The kind of a directory entry from the type its directory reports, kept apart from
// file_system.h so that tests can give it types a test folder cannot produce.

namespace platform {

// faDirectory, faSysFile or 0 (a plain file) for the entry rawName of the open folder
// dirFd, whose directory reports its type as the DT_ value type. A link counts as what
// it points at and a broken one as a system file; only a link or an entry of unknown
// type (DT_UNKNOWN, which some file systems report for every entry) costs a status call.
int EntryKind(int dirFd, const char* rawName, unsigned char type);

}  // namespace platform
