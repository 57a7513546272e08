#pragma once
// The program's error classes. Every failure that reaches the user is one of these,
// carrying its German message; the application error report shows Message().

#include <QString>

#include <exception>
#include <string>

// Base of all the program's errors.
class Exception : public std::exception {
 public:
  explicit Exception(QString message);
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  QString message_;
  std::string utf8_;
};

// Raised by a handler that wants to stop without any report (a "silent" abort).
class EAbort : public Exception {
 public:
  EAbort() : Exception(QStringLiteral("Operation abgebrochen")) {}
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception(QStringLiteral("Zu wenig Arbeitsspeicher")) {}
};

// File-system failures, with the error code the program's messages are chosen by (2 not
// found, 3 bad path, 4 too many open files, 5 access denied, otherwise the negated errno
// number).
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code);
  int ErrorCode() const { return code_; }
  static QString MessageFor(int code);

 private:
  int code_;
};

namespace platform {
// Maps an errno value onto the error codes above, so that a failure shows the German
// message a person understands. An errno that means none of them keeps its number
// negated ("E/A-Fehler -5" for EIO): errno numbers overlap these codes (EIO is 5,
// EINTR 4), and a negative code can never be read as any of them while still naming
// the errno.
int PlatformErrorCodeFromErrno(int error);

// Why a file could not be written, in German, for an errno of the failed step ("Der
// Datenträger ist voll" for ENOSPC); empty for an errno a person could not act on.
QString WriteFailureReason(int error);
// The message with the reason appended after ": ", or the message alone without one.
QString WithWriteFailureReason(const QString& message, int error);
}  // namespace platform

class EConvertError : public Exception {
 public:
  using Exception::Exception;
  // "%s kann nicht zu  %s zugewiesen werden": the assignment of one kind to another.
  static EConvertError CannotAssign(const QString& sourceClass, const QString& targetClass);
};

class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// A fatal error of the JPEG library, with the library's message code.
class EJPEG : public EInvalidGraphic {
 public:
  explicit EJPEG(int messageCode);
  int MessageCode() const { return code_; }

 private:
  int code_;
};

class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

class EPrinter : public Exception {
 public:
  using Exception::Exception;
};

// Stream errors.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError(QStringLiteral("Stream-Read-Fehler")) {}
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError(QStringLiteral("Stream-Write-Fehler")) {}
};
class EFOpenError : public EStreamError {
 public:
  explicit EFOpenError(const QString& fileName);
};
class EFCreateError : public EStreamError {
 public:
  explicit EFCreateError(const QString& fileName);
};

// A profile (INI) file that could not be written.
class EIniFileException : public Exception {
 public:
  explicit EIniFileException(const QString& fileName);
};
