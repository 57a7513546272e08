#pragma once
// The desktop shell: opens a file with the program associated with its type, or a
// link with the user's browser or mail program. Everything goes through the desktop's
// opener (Qt's desktop services, which start xdg-open); a command line is never built
// from a file name. Internet shortcuts (".url") are read here and their target opened.

#include <QByteArray>
#include <QString>
#include <QUrl>

class QWidget;

class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  // Hands the url to the desktop's opener; false when the desktop refused it.
  virtual bool OpenUrl(const QUrl& url) = 0;
};

// The desktop's opener through Qt.
class DesktopShellOpener : public ShellOpener {
 public:
  bool OpenUrl(const QUrl& url) override;
};

namespace platform {

ShellOpener& Shell();
// Installs another opener (tests); returns the previous one. Not owned.
ShellOpener* SetShellOpener(ShellOpener* opener);

}  // namespace platform

// The URL= value of the [InternetShortcut] section of an internet shortcut's text;
// empty when there is none.
QString InternetShortcutTarget(const QByteArray& text);

// What the shell opens for `target`: a local file as a file url, the target of an
// internet shortcut file, or an address with a scheme (mailto:, http:, ...) as it
// stands. Invalid (empty) when there is nothing to open.
QUrl ShellTargetUrl(const QString& target);

// ShellExecute with a verb ("open", or empty for the default verb, which is the same
// on this desktop). The result is the desktop's answer; callers here ignore it.
bool ShellExecute(QWidget* owner, const QString& verb, const QString& target);
