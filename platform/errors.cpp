#include "platform/errors.h"

#include "platform/lossless_utf8.h"

#include <cerrno>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}

EInOutError::EInOutError(int code) : Exception(MessageFor(code)), code_(code) {}

QString EInOutError::MessageFor(int code) {
  switch (code) {
    case 2:
      return QStringLiteral("Datei nicht gefunden");
    case 3:
      return QStringLiteral("Ungültiger Dateiname");
    case 4:
      return QStringLiteral("Zu viele geöffnete Dateien");
    case 5:
      return QStringLiteral("Dateizugriff verweigert");
    default:
      return QStringLiteral("E/A-Fehler %1").arg(code);
  }
}

int platform::PlatformErrorCodeFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
      return 5;
    default:
      return -error;
  }
}

QString platform::WriteFailureReason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("Der Datenträger ist voll");
    case EACCES:
    case EPERM:
      return QStringLiteral("Keine Berechtigung zum Schreiben");
    case EROFS:
      return QStringLiteral("Das Dateisystem ist schreibgeschützt");
    case ENOENT:
      return QStringLiteral("Der Ordner existiert nicht mehr");
    case ENAMETOOLONG:
      return QStringLiteral("Der Name ist zu lang");
    case EISDIR:
      return QStringLiteral("Unter diesem Namen gibt es schon einen Ordner");
    case EIO:
      return QStringLiteral("Der Datenträger meldet einen Fehler");
    case EEXIST:
      return QStringLiteral("Der Name ist schon vergeben");
    case EINVAL:
      return QStringLiteral("Der Name ist hier nicht erlaubt");
    default:
      return QString();
  }
}

QString platform::WithWriteFailureReason(const QString& message, int error) {
  const QString reason = WriteFailureReason(error);
  return reason.isEmpty() ? message : message + QStringLiteral(": ") + reason;
}

EConvertError EConvertError::CannotAssign(const QString& sourceClass, const QString& targetClass) {
  return EConvertError(QStringLiteral("%1 kann nicht zu  %2 zugewiesen werden").arg(sourceClass, targetClass));
}

EJPEG::EJPEG(int messageCode)
    : EInvalidGraphic(QStringLiteral("JPEG-Fehler #%1").arg(messageCode)), code_(messageCode) {}

EFOpenError::EFOpenError(const QString& fileName)
    : EStreamError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(platform::ReadableText(fileName))) {}

EFCreateError::EFCreateError(const QString& fileName)
    : EStreamError(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(platform::ReadableText(fileName))) {}

EIniFileException::EIniFileException(const QString& fileName)
    : Exception(QStringLiteral("nach %1 kann nicht geschrieben werden").arg(platform::ReadableText(fileName))) {}
