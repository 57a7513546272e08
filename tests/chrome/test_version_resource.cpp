// The version block: its layout as built, the reader's languages, code pages and
// names, the program's own block in its executable, and damaged or missing blocks.
#include "chrome/version/version_block.h"
#include "chrome/version_resource.h"
#include "framework/application.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

VersionBlockContent SampleContent() {
  VersionBlockContent content;
  content.fixed.fileVersionMS = 0x00010002;
  content.fixed.fileVersionLS = 0x00030004;
  content.fixed.productVersionMS = 0x00080009;
  content.fixed.productVersionLS = 0x00060007;
  content.fixed.fileOS = 0x40004;
  content.fixed.fileType = 3;
  content.fixed.fileSubtype = 2;
  content.tables.push_back({0x0407, 0x04E4, {{QStringLiteral("CompanyName"), QStringLiteral("Müller")},
                                             {QStringLiteral("ProductVersion"), QStringLiteral("neun")}}});
  content.tables.push_back({0x0409, 0x04B0, {{QStringLiteral("Comment"), QStringLiteral("english")}}});
  return content;
}

TEST(VersionBlock, BuiltBlockHasThePublishedLayout) {
  const QByteArray block = BuildVersionBlock(SampleContent());
  ASSERT_GE(block.size(), 92);
  const auto u16 = [&](int at) { return static_cast<uint8_t>(block[at]) | static_cast<uint8_t>(block[at + 1]) << 8; };
  EXPECT_EQ(u16(0), block.size());  // wLength covers the whole block
  EXPECT_EQ(u16(2), 52);            // the fixed part
  EXPECT_EQ(u16(4), 0);
  EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(block.constData() + 6), 15),
            QStringLiteral("VS_VERSION_INFO"));
  EXPECT_EQ(static_cast<uint32_t>(u16(40) | u16(42) << 16), 0xFEEF04BDu);  // key and NUL end at 38, padded to 40

  const std::optional<VersionNode> root = ParseVersionBlock(block);
  ASSERT_TRUE(root);
  ASSERT_EQ(root->children.size(), 2u);
  EXPECT_EQ(root->children[0].key, QStringLiteral("StringFileInfo"));
  EXPECT_EQ(root->children[1].key, QStringLiteral("VarFileInfo"));
  const VersionNode* company = FindVersionNode(*root, u"\\stringfileinfo\\040704E4\\CompanyName");
  ASSERT_NE(company, nullptr);
  EXPECT_EQ(TextValueOf(*company), QStringLiteral("Müller"));
  const auto translations = TranslationsOf(*root);
  ASSERT_EQ(translations.size(), 2u);
  EXPECT_EQ(translations[1], std::make_pair(uint16_t{0x0409}, uint16_t{0x04B0}));
}

TEST(VersionBlock, InfoForOneLanguageAndCodePage) {
  const QByteArray block = BuildVersionBlock(SampleContent());
  const TVersionInfo german = VersionInfoFromBlock(block, 0x0407, 1252);
  EXPECT_EQ(german.FileVersion, QStringLiteral("1.2.3.4"));
  EXPECT_EQ(german.ProductVersion, QStringLiteral("neun"));  // the string overrides the fixed one
  EXPECT_EQ(german.CompanyName, QStringLiteral("Müller"));
  EXPECT_TRUE(german.Comment.isEmpty());
  EXPECT_EQ(german.FileOS, QStringLiteral("Windows NT with 32 bit Windows"));
  EXPECT_EQ(german.FileType, QStringLiteral("Device Driver"));
  EXPECT_EQ(german.FileSubType, QStringLiteral("Keyboard"));

  const TVersionInfo english = VersionInfoFromBlock(block, 0x0409, 1200);
  EXPECT_EQ(english.Comment, QStringLiteral("english"));
  EXPECT_EQ(english.ProductVersion, QStringLiteral("8.9.6.7"));
  EXPECT_TRUE(english.CompanyName.isEmpty());
}

TEST(VersionBlock, DamagedBlocksGiveWhatCanBeReadAndNeverMore) {
  const QByteArray block = BuildVersionBlock(SampleContent());
  for (qsizetype cut = 0; cut < block.size(); ++cut) {
    QByteArray damaged = block.left(cut);
    const TVersionInfo info = VersionInfoFromBlock(damaged, 0x0407, 1252);  // must not read past the end
    if (cut < 92) {
      EXPECT_TRUE(info.FileVersion.isEmpty()) << cut;
    }
  }
  QByteArray lying = block;
  lying[0] = '\xFF';
  lying[1] = '\xFF';  // a length beyond the block
  EXPECT_FALSE(ParseVersionBlock(lying));
  QByteArray noSignature = block;
  noSignature[40] = 0;
  const TVersionInfo info = VersionInfoFromBlock(noSignature, 0x0407, 1252);
  EXPECT_TRUE(info.FileVersion.isEmpty());
  EXPECT_EQ(info.CompanyName, QStringLiteral("Müller"));
}

