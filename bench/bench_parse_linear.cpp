// The profile (INI) parser and the mount-table parser on crafted inputs of 1 to 16 MB:
// the time per MB of each shape, and the ratio of the 16 MB to the 1 MB figure, which
// stays near 1 when the work is linear in the size of the input.

#include "bench_timing.h"

#include "platform/drives.h"
#include "platform/private_profile_text.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr qsizetype kMegabyte = 1024 * 1024;

QByteArray Repeated(const QByteArray& head, const QByteArray& unit, qsizetype size) {
  QByteArray bytes = head;
  bytes.reserve(size + unit.size());
  while (bytes.size() < size) bytes.append(unit);
  bytes.truncate(size);
  return bytes;
}

// A mount table whose every line has a mount point of its own.
QByteArray DistinctMounts(qsizetype size) {
  QByteArray bytes;
  bytes.reserve(size + 64);
  for (int n = 0; bytes.size() < size; ++n) bytes.append("/dev/sd" + QByteArray::number(n) + " /m/" + QByteArray::number(n) + " ext4 rw 0 0\n");
  bytes.truncate(size);
  return bytes;
}

class FixedProbe : public platform::DeviceProbe {
 public:
  QString VolumeLabel(const QString&) const override { return QString(); }
  bool IsRemovable(const QString&) const override { return false; }
  bool IsOptical(const QString&) const override { return false; }
};

struct Shape {
  const char* name;
  std::function<QByteArray(qsizetype)> make;
  std::function<void(const QByteArray&)> parse;
};

// Two look-ups that each read to the end: a key missing from the shapes' section, and a
// section missing from the file.
void ReadProfile(const QByteArray& file) {
  platform::profile_text::FindValue(file, QStringLiteral("s"), QStringLiteral("fehlt"));
  platform::profile_text::FindValue(file, QStringLiteral("Verzeichnisse"), QStringLiteral("letztes"));
}

void ReadMounts(const QByteArray& table) { platform::DrivesFromMounts(table, FixedProbe()); }

// Every round starts with the input out of the processor's caches, as a file just read
// is: a 1 MB input would otherwise be timed from the cache and a 16 MB one from memory,
// and their ratio would show the cache, not the parser.
void EvictCaches() {
  static std::vector<char> sweep(64 * kMegabyte);
  for (size_t i = 0; i < sweep.size(); i += 64) sweep[i] = static_cast<char>(sweep[i] + 1);
}

}  // namespace

int main() {
  const std::vector<Shape> shapes = {
      {"profile: empty lines", [](qsizetype n) { return Repeated({}, "\n", n); }, ReadProfile},
      {"profile: entries outside sections", [](qsizetype n) { return Repeated({}, "k=v\n", n); }, ReadProfile},
      {"profile: entries in the section", [](qsizetype n) { return Repeated("[s]\n", "k=\"v\"\n", n); }, ReadProfile},
      {"profile: sections", [](qsizetype n) { return Repeated({}, "[s]\n", n); }, ReadProfile},
      {"profile: CR line ends in the section", [](qsizetype n) { return Repeated("[s]\r", "\r", n); }, ReadProfile},
      {"mounts: one line repeated", [](qsizetype n) { return Repeated({}, "/dev/sda1 /media/x ext4 rw 0 0\n", n); }, ReadMounts},
      {"mounts: distinct mount points", DistinctMounts, ReadMounts},
  };
  std::printf("%-40s %10s %10s %10s %10s %10s %8s\n", "shape (s per MB)", "1 MB", "2 MB", "4 MB", "8 MB", "16 MB", "16/1");
  for (const Shape& shape : shapes) {
    std::printf("%-40s", shape.name);
    double first = 0;
    double last = 0;
    for (const int megabytes : {1, 2, 4, 8, 16}) {
      const QByteArray input = shape.make(megabytes * kMegabyte);
      std::vector<double> times;
      for (int round = 0; round < kRounds; ++round) {
        EvictCaches();
        times.push_back(SecondsOf([&] { shape.parse(input); }));
      }
      const double perMegabyte = Median(times) / megabytes;
      if (megabytes == 1) first = perMegabyte;
      last = perMegabyte;
      std::printf(" %10.4f", perMegabyte);
      std::fflush(stdout);
    }
    std::printf(" %8.2f\n", last / first);
  }
  return 0;
}
