#pragma once
// The values of a version-information block as the version reader gives them: the
// fixed part's version numbers and names and one string table, chosen by language and
// code page. Plain functions over the bytes of a block, without widgets.

#include <QByteArrayView>
#include <QString>

#include <cstdint>

enum class TLanguage {
  lnArabic, lnBulgarian, lnCatalan, lnTraditionalChinese, lnCzech, lnDanish, lnGerman, lnGreek, lnUSEnglish,
  lnCastilianSpanish, lnFinnish, lnFrench, lnHebrew, lnHungarian, lnIcelandic, lnItalian, lnJapanese, lnKorean,
  lnDutch, lnNorwegianBokmal, lnPolish, lnBrazilianPortuguese, lnRhaetoRomanic, lnRomanian, lnRussian,
  lnCroatoSerbian, lnSlovak, lnAlbanian, lnSwedish, lnThai, lnTurkish, lnUrdu, lnBahasa,
  lnSimplifiedChinese, lnSwissGerman, lnUKEnglish, lnMexicanSpanish, lnBelgianFrench, lnSwissItalian,
  lnBelgianDutch, lnNorwegianNynorsk, lnPortuguese, lnSerboCroatian, lnCanadianFrench, lnSwissFrench,
};
inline constexpr int kLanguageCount = 45;

enum class TCharacterSet {
  csASCII, csJapan, csKorea, csTaiwan, csUnicode, csLatin2, csCyrillic, csMultilingual, csGreek, csTurkish,
  csHebrew, csArabic,
};
inline constexpr int kCharacterSetCount = 12;

// The language identifier (1031 for German) and code page (1252 for multilingual
// Latin 1) as the version block names its string tables by them.
uint16_t LanguageIdentifier(TLanguage language);
uint16_t CodePage(TCharacterSet characterSet);

// The names of the fixed part's operating system, file type and subtype.
QString FileOSName(uint32_t fileOS);
QString FileTypeName(uint32_t fileType);
// Empty for file types that have no subtypes.
QString FileSubTypeName(uint32_t fileType, uint32_t fileSubtype);

struct TVersionInfo {
  QString Comment;
  QString CompanyName;
  QString FileDescription;
  QString FileVersion;
  QString InternalName;
  QString LegalCopyright;
  QString LegalTradeMarks;
  QString OriginalFileName;
  QString PrivateBuild;
  QString ProductName;
  QString ProductVersion;
  QString SpecialBuild;
  QString FileOS;
  QString FileType;
  QString FileSubType;
};

// The values of a version block for one language and code page; all empty when the
// block is malformed.
TVersionInfo VersionInfoFromBlock(QByteArrayView block, uint16_t language, uint16_t codePage);
