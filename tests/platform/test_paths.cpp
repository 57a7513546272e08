#include "platform/paths.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct NameCase {
  const char* exePath;
  const char* expected;
};

class ProgramDirectoryTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProgramDirectoryTest, EndsInExactlyOneSlash) {
  EXPECT_EQ(platform::ProgramDirectoryFromExecutable(GetParam().exePath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rule, ProgramDirectoryTest,
                         ::testing::Values(NameCase{"/opt/velarim/Velarim", "/opt/velarim/"},
                                           NameCase{"/Velarim", "/"},
                                           NameCase{"/a/b.c/Velarim.bin", "/a/b.c/"},
                                           NameCase{"//Velarim", "//"},
                                           NameCase{"relative/Velarim", "relative/"},
                                           NameCase{"Velarim", "/"}));

class ApplicationTitleTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ApplicationTitleTest, FirstCharacterKeptRestLowerCase) {
  EXPECT_EQ(platform::ApplicationTitleFromExecutable(QString::fromUtf8(GetParam().exePath)), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Rule, ApplicationTitleTest,
                         ::testing::Values(NameCase{"/x/FOTODRUCK.EXE", "Fotodruck"},
                                           NameCase{"/opt/velarim/Velarim", "Velarim"},
                                           NameCase{"/x/velarim", "velarim"},
                                           NameCase{"/x.y/ABC.DEF.EXE", "Abc"},
                                           NameCase{"/x/ÄÖÜ", "Äöü"},
                                           NameCase{"/x/.hidden", ""},
                                           NameCase{"", ""}));

class PlacementFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PlacementFileNameTest, ExtensionReplacedByIni) {
  EXPECT_EQ(platform::PlacementFileNameFromExecutable(GetParam().exePath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rule, PlacementFileNameTest,
                         ::testing::Values(NameCase{"/opt/velarim/Velarim", "Velarim.INI"},
                                           NameCase{"/x/FOTO.EXE", "FOTO.INI"},
                                           NameCase{"/x.d/a.b.exe", "a.b.INI"},
                                           NameCase{"/x.d/Velarim", "Velarim.INI"}));

TEST(ExecutablePathTest, NamesThisRunningProgram) {
  const QFileInfo info(platform::ExecutablePath());
  EXPECT_TRUE(info.isAbsolute());
  EXPECT_TRUE(info.isExecutable());
  EXPECT_EQ(info.fileName(), "tests_platform");
}

}  // namespace
