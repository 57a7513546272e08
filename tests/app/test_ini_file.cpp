#include "app/ini_file.h"

#include "platform/errors.h"
#include "platform/private_profile_file.h"
#include "support/file_bytes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void TearDown() override { platform::profile_file::SetReplaceFailureForTesting(std::nullopt); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
};

// Stored text -> integer read with the default 99 (so the default is visible).
struct IntegerCase {
  const char* stored;
  int expected;
};

class IniIntegerTest : public IniFileTest, public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(IniIntegerTest, ReadsStoredText) {
  WriteBytes(Path("v.ini"), QByteArray("[S]\nk=") + GetParam().stored + "\n");
  const TIniFile ini(Path("v.ini"));
  EXPECT_EQ(ini.ReadInteger("S", "k", 99), GetParam().expected);
  // A flag is on exactly when the integer is not 0; unreadable text gives the default.
  EXPECT_EQ(ini.ReadBool("S", "k", true), GetParam().expected != 0);
  EXPECT_EQ(ini.ReadBool("S", "k", false), GetParam().expected != 0 && GetParam().expected != 99);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, IniIntegerTest,
    ::testing::Values(IntegerCase{"1", 1}, IntegerCase{"-1", -1}, IntegerCase{"0x10", 16}, IntegerCase{"7", 7},
                      IntegerCase{"0", 0}, IntegerCase{"0x0", 0}, IntegerCase{"ja", 99}, IntegerCase{"", 99},
                      IntegerCase{"2", 2}, IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31}, IntegerCase{"abc", 99},
                      IntegerCase{"0x", 99}, IntegerCase{" 5 ", 5}, IntegerCase{"+5", 5}, IntegerCase{"007", 7},
                      IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", -2147483647 - 1},
                      IntegerCase{"2147483648", 99}, IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"0x100000000", 99},
                      IntegerCase{"99999999999999999999", 99}, IntegerCase{"-0x10", 99}, IntegerCase{"0x-1", 99},
                      IntegerCase{"0x 1", 99}, IntegerCase{"1.5", 99}, IntegerCase{"-", 99},
                      IntegerCase{"\xD9\xA3", 99} /* Arabic-Indic three */));

TEST_F(IniFileTest, ConstructionTouchesNoFile) {
  const TIniFile ini(Path("sub/none.ini"));
  EXPECT_EQ(ini.FileName(), Path("sub/none.ini"));
  EXPECT_EQ(ini.ReadString("S", "k", "def"), "def");
  EXPECT_FALSE(QFileInfo::exists(Path("sub")));
}

TEST_F(IniFileTest, RoundTripsEveryKind) {
  TIniFile ini(Path("r.ini"));
  ini.WriteString("Verzeichnisse", "letztes", "/home/jörg/Bilder");
  ini.WriteBool("OnlineHilfe", "Status", false);
  ini.WriteInteger("TForm1", "FormVersion", -5);
  EXPECT_EQ(ini.ReadString("verzeichnisse", "LETZTES", ""), "/home/jörg/Bilder");
  EXPECT_FALSE(ini.ReadBool("OnlineHilfe", "Status", true));
  EXPECT_EQ(ini.ReadInteger("TForm1", "FormVersion", 0), -5);
  ini.WriteBool("OnlineHilfe", "Status", true);
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(Path("r.ini")),
            "[Verzeichnisse]\nletztes=/home/j\xC3\xB6rg/Bilder\n[OnlineHilfe]\nStatus=1\n[TForm1]\nFormVersion=-5\n");
}

// Values the profile functions would change on reading (blanks at an end, a pair of
// quotes around them) and values they leave alone: each reads back exactly.
class IniTextRoundTripTest : public IniFileTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(IniTextRoundTripTest, ReadsBackWhatWasWritten) {
  TIniFile ini(Path("q.ini"));
  const QString value = QString::fromUtf8(GetParam());
  ini.WriteString("Verzeichnisse", "letztes", value);
  ini.WriteBool("OnlineHilfe", "Status", true);
  EXPECT_EQ(ini.ReadString("Verzeichnisse", "letztes", "default"), value);
  EXPECT_EQ(ini.ReadString("OnlineHilfe", "Status", ""), "1");
}

INSTANTIATE_TEST_SUITE_P(Texts, IniTextRoundTripTest,
                         ::testing::Values("/home/anna/Urlaub ", "/home/anna/ Urlaub", " ", "\t/tab\t", "\"x\"",
                                           "'y'", "\"z", "z'", "\"", "' \"mixed\" '", " \"quoted\" ", "a \"b\" c",
                                           "", "/plain/folder"));

TEST_F(IniFileTest, OnlyValuesThatWouldChangeAreQuotedInTheFile) {
  TIniFile ini(Path("q.ini"));
  ini.WriteString("S", "blank", "Urlaub ");
  ini.WriteString("S", "plain", "Urlaub");
  ini.WriteString("S", "inner", "a \"b\" c");
  EXPECT_EQ(ReadBytes(Path("q.ini")), "[S]\nblank=\"Urlaub \"\nplain=Urlaub\ninner=a \"b\" c\n");
}

TEST_F(IniFileTest, ValueWithLineBreakIsRefusedAndKeepsOldValue) {
  TIniFile ini(Path("n.ini"));
  ini.WriteString("S", "k", "old");
  for (const QString& value : {QStringLiteral("a\nb"), QStringLiteral("a\rb"), QStringLiteral("a") + QChar(u'\0')}) {
    EXPECT_FALSE(TIniFile::CanStore(value));
    EXPECT_THROW(ini.WriteString("S", "k", value), EIniFileException);
  }
  EXPECT_TRUE(TIniFile::CanStore(QStringLiteral(" Urlaub\t")));
  EXPECT_EQ(ini.ReadString("S", "k", ""), "old");
}

TEST_F(IniFileTest, LongValueReadsCutTo2047Characters) {
  TIniFile ini(Path("l.ini"));
  ini.WriteString("S", "k", QString(5000, u'ä'));
  EXPECT_EQ(ini.ReadString("S", "k", ""), QString(2047, u'ä'));
}

TEST_F(IniFileTest, FailedWriteRaisesAndKeepsOldFile) {
  const QByteArray old = "[OnlineHilfe]\r\nStatus=1\r\n";
  WriteBytes(Path("s.ini"), old);
  platform::profile_file::SetReplaceFailureForTesting(platform::profile_file::ReplaceStep::SyncData);
  TIniFile ini(Path("s.ini"));
  try {
    ini.WriteBool("OnlineHilfe", "Status", false);
    FAIL() << "no error raised";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "nach " + Path("s.ini") + " kann nicht geschrieben werden");
  }
  EXPECT_EQ(ReadBytes(Path("s.ini")), old);
}

TEST_F(IniFileTest, UnwritableFolderRaises) {
  WriteBytes(Path("file"), "x");
  TIniFile ini(Path("file/s.ini"));
  EXPECT_THROW(ini.WriteString("S", "k", "v"), EIniFileException);
}

}  // namespace
