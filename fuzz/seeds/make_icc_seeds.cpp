// Writes the seed files of the ICC profile fuzz target: JPEG starts carrying profiles of
// every kind in one or many pieces, damaged sets of pieces, the EXIF marks of Adobe RGB,
// and bare profiles. Not part of the build; compile and run it by hand from the
// repository root:
//   g++ -std=c++20 -fPIC -I. -Itests/picture $(pkg-config --cflags Qt6Core Qt6Gui lcms2) \
//       fuzz/seeds/make_icc_seeds.cpp $(pkg-config --libs Qt6Core Qt6Gui lcms2) -o /tmp/make_icc_seeds && \
//       /tmp/make_icc_seeds fuzz/corpus
#include "fuzz/seeds/seed_writer.h"
#include "tests/picture/icc_builder.h"

#include <algorithm>
#include <string>

using namespace testicc;

namespace {

using seeds::Write;

QByteArray FileWith(const QByteArray& segments) {
  return QByteArray("\xFF\xD8", 2) + segments + QByteArray("\xFF\xDA\x00\x02", 4);
}

void Seed(const std::string& name, const QByteArray& bytes) {
  Write("icc_profile", QString::fromStdString(name), bytes);
}

QByteArray Joined(const std::vector<QByteArray>& pieces) {
  QByteArray all;
  for (const QByteArray& piece : pieces) {
    all += piece;
  }
  return all;
}

void ProfileSeeds() {
  const struct {
    const char* name;
    QByteArray profile;
  } profiles[] = {{"adobe_rgb", AdobeRgb()},   {"display_p3", DisplayP3()},          {"prophoto", ProPhoto()},
                  {"srgb_engine", EngineSrgb()}, {"srgb_tabulated_v2", TabulatedSrgbV2()}, {"gray", Gray()},
                  {"red_blue_exchanged", RedBlueExchanged()}, {"rgb_tables", RgbTables()}, {"cmyk_tables", CmykTables()}};
  for (const auto& p : profiles) {
    Seed(std::string(p.name) + ".jpg", FileWith(IccSegments(p.profile)));
    Seed(std::string(p.name) + ".icc", p.profile);
  }
  Seed("rgb_tables_in_pieces_of_1000.jpg", FileWith(IccSegments(RgbTables(), 1000)));
}

void DamagedSeeds() {
  const std::vector<QByteArray> pieces = IccPieces(AdobeRgb(), 64);
  std::vector<QByteArray> backwards(pieces.rbegin(), pieces.rend());
  Seed("pieces_backwards.jpg", FileWith(Joined(backwards)));
  Seed("piece_missing.jpg", FileWith(Joined({pieces.begin() + 1, pieces.end()})));
  Seed("piece_twice.jpg", FileWith(Joined(pieces) + pieces[2]));
  QByteArray wrongCount = pieces[0];
  wrongCount[4 + 13] = 2;
  Seed("count_disagrees.jpg", FileWith(wrongCount + Joined({pieces.begin() + 1, pieces.end()})));
  QByteArray sequenceZero = pieces[0];
  sequenceZero[4 + 12] = 0;
  Seed("sequence_zero.jpg", FileWith(sequenceZero + Joined({pieces.begin() + 1, pieces.end()})));
  Seed("header_cut_short.jpg", FileWith(testexif::Segment(0xE2, QByteArray("ICC_PROFILE\0\1", 13))));
  QByteArray cut = IccSegments(AdobeRgb());
  Seed("segment_length_past_end.jpg", QByteArray("\xFF\xD8", 2) + cut.left(cut.size() / 2));
  QByteArray refused = AdobeRgb();
  refused.replace(36, 4, "xxxx");
  Seed("profile_signature_wrong.jpg", FileWith(IccSegments(refused)));
  QByteArray tagCountHuge = CmykTables();
  tagCountHuge[128] = '\x7F';
  Seed("tag_count_huge.icc", tagCountHuge);
}

void ExifSeeds() {
  Seed("exif_adobe_rgb.jpg", FileWith(ExifColourSpace(0xFFFF, "R03")));
  Seed("exif_srgb.jpg", FileWith(ExifColourSpace(1, "R98")));
  QByteArray cut = ExifColourSpace(0xFFFF, "R03");
  cut = cut.left(cut.size() - 14);
  cut[2] = static_cast<char>((cut.size() - 2) >> 8);
  cut[3] = static_cast<char>((cut.size() - 2) & 0xFF);
  Seed("exif_cut_in_interoperability_directory.jpg", FileWith(cut));
  Seed("exif_adobe_rgb_beside_damaged_profile.jpg",
       FileWith(ExifColourSpace(0xFFFF, "R03") + IccPieces(AdobeRgb(), 64)[3]));
}

}  // namespace

int main(int argc, char** argv) {
  return seeds::MakeSeeds(argc, argv, [] {
    ProfileSeeds();
    DamagedSeeds();
    ExifSeeds();
  });
}
