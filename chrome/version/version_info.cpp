#include "chrome/version/version_info.h"

#include "chrome/version/version_block.h"

#include <QStringList>

#include <array>

namespace {

QString VersionText(uint32_t mostSignificant, uint32_t leastSignificant) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(mostSignificant >> 16)
      .arg(mostSignificant & 0xFFFF)
      .arg(leastSignificant >> 16)
      .arg(leastSignificant & 0xFFFF);
}

QString TableKey(uint16_t language, uint16_t codePage) {
  return QStringLiteral("%1%2")
      .arg(language, 4, 16, QLatin1Char('0'))
      .arg(codePage, 4, 16, QLatin1Char('0'))
      .toUpper();
}

}  // namespace

uint16_t LanguageIdentifier(TLanguage language) {
  static constexpr std::array<uint16_t, 12> kLater = {2052, 2055, 2057, 2058, 2060, 2064,
                                                      2067, 2068, 2070, 2074, 3084, 4108};
  const int index = static_cast<int>(language);
  constexpr int kConsecutive = kLanguageCount - static_cast<int>(kLater.size());
  return index < kConsecutive ? static_cast<uint16_t>(1025 + index) : kLater[static_cast<size_t>(index - kConsecutive)];
}

uint16_t CodePage(TCharacterSet characterSet) {
  static constexpr std::array<uint16_t, kCharacterSetCount> kCodePages = {0,    932,  949,  950,  1200, 1250,
                                                                          1251, 1252, 1253, 1254, 1255, 1256};
  return kCodePages[static_cast<size_t>(characterSet)];
}

QString FileOSName(uint32_t fileOS) {
  switch (fileOS) {
    case 1: return QStringLiteral("Windows 3.0 or later");
    case 2: return QStringLiteral("16 bit OS/2 Presentation Manager");
    case 3: return QStringLiteral("32 bit OS/2 Presentation Manager");
    case 4: return QStringLiteral("32 bit Windows");
    case 65536: return QStringLiteral("MS-Dos");
    case 65537: return QStringLiteral("Windows 3.0 or later with MS-Dos");
    case 65540: return QStringLiteral("32 bit Windows with MS-Dos");
    case 131072: return QStringLiteral("16 bit OS/2");
    case 131074: return QStringLiteral("16 bit OS/2 with Presentation Manager");
    case 196608: return QStringLiteral("32 bit OS/2");
    case 196611: return QStringLiteral("32 bit OS/2 with Presentation Manager");
    case 262144: return QStringLiteral("Windows NT");
    case 262148: return QStringLiteral("Windows NT with 32 bit Windows");
    default: return QStringLiteral("Unknown");
  }
}

QString FileTypeName(uint32_t fileType) {
  switch (fileType) {
    case 1: return QStringLiteral("Application");
    case 2: return QStringLiteral("Dynamic-Link Library");
    case 3: return QStringLiteral("Device Driver");
    case 4: return QStringLiteral("Font");
    case 5: return QStringLiteral("Virtual Device Driver");
    case 7: return QStringLiteral("Static-Link Library");
    default: return QStringLiteral("Unknown");
  }
}

QString FileSubTypeName(uint32_t fileType, uint32_t fileSubtype) {
  static const QStringList kDrivers = {
      QStringLiteral("Printer"), QStringLiteral("Keyboard"), QStringLiteral("Language"),  QStringLiteral("Display"),
      QStringLiteral("Mouse"),   QStringLiteral("Network"),  QStringLiteral("System"),    QStringLiteral("Installable"),
      QStringLiteral("Sound"),   QStringLiteral("Communications")};
  static const QStringList kFonts = {QStringLiteral("Raster"), QStringLiteral("Vector"), QStringLiteral("TrueType")};
  const QStringList* names = fileType == 3 ? &kDrivers : fileType == 4 ? &kFonts : nullptr;
  if (!names) return QString();
  if (fileSubtype < 1 || fileSubtype > static_cast<uint32_t>(names->size())) return QStringLiteral("Unknown");
  return names->at(static_cast<qsizetype>(fileSubtype - 1));
}

TVersionInfo VersionInfoFromBlock(QByteArrayView block, uint16_t language, uint16_t codePage) {
  TVersionInfo info;
  const std::optional<VersionNode> root = ParseVersionBlock(block);
  if (!root) return info;
  if (const std::optional<FixedFileInfo> fixed = FixedInfoOf(*root)) {
    info.FileVersion = VersionText(fixed->fileVersionMS, fixed->fileVersionLS);
    info.ProductVersion = VersionText(fixed->productVersionMS, fixed->productVersionLS);
    info.FileOS = FileOSName(fixed->fileOS);
    info.FileType = FileTypeName(fixed->fileType);
    info.FileSubType = FileSubTypeName(fixed->fileType, fixed->fileSubtype);
  }
  const QString table = QStringLiteral("\\StringFileInfo\\") + TableKey(language, codePage) + QLatin1Char('\\');
  const std::pair<const char*, QString TVersionInfo::*> keys[] = {
      {"Comment", &TVersionInfo::Comment},
      {"CompanyName", &TVersionInfo::CompanyName},
      {"FileDescription", &TVersionInfo::FileDescription},
      {"InternalName", &TVersionInfo::InternalName},
      {"LegalCopyright", &TVersionInfo::LegalCopyright},
      {"LegalTradeMarks", &TVersionInfo::LegalTradeMarks},
      {"OriginalFileName", &TVersionInfo::OriginalFileName},
      {"PrivateBuild", &TVersionInfo::PrivateBuild},
      {"ProductName", &TVersionInfo::ProductName},
      {"ProductVersion", &TVersionInfo::ProductVersion},
      {"SpecialBuild", &TVersionInfo::SpecialBuild},
  };
  for (const auto& [key, field] : keys) {
    if (const VersionNode* node = FindVersionNode(*root, table + QLatin1String(key))) info.*field = TextValueOf(*node);
  }
  return info;
}
