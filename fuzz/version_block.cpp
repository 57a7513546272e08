// Feeds arbitrary bytes to the version reader twice: as a whole file, through the ELF
// section lookup and the block it finds, and as a version block itself; then looks up
// every string key, the translation list and the fixed part's names.
#include "chrome/version/version_block.h"
#include "chrome/version/version_info.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadBlock(QByteArrayView block) {
  const std::optional<VersionNode> root = ParseVersionBlock(block);
  if (!root) return;
  for (const auto& [language, codePage] : TranslationsOf(*root)) VersionInfoFromBlock(block, language, codePage);
  VersionInfoFromBlock(block, LanguageIdentifier(TLanguage::lnGerman), CodePage(TCharacterSet::csMultilingual));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (const std::optional<QByteArray> section = ReadElfSection(MemoryByteSource(bytes), kVersionSectionName, 0x10002)) {
    if (const std::optional<QByteArray> block = VersionBlockOfSection(*section)) ReadBlock(*block);
  }
  ReadBlock(bytes);
  return 0;
}