TEST(VersionResource, LanguageAndCodePageTables) {
  EXPECT_EQ(LanguageIdentifier(TLanguage::lnArabic), 1025);
  EXPECT_EQ(LanguageIdentifier(TLanguage::lnGerman), 1031);
  EXPECT_EQ(LanguageIdentifier(TLanguage::lnUSEnglish), 1033);
  EXPECT_EQ(LanguageIdentifier(TLanguage::lnBahasa), 1057);
  const uint16_t later[] = {2052, 2055, 2057, 2058, 2060, 2064, 2067, 2068, 2070, 2074, 3084, 4108};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(LanguageIdentifier(static_cast<TLanguage>(33 + i)), later[i]) << i;
  }
  EXPECT_EQ(LanguageIdentifier(TLanguage::lnSwissFrench), 4108);
  const uint16_t pages[] = {0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256};
  for (int i = 0; i < kCharacterSetCount; ++i) EXPECT_EQ(CodePage(static_cast<TCharacterSet>(i)), pages[i]) << i;
}

TEST(VersionResource, FixedPartNames) {
  EXPECT_EQ(FileOSName(1), QStringLiteral("Windows 3.0 or later"));
  EXPECT_EQ(FileOSName(196611), QStringLiteral("32 bit OS/2 with Presentation Manager"));
  EXPECT_EQ(FileOSName(5), QStringLiteral("Unknown"));
  EXPECT_EQ(FileTypeName(7), QStringLiteral("Static-Link Library"));
  EXPECT_EQ(FileTypeName(6), QStringLiteral("Unknown"));
  EXPECT_EQ(FileSubTypeName(3, 10), QStringLiteral("Communications"));
  EXPECT_EQ(FileSubTypeName(3, 11), QStringLiteral("Unknown"));
  EXPECT_EQ(FileSubTypeName(4, 3), QStringLiteral("TrueType"));
  EXPECT_EQ(FileSubTypeName(4, 0), QStringLiteral("Unknown"));
  EXPECT_TRUE(FileSubTypeName(1, 2).isEmpty());
}

TEST(VersionResource, OwnExecutableCarriesVersion3005) {
  // This test program embeds the program's block as the program does.
  TVersionResource resource(nullptr);
  EXPECT_EQ(resource.FileName(), ApplicationExeName());
  EXPECT_EQ(resource.VersionInfo().FileVersion, QStringLiteral("3.0.0.5"));
  EXPECT_EQ(resource.VersionInfo().FileDescription, QStringLiteral("Photo printing: preview, slides and pages at true size"));

  int changes = 0;
  resource.OnChange = [&](TObject*) { ++changes; };
  resource.SetLanguage(TLanguage::lnGerman);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(resource.VersionInfo().CompanyName, QStringLiteral("Halmsee Bildwerkstatt"));
  EXPECT_EQ(resource.VersionInfo().ProductVersion, QStringLiteral("3.0 Webversion"));
  EXPECT_EQ(resource.VersionInfo().FileType, QStringLiteral("Application"));
  resource.SetCharacterSet(TCharacterSet::csUnicode);
  EXPECT_TRUE(resource.VersionInfo().CompanyName.isEmpty());
  EXPECT_EQ(resource.VersionInfo().FileVersion, QStringLiteral("3.0.0.5"));
}

TEST(VersionResource, FileWithoutBlockGivesEmptyTexts) {
  QTemporaryDir dir;
  const QString plain = dir.path() + QStringLiteral("/plain");
  QFile file(plain);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("\x7F" "ELF but nothing else");
  file.close();
  TVersionResource resource(nullptr);
  for (const QString& name : {plain, dir.path() + QStringLiteral("/missing"), dir.path(), QString()}) {
    resource.SetFileName(name);
    EXPECT_TRUE(resource.VersionInfo().FileVersion.isEmpty()) << name.toStdString();
    EXPECT_TRUE(resource.VersionInfo().FileOS.isEmpty());
  }
}

TEST(VersionResource, ElfSectionLookupIsBounded) {
  // The test program's own file, read from memory and then cut short.
  QFile self(ApplicationExeName());
  ASSERT_TRUE(self.open(QIODevice::ReadOnly));
  const QByteArray bytes = self.readAll();
  const std::optional<QByteArray> section = ReadElfSection(MemoryByteSource(bytes), kVersionSectionName, 0x10002);
  ASSERT_TRUE(section);
  EXPECT_EQ(VersionBlockOfSection(*section), BuildVersionBlock(VelarimVersionContent()));
  EXPECT_FALSE(ReadElfSection(MemoryByteSource(bytes), ".no.such.section", 0x10002));
  EXPECT_FALSE(ReadElfSection(MemoryByteSource(bytes), kVersionSectionName, 16));  // larger than allowed
  EXPECT_FALSE(ReadElfSection(MemoryByteSource(bytes.left(4096)), kVersionSectionName, 0x10002));
}

}  // namespace
