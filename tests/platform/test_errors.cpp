#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

namespace {

// The errno values that have a code of their own, with its German message.
const std::map<int, int> kOwnCodes{{ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {EINVAL, 3}, {ELOOP, 3},
                                   {EMFILE, 4}, {ENFILE, 4},  {EACCES, 5},       {EPERM, 5},  {EROFS, 5}};

TEST(ErrorCodes, KnownErrnosGiveTheirOwnCodeAndText) {
  for (const auto& [error, code] : kOwnCodes) {
    EXPECT_EQ(platform::PlatformErrorCodeFromErrno(error), code) << error;
  }
  EXPECT_EQ(EInOutError(platform::PlatformErrorCodeFromErrno(EROFS)).Message(), "Dateizugriff verweigert");
  EXPECT_EQ(EInOutError(platform::PlatformErrorCodeFromErrno(ENOENT)).Message(), "Datei nicht gefunden");
}

// EIO is 5 and EINTR 4: numbers that would read as access denied or too many open files.
TEST(ErrorCodes, EveryOtherErrnoReadsAsAnInputOutputErrorThatNamesIt) {
  for (int error = 1; error < 200; ++error) {
    if (kOwnCodes.count(error)) continue;
    const int code = platform::PlatformErrorCodeFromErrno(error);
    EXPECT_TRUE(code < 2 || code > 5) << error;
    EXPECT_EQ(code, -error);
    EXPECT_EQ(EInOutError(code).Message(), QStringLiteral("E/A-Fehler %1").arg(-error)) << error;
  }
  EXPECT_EQ(EInOutError(platform::PlatformErrorCodeFromErrno(EIO)).Message(), "E/A-Fehler -5");
}

}  // namespace
