// Writes the seed files of the EXIF orientation fuzz target, and JPEG files stored turned
// for the decoding target. Not part of the build; compile and run it by hand from the
// repository root:
//   g++ -std=c++20 -fPIC -I. $(pkg-config --cflags Qt6Core Qt6Gui) fuzz/seeds/make_exif_seeds.cpp \
//       tools/sample_jpeg.cpp $(pkg-config --libs Qt6Core Qt6Gui) -ljpeg -o /tmp/make_exif_seeds && \
//       /tmp/make_exif_seeds fuzz/corpus
#include "fuzz/seeds/seed_writer.h"
#include "tests/picture/exif_builder.h"
#include "tools/sample_jpeg.h"

#include <string>

using namespace testexif;

namespace {

using seeds::Write;

// The start of a JPEG file around the segments: the reader stops at the start of scan.
QByteArray FileWith(const QByteArray& segments) {
  return QByteArray("\xFF\xD8", 2) + segments + QByteArray("\xFF\xDA\x00\x02", 4);
}

void Exif(const std::string& name, const QByteArray& segments) {
  Write("exif_orientation", QString::fromStdString(name + ".jpg"), FileWith(segments));
}

QByteArray Cut(const QByteArray& segment, int keep) {
  QByteArray cut = segment.left(keep);
  cut[2] = static_cast<char>((keep - 2) >> 8);
  cut[3] = static_cast<char>((keep - 2) & 0xFF);
  return cut;
}

void OrientationSeeds() {
  for (uint32_t value = 1; value <= 8; ++value) {
    Exif("value_" + std::to_string(value) + "_little_endian", OrientationSegment(value, ByteOrder::Little));
    Exif("value_" + std::to_string(value) + "_big_endian", OrientationSegment(value, ByteOrder::Big));
  }
  Exif("value_0", OrientationSegment(0));
  Exif("value_65535_big_endian", OrientationSegment(0xFFFF, ByteOrder::Big));
  // The TIFF structure alone, which the target also reads as such.
  Write("exif_orientation", "tiff_value_6_little_endian.tif", Tiff(ByteOrder::Little, {{kOrientationTag, kTypeShort, 1, 6}}));
  Write("exif_orientation", "tiff_value_3_big_endian.tif", Tiff(ByteOrder::Big, {{0x0100, kTypeLong, 1, 640}, {kOrientationTag, kTypeShort, 1, 3}}));
  Exif("long_value", ExifSegment(Tiff(ByteOrder::Big, {{kOrientationTag, kTypeLong, 1, 6}})));
  Exif("wrong_type", ExifSegment(Tiff(ByteOrder::Little, {{kOrientationTag, 7, 1, 6}})));
}

void LayoutSeeds() {
  const QByteArray jfif = Segment(0xE0, QByteArray("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
  const QByteArray xmp = Segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 34));
  Exif("jfif_xmp_then_exif", jfif + xmp + OrientationSegment(6));
  Exif("two_exif_segments_first_counts", OrientationSegment(8, ByteOrder::Big) + OrientationSegment(3));
  Exif("fill_bytes_before_marker", QByteArray("\xFF\xFF\xFF", 3) + OrientationSegment(5).mid(1));
  Write("exif_orientation", "exif_after_start_of_scan.jpg",
        QByteArray("\xFF\xD8\xFF\xDA\x00\x02", 6) + OrientationSegment(6));
  QByteArray linked = Tiff(ByteOrder::Little, {{0x010F, 2, 4, 0}});
  linked[static_cast<int>(linked.size()) - 4] = static_cast<char>(linked.size());
  Exif("orientation_only_in_linked_directory",
       ExifSegment(linked + Tiff(ByteOrder::Little, {{kOrientationTag, kTypeShort, 1, 6}}).mid(8)));
  std::vector<TiffEntry> many(600, TiffEntry{0x010E, 2, 1, 0});
  many.push_back({kOrientationTag, kTypeShort, 1, 6});
  Exif("orientation_after_600_entries", ExifSegment(Tiff(ByteOrder::Big, many)));
}

void DamagedSeeds() {
  const QByteArray good = OrientationSegment(6, ByteOrder::Big);
  Exif("cut_in_tiff_header", Cut(good, 14));
  Exif("cut_in_entry", Cut(good, static_cast<int>(good.size()) - 30));
  QByteArray pastTheEnd = good;
  pastTheEnd[2] = static_cast<char>(0xFF);
  Exif("segment_length_past_end", pastTheEnd);
  Exif("directory_offset_past_end", ExifSegment(Tiff(ByteOrder::Big, {{kOrientationTag, kTypeShort, 1, 6}}, 0xFFFFFFF0u)));
  Exif("directory_offset_at_end", ExifSegment(Tiff(ByteOrder::Little, {}, 8).left(9)));
  Exif("value_count_ffffffff", ExifSegment(Tiff(ByteOrder::Big, {{kOrientationTag, kTypeShort, 0xFFFFFFFFu, 6}})));
  Exif("entry_count_ffff", ExifSegment(Tiff(ByteOrder::Little, {{0x010F, 2, 4, 0}}, 8, 0xFFFF)));
}

QByteArray Sample(SampleColorModel model, bool progressive) {
  SampleJpegOptions options;
  options.model = model;
  options.progressive = progressive;
  const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Whole pictures stored turned, for the decoder.
void TurnedJpegSeeds() {
  Write("jpeg_decode", "baseline_64x48_turned_clockwise.jpg",
        WithOrientation(Sample(SampleColorModel::Color, false), 6));
  Write("jpeg_decode", "grayscale_progressive_transverse.jpg",
        WithOrientation(Sample(SampleColorModel::Grayscale, true), 7, ByteOrder::Big));
  Write("jpeg_decode", "cmyk_mirrored_left_right.jpg", WithOrientation(Sample(SampleColorModel::Cmyk, false), 2));
  Write("exif_orientation", "whole_picture_turned_counter_clockwise.jpg",
        WithOrientation(Sample(SampleColorModel::Color, false), 8, ByteOrder::Big));
}

}  // namespace

int main(int argc, char** argv) {
  return seeds::MakeSeeds(argc, argv, [] {
    OrientationSeeds();
    LayoutSeeds();
    DamagedSeeds();
    TurnedJpegSeeds();
  });
}
