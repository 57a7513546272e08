#pragma once
// A CUPS scheduler of the test's own: configuration, socket, spool, logs and the cups-pdf
// output folder all in one temporary folder, and a cups-pdf queue as its default
// printer. The system's scheduler is never asked. cups-pdf reads its configuration from
// a fixed place, so the scheduler runs in a mount namespace of its own in which that
// file is the test's.

#include "tests/support/wait_until.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <string>

#include <unistd.h>

class PrivateScheduler {
 public:
  static constexpr const char* kQueue = "velarim-pdf";

  PrivateScheduler() = default;
  ~PrivateScheduler() { stop(); }
  PrivateScheduler(const PrivateScheduler&) = delete;
  PrivateScheduler& operator=(const PrivateScheduler&) = delete;

  // Starts the scheduler and adds the queue; on failure returns why, else an empty text.
  std::string Start() {
    if (geteuid() != 0) return "the cups-pdf backend runs only for a scheduler started as root";
    for (const char* needed : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/bin/lpstat", "/usr/bin/unshare",
                               "/usr/lib/cups/backend/cups-pdf", "/etc/cups/cups-pdf.conf", kPpd}) {
      if (!QFileInfo::exists(QString::fromLatin1(needed))) return std::string(needed) + " is missing";
    }
    if (!dir_.isValid()) return "no temporary folder";
    // The filters run as the scheduler's unprivileged user and must reach the spool.
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther |
                                           QFileDevice::ExeGroup | QFileDevice::ReadGroup);
    for (const char* sub : {"root", "spool/tmp", "cache", "state", "log", "out"}) QDir(dir_.path()).mkpath(sub);
    QFile::setPermissions(path("out"), QFileDevice::Permissions(0x7777));
    write("root/cupsd.conf", cupsdConf());
    write("root/cups-files.conf", filesConf());
    write("root/cups-pdf.conf", QStringLiteral("Out %1\nAnonDirName %1\nGrp root\nLog %2\n").arg(path("out"), path("log")));

    const QString command = QStringLiteral("mount --bind '%1' /etc/cups/cups-pdf.conf && exec /usr/sbin/cupsd -f -c '%2' -s '%3'")
                                .arg(path("root/cups-pdf.conf"), path("root/cupsd.conf"), path("root/cups-files.conf"));
    scheduler_.setProcessChannelMode(QProcess::MergedChannels);
    scheduler_.start(QStringLiteral("unshare"), {QStringLiteral("-m"), QStringLiteral("--propagation"),
                                                 QStringLiteral("private"), QStringLiteral("sh"), QStringLiteral("-c"), command});
    if (!scheduler_.waitForStarted(10000)) return "unshare could not be started";
    if (!WaitUntil([this] { return run("lpstat", {"-r"}).contains("is running"); }, std::chrono::seconds(20),
                   kToolPollPause)) {
      return "the scheduler did not start: " + scheduler_.readAll().toStdString() + log("error_log");
    }
    if (!AddQueue() || run("lpadmin", {"-d", kQueue}).isNull()) {
      return "the queue could not be added: " + log("error_log");
    }
    return {};
  }

  // The queue as Start adds it, enabled and accepting jobs.
  bool AddQueue() const { return !run("lpadmin", {"-p", kQueue, "-E", "-v", "cups-pdf:/", "-P", kPpd}).isNull(); }
  bool RemoveQueue() const { return !run("lpadmin", {"-x", kQueue}).isNull(); }
  // The queue refuses new jobs until Accept.
  bool Reject() const { return !run("cupsreject", {kQueue}).isNull(); }
  bool Accept() const { return !run("cupsaccept", {kQueue}).isNull(); }

  QString Socket() const { return path("cups.sock"); }
  QString OutputFolder() const { return path("out"); }
  std::string Log() const { return log("error_log"); }

  // The first PDF that cups-pdf finished in the output folder, once no job is pending.
  QString WaitForOutput(int timeoutMs) {
    QString found;
    WaitUntil(
        [&] {
          const QStringList pdfs = QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
          if (pdfs.isEmpty() || !run("lpstat", {"-o"}).trimmed().isEmpty()) return false;
          found = QDir(OutputFolder()).filePath(pdfs.first());
          return true;
        },
        std::chrono::milliseconds(timeoutMs), kToolPollPause);
    return found;
  }

 private:
  static constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd";

  QString path(const char* name) const { return QDir(dir_.path()).filePath(QString::fromLatin1(name)); }

  void write(const char* name, const QString& text) {
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
  }

  QString cupsdConf() const {
    return QStringLiteral(
               "Listen %1\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
               "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
               "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n")
        .arg(Socket());
  }

  QString filesConf() const {
    return QStringLiteral(
               "ServerRoot %1\nRequestRoot %2\nTempDir %3\nCacheDir %4\nStateDir %5\nServerBin /usr/lib/cups\n"
               "DataDir /usr/share/cups\nErrorLog %6/error_log\nAccessLog %6/access_log\nPageLog %6/page_log\n"
               "SystemGroup root\nSandboxing Relaxed\n")
        .arg(path("root"), path("spool"), path("spool/tmp"), path("cache"), path("state"), path("log"));
  }

  std::string log(const char* name) const {
    QFile file(QDir(path("log")).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().right(4000).toStdString() : std::string();
  }

  // Runs a CUPS client tool against this scheduler; a null result when it failed.
  QByteArray run(const char* tool, const QStringList& args) const {
    QProcess process;
    process.start(QString::fromLatin1(tool), QStringList{QStringLiteral("-h"), Socket()} + args);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return QByteArray();
    const QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
  }

  // Each poll starts a tool, so polls come less often than in other waits.
  static constexpr std::chrono::milliseconds kToolPollPause{100};

  void stop() {
    if (scheduler_.state() == QProcess::NotRunning) return;
    scheduler_.terminate();
    if (!scheduler_.waitForFinished(10000)) scheduler_.kill();
    scheduler_.waitForFinished(5000);
  }

  QTemporaryDir dir_;
  QProcess scheduler_;
};
