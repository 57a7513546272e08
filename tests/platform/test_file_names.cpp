// Names that are not UTF-8 (Latin-1 names from old archives and cards) pass between the
// program and the system without loss.
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"
#include "platform/stream.h"

#include "current_dir_guard.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

struct BytesCase {
  const char* name;
  QByteArray bytes;
};

void PrintTo(const BytesCase& c, std::ostream* os) { *os << c.name; }

class LosslessBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(LosslessBytes, DecodeThenEncodeGivesTheSameBytes) {
  const QByteArray& bytes = GetParam().bytes;
  const QString text = DecodeUtf8Lossless(bytes);
  EXPECT_EQ(EncodeUtf8Lossless(text), bytes);
  EXPECT_EQ(DecodeUtf8Lossless(EncodeUtf8Lossless(text)), text);
}

// A text decoded into storage that held another: the same text, and one that shared the
// storage keeps its own.
TEST_P(LosslessBytes, DecodingIntoAnEarlierTextGivesTheSame) {
  const QByteArray& bytes = GetParam().bytes;
  const QString longer = QStringLiteral("an ASCII text longer than any of the table");
  QString text;
  DecodeUtf8Lossless(longer.toLatin1(), text);
  const QString earlier = text;
  DecodeUtf8Lossless(bytes, text);
  EXPECT_EQ(text, DecodeUtf8Lossless(bytes));
  EXPECT_EQ(earlier, longer);
  DecodeUtf8Lossless(longer.toLatin1(), text);
  DecodeUtf8Lossless(bytes, text);
  EXPECT_EQ(text, DecodeUtf8Lossless(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LosslessBytes,
    ::testing::Values(BytesCase{"AsciiName", "bild.jpg"}, BytesCase{"Latin1Name", "bild\xE4.jpg"}, BytesCase{"Utf8Name", "bild\xC3\xA4.jpg"},
                      BytesCase{"Overlong", "\xC0\xAF"}, BytesCase{"EncodedSurrogate", "\xED\xB2\x80"},
                      BytesCase{"CutSequence", "a\xE2\x82"}, BytesCase{"BeyondUnicode", "\xF4\x90\x80\x80"},
                      BytesCase{"EmojiWhoseLowHalfLooksCarried", "\xF0\x9F\x92\x80\xE4"},
                      BytesCase{"LeadingByteOrderMark", "\xEF\xBB\xBF" "x"},
                      BytesCase{"StrayContinuations", "\x80\xBF\xFF\xFE"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LosslessText, EveryPairOfBytesSurvives) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const QByteArray bytes{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(EncodeUtf8Lossless(DecodeUtf8Lossless(bytes)), bytes) << first << " " << second;
    }
  }
}

TEST(LosslessText, CarriedBytesAreLoneSurrogatesShownAsLatin1) {
  const QString latin1 = DecodeUtf8Lossless("bild\xE4.jpg");
  EXPECT_EQ(latin1, QStringLiteral("bild") + QChar(0xDCE4) + QStringLiteral(".jpg"));
  EXPECT_EQ(ReadableText(latin1), QString::fromUtf8("bild\xC3\xA4.jpg"));
  EXPECT_EQ(ReadableText(DecodeUtf8Lossless("\x80\x81")), QString::fromUtf8("\xE2\x82\xAC\xEF\xBF\xBD"));
  const QString emoji = DecodeUtf8Lossless("\xF0\x9F\x92\x80");
  EXPECT_EQ(ReadableText(emoji), emoji) << "the low half of a pair is no carried byte";
  EXPECT_EQ(EncodeUtf8Lossless(QString(QChar(0xDC10))), QByteArray("\xEF\xBF\xBD")) << "carries no byte";
}

TEST(LosslessText, BytesEqualTextIgnoringCaseWithoutDecoding) {
  EXPECT_TRUE(EqualsIgnoringCase("Letztes", QStringLiteral("LETZTES")));
  EXPECT_TRUE(EqualsIgnoringCase("\xC3\x84rger", QString::fromUtf8("\xC3\xA4RGER")));
  EXPECT_TRUE(EqualsIgnoringCase("Gr\xFCn", QStringLiteral("gR") + QChar(0xDCFC) + QStringLiteral("N")));
  EXPECT_TRUE(EqualsIgnoringCase("\xF0\x9F\x98\x80x", QString::fromUtf8("\xF0\x9F\x98\x80X")));
  EXPECT_FALSE(EqualsIgnoringCase("Gr\xFCn", QString::fromUtf8("Gr\xC3\xBCn"))) << "a carried byte is no letter";
  EXPECT_FALSE(EqualsIgnoringCase("abc", QStringLiteral("ab")));
  EXPECT_FALSE(EqualsIgnoringCase("ab", QStringLiteral("abc")));
  EXPECT_TRUE(EqualsIgnoringCase("", QString()));
}

// A folder and a picture with Latin-1 names, made from their bytes as another system
// would have written them.
class Latin1Names : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    rootBytes_ = dir_.path().toUtf8();
    folderBytes_ = rootBytes_ + "/Fotos \xC4lter";
    ASSERT_EQ(::mkdir(folderBytes_.constData(), 0700), 0);
    const int fd = ::open((folderBytes_ + "/bild\xE4.jpg").constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "inhalt", 6), 6);
    ::close(fd);
  }
  QString Folder() const { return DecodeUtf8Lossless(folderBytes_); }

  QTemporaryDir dir_;
  QByteArray rootBytes_;
  QByteArray folderBytes_;
};

TEST_F(Latin1Names, AreListedEnteredAndOpenedAsThemselves) {
  const QString folderName = DecodeUtf8Lossless("Fotos \xC4lter");
  EXPECT_EQ(ListSubfolders(dir_.path()), QStringList{folderName});
  EXPECT_TRUE(DirectoryExists(Folder()));

  CurrentDirGuard guard;
  SetCurrentDir(Folder());
  EXPECT_EQ(GetCurrentDir(), Folder());
  const std::vector<TFoundName> found = FindNames(QString(), {QStringLiteral("*.jpg")}, faNormalFiles);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(EncodeUtf8Lossless(found[0].Name), QByteArray("bild\xE4.jpg"));

  const QString path = JoinPath(Folder(), found[0].Name);
  EXPECT_TRUE(FileExists(path));
  TFileStream stream(path, TFileMode::fmOpenRead);
  char content[6] = {};
  stream.ReadBuffer(content, sizeof content);
  EXPECT_EQ(QByteArray(content, 6), QByteArray("inhalt"));
}

TEST_F(Latin1Names, FileUrlCarriesTheBytesAndErrorsShowThemReadably) {
  const QString path = JoinPath(Folder(), DecodeUtf8Lossless("bild\xE4.jpg"));
  EXPECT_EQ(LocalFileUrl(path).toEncoded(), "file://" + rootBytes_ + "/Fotos%20%C4lter/bild%E4.jpg");
  EXPECT_TRUE(LocalFileUrl(QStringLiteral("relative.jpg")).isEmpty());

  const QString missing = JoinPath(Folder(), DecodeUtf8Lossless("wei\xDF.jpg"));
  try {
    TFileStream stream(missing, TFileMode::fmOpenRead);
    FAIL() << "a missing file opened";
  } catch (const EFOpenError& error) {
    EXPECT_TRUE(error.Message().contains(QString::fromUtf8("Fotos \xC3\x84lter/wei\xC3\x9F.jpg"))) << error.Message().toStdString();
  }
}

}  // namespace
