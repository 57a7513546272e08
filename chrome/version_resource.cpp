#include "chrome/version_resource.h"

#include "chrome/version/version_block.h"
#include "framework/application_services.h"

TVersionResource::TVersionResource(TComponent* AOwner)
    : TComponent(AOwner), fileName_(ApplicationExeName()) {
  readVersion();
}

void TVersionResource::SetFileName(const QString& fileName) {
  fileName_ = fileName;
  readVersion();
}

void TVersionResource::SetLanguage(TLanguage language) {
  language_ = language;
  readVersion();
}

void TVersionResource::SetCharacterSet(TCharacterSet characterSet) {
  characterSet_ = characterSet;
  readVersion();
}

void TVersionResource::readVersion() {
  const std::optional<QByteArray> block = ReadVersionBlockOfFile(fileName_);
  info_ = block ? VersionInfoFromBlock(*block, LanguageIdentifier(language_), CodePage(characterSet_))
                : TVersionInfo();
  if (OnChange) OnChange(this);
}
