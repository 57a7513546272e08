#pragma once
// The version reader: the version information of a file (the program's own executable
// unless told otherwise) in one language and code page.

#include "chrome/version/version_info.h"
#include "framework/component.h"
#include "framework/control.h"

#include <QString>

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
