// Listing a folder through the file list with the default mask "*.jpg;*.jpeg" against a
// bare directory read plus a plain sort of the same names (by their UTF-16 code units).
// For comparison it also times the bare read with the locale-aware, case-insensitive
// sort the list itself must do.
//
// Usage: bench_file_list [folder]   (without a folder, one of 10,000 files is made)
// Goal: the file list takes at most 2.0 times as long as the bare read.

#include "bench/bench_timing.h"
#include "browse/file_list.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <vector>

namespace {

constexpr int kMadeFiles = 10000;
constexpr int kRounds = 7;
const QString kDefaultMask = QStringLiteral("*.jpg;*.jpeg");

// Empty files with the extensions a photo folder has, in both letter cases.
void MakeFolder(const QString& folder) {
  const char* extensions[] = {".jpg", ".JPG", ".jpeg", ".txt"};
  for (int i = 0; i < kMadeFiles; ++i) {
    QFile file(QStringLiteral("%1/Bild_%2%3").arg(folder).arg(i, 5, 10, QLatin1Char('0')).arg(QLatin1String(extensions[i % 4])));
    if (!file.open(QIODevice::WriteOnly)) std::abort();
  }
}

bool IsJpegName(const QString& name) {
  return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
         name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

// What any program would do: one pass of readdir, the regular files kept by their ending.
QStringList BareRead(const QByteArray& folder) {
  QStringList names;
  DIR* dir = opendir(folder.constData());
  if (!dir) std::abort();
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_type != DT_REG) continue;
    const QString name = QString::fromLocal8Bit(entry->d_name);
    if (IsJpegName(name)) names << name;
  }
  closedir(dir);
  return names;
}

qsizetype BareListing(const QByteArray& folder) {
  QStringList names = BareRead(folder);
  std::sort(names.begin(), names.end());
  return names.size();
}

// The same read, sorted in the order of the list through the collator's sort keys.
qsizetype BareLocaleListing(const QByteArray& folder) {
  const QStringList names = BareRead(folder);
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
  keys.reserve(static_cast<size_t>(names.size()));
  for (qsizetype i = 0; i < names.size(); ++i) keys.emplace_back(collator.sortKey(names[i].toCaseFolded()), i);
  std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
  return static_cast<qsizetype>(keys.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir made;
  QString folder;
  if (argc > 1) {
    folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  } else {
    folder = made.path();
    MakeFolder(folder);
  }

  TFileListBox list(nullptr);
  list.SetBounds(0, 0, 528, 197);
  list.SetColumns(2);
  list.ApplyDirectory(folder);
  list.SetMask(kDefaultMask);  // the first reading also fills the icon cache

  std::vector<double> listTimes;
  std::vector<double> bareTimes;
  std::vector<double> localeTimes;
  qsizetype bareCount = 0;
  qsizetype localeCount = 0;
  const QByteArray nativeFolder = QFile::encodeName(folder);
  for (int round = 0; round < kRounds; ++round) {
    listTimes.push_back(SecondsOf([&] { list.Refresh(); }));
    bareTimes.push_back(SecondsOf([&] { bareCount = BareListing(nativeFolder); }));
    localeTimes.push_back(SecondsOf([&] { localeCount = BareLocaleListing(nativeFolder); }));
  }
  const double listTime = Median(listTimes);
  const double bareTime = Median(bareTimes);
  const double localeTime = Median(localeTimes);
  std::printf("folder: %s\n", folder.toLocal8Bit().constData());
  std::printf("names listed: file list %lld, bare read %lld, bare read with locale sort %lld\n",
              static_cast<long long>(list.Items().size()), static_cast<long long>(bareCount),
              static_cast<long long>(localeCount));
  std::printf("locale: %s\n", QLocale().name().toLocal8Bit().constData());
  std::printf("file list:                    %8.2f ms (median of %d)\n", listTime * 1e3, kRounds);
  std::printf("bare read, plain sort:        %8.2f ms\n", bareTime * 1e3);
  std::printf("bare read, locale-aware sort: %8.2f ms\n", localeTime * 1e3);
  std::printf("ratio:                        %8.2f (goal <= 2.0)\n", listTime / bareTime);
  std::printf("ratio to locale-aware sort:   %8.2f\n", listTime / localeTime);
  return 0;
}
