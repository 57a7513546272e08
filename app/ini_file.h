#pragma once
// The INI access object: a short-lived object over the private-profile functions for
// one file. It holds nothing but the file name; every read and write goes straight
// to the file, so there is no cache and no save step.

#include "platform/persistent.h"
#include "platform/private_profile.h"

#include <QString>

#include <optional>

// The integer in `text`: more than two characters starting with "0x" or "0X" are
// read as hexadecimal (up to 32 bits, taken as two's complement), anything else as
// a signed decimal that fits 32 bits. Nothing for any other text, empty text included.
std::optional<int> IniIntegerFromText(const QString& text);

class TIniFile : public TObject {
 public:
  // The buffer that a text read gets; longer values come back cut to 2047 characters.
  static constexpr int kReadBufferSize = 2048;

  // Touches no file. A name without a folder lives in the profile directory.
  explicit TIniFile(QString FileName);

  QString ClassName() const override { return QStringLiteral("TIniFile"); }
  const QString& FileName() const { return fileName_; }

  QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
  // Stores the value so that ReadString gives it back exactly: the profile functions drop
  // the blanks around a value and one pair of quotes around it, so a value with a blank at
  // either end, or in a pair of quotes, is written inside one more pair of double quotes.
  // Raises EIniFileException when the file cannot be written, and also when the value
  // cannot be stored on one line (see CanStore).
  void WriteString(const QString& Section, const QString& Ident, const QString& Value);
  // Several values of one section in one replacement of the file, each protected as by
  // WriteString: all are written or, with EIniFileException, none.
  void WriteStrings(const QString& Section, const platform::ProfileEntries& Entries);
  // Whether a value fits on one profile line: no line break and no NUL in it.
  static bool CanStore(const QString& Value);

  int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
  void WriteInteger(const QString& Section, const QString& Ident, int Value);

  // Flags are stored as "1" and "0"; any integer but 0 reads as true.
  bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;
  void WriteBool(const QString& Section, const QString& Ident, bool Value);

  // Asks the platform to write out its cached copy of the file.
  void UpdateFile();

 private:
  QString fileName_;
};
