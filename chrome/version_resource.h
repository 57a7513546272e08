#pragma once
// The version reader: the version information of a file (the program's own executable
// unless told otherwise) in one language and code page.

#include "framework/component.h"
#include "framework/control.h"

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

class TVersionResource : public TComponent {
 public:
  explicit TVersionResource(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TVersionResource"); }

  const QString& FileName() const { return fileName_; }
  void SetFileName(const QString& fileName);
  TLanguage Language() const { return language_; }
  void SetLanguage(TLanguage language);
  void SetCharacterSet(TCharacterSet characterSet);

  const TVersionInfo& VersionInfo() const { return info_; }
  // Runs after every reading.
  TNotifyEvent OnChange;

 private:
  void readVersion();

  QString fileName_;
  TLanguage language_ = TLanguage::lnUSEnglish;
  TCharacterSet characterSet_ = TCharacterSet::csMultilingual;
  TVersionInfo info_;
};
