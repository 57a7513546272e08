#include "picture/colour_profile.h"

#include "picture/colour_tables.h"

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <optional>
#include <vector>

namespace {

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
struct CurveDeleter {
  void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;
using Curve = std::unique_ptr<cmsToneCurve, CurveDeleter>;

// Grid points per axis: dense enough for the engine's own tables, small enough to stay
// in the processor's cache (36 thousand points of RGB, 84 thousand of CMYK).
constexpr int kRgbGridPoints = 33;
constexpr int kCmykGridPoints = 17;
// A profile whose colours land within this many 8-bit steps of sRGB's is sRGB.
constexpr double kSrgbTolerance = 1.0;
// The tables of a curves-and-matrix profile replace the engine's conversion only when
// they agree with it within this many 8-bit steps.
constexpr double kMatrixTolerance = 0.75;
constexpr size_t kCachedConversions = 4;

cmsHPROFILE Srgb() {
  static const cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  return srgb;
}

cmsUInt32Number DeviceFormat(ColourInput input) {
  switch (input) {
    case ColourInput::Gray:
      return TYPE_GRAY_DBL;
    case ColourInput::Cmyk:
    case ColourInput::CmykInverted:
      return TYPE_CMYK_DBL;
    case ColourInput::Rgb:
      break;
  }
  return TYPE_RGB_DBL;
}

bool Describes(cmsHPROFILE profile, ColourInput input) {
  switch (cmsGetColorSpace(profile)) {
    case cmsSigRgbData:
      return input == ColourInput::Rgb;
    case cmsSigGrayData:
      return input == ColourInput::Gray;
    case cmsSigCmykData:
      return input == ColourInput::Cmyk || input == ColourInput::CmykInverted;
    default:
      return false;
  }
}

// The profile's own rendering intent, perceptual where it names none that it holds.
cmsUInt32Number ConversionIntent(cmsHPROFILE profile) {
  const cmsUInt32Number intent = cmsGetHeaderRenderingIntent(profile);
  if (intent <= INTENT_ABSOLUTE_COLORIMETRIC && cmsIsIntentSupported(profile, intent, LCMS_USED_AS_INPUT)) {
    return intent;
  }
  return INTENT_PERCEPTUAL;
}

// The engine's floating-point conversion into sRGB; device values as the engine takes
// them (CMYK in percent), sRGB unbounded.
Transform FloatTransform(cmsHPROFILE profile, ColourInput input, cmsUInt32Number intent) {
  return Transform(cmsCreateTransform(profile, DeviceFormat(input), Srgb(), TYPE_RGB_DBL, intent, 0));
}

// Device values in [0, 1] through the transform into sRGB.
void Sample(void* transform, ColourInput input, std::vector<double> device, std::vector<double>& srgb) {
  if (input == ColourInput::Cmyk || input == ColourInput::CmykInverted) {
    for (double& value : device) {
      value *= 100.0;
    }
  }
  const size_t channels = input == ColourInput::Gray ? 1 : input == ColourInput::Rgb ? 3 : 4;
  cmsDoTransform(transform, device.data(), srgb.data(), static_cast<cmsUInt32Number>(device.size() / channels));
}

// The colours of a 9 x 9 x 9 cube of 8-bit RGB values, including black, white and the
// primaries, in [0, 1].
std::vector<double> TestCube() {
  std::vector<double> cube;
  for (int r = 0; r <= 8; ++r) {
    for (int g = 0; g <= 8; ++g) {
      for (int b = 0; b <= 8; ++b) {
        for (const int v : {r, g, b}) {
          cube.push_back(std::min(v * 32, 255) / 255.0);
        }
      }
    }
  }
  return cube;
}

double LargestStep(const std::vector<double>& a, const std::vector<double>& b) {
  double largest = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    largest = std::max(largest, std::abs(std::clamp(a[i], 0.0, 1.0) - std::clamp(b[i], 0.0, 1.0)) * 255.0);
  }
  return largest;
}

// Whether the profile's colours are sRGB's, whatever its bytes: measured by the colours
// it gives a cube of RGB values, by their colorimetric meaning.
bool IsSrgb(cmsHPROFILE profile) {
  const Transform transform = FloatTransform(profile, ColourInput::Rgb, INTENT_RELATIVE_COLORIMETRIC);
  if (!transform) {
    return false;
  }
  const std::vector<double> cube = TestCube();
  std::vector<double> srgb(cube.size());
  Sample(transform.get(), ColourInput::Rgb, cube, srgb);
  return LargestStep(cube, srgb) <= kSrgbTolerance;
}

bool HasTables(cmsHPROFILE profile) {
  for (const cmsTagSignature tag : {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigDToB0Tag, cmsSigDToB1Tag,
                                     cmsSigDToB2Tag, cmsSigDToB3Tag}) {
    if (cmsIsTag(profile, tag)) {
      return true;
    }
  }
  return false;
}

using Matrix3 = std::array<double, 9>;

// The colorants of a curves-and-matrix profile as the columns of a matrix.
std::optional<Matrix3> Colorants(cmsHPROFILE profile) {
  Matrix3 m{};
  const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
  for (int c = 0; c < 3; ++c) {
    const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tags[c]));
    if (xyz == nullptr) {
      return std::nullopt;
    }
    m[static_cast<size_t>(c)] = xyz->X;
    m[static_cast<size_t>(3 + c)] = xyz->Y;
    m[static_cast<size_t>(6 + c)] = xyz->Z;
  }
  return m;
}

std::optional<Matrix3> Inverse(const Matrix3& m) {
  const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                     m[2] * (m[3] * m[7] - m[4] * m[6]);
  if (!std::isfinite(det) || std::abs(det) < 1e-9) {
    return std::nullopt;
  }
  return Matrix3{(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det, (m[1] * m[5] - m[2] * m[4]) / det,
                 (m[5] * m[6] - m[3] * m[8]) / det, (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                 (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det, (m[0] * m[4] - m[1] * m[3]) / det};
}

Matrix3 Product(const Matrix3& a, const Matrix3& b) {
  Matrix3 p{};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      for (int k = 0; k < 3; ++k) {
        p[static_cast<size_t>(r * 3 + c)] += a[static_cast<size_t>(r * 3 + k)] * b[static_cast<size_t>(k * 3 + c)];
      }
    }
  }
  return p;
}

// The tables of a curves-and-matrix profile: its curves, its colorants followed by the
// inverse of sRGB's, and sRGB's encoding.
std::unique_ptr<MatrixShaperTable> MatrixTables(cmsHPROFILE profile) {
  const std::optional<Matrix3> device = Colorants(profile);
  const std::optional<Matrix3> srgb = Colorants(Srgb());
  const std::optional<Matrix3> toSrgb = srgb ? Inverse(*srgb) : std::nullopt;
  const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(Srgb(), cmsSigRedTRCTag));
  if (!device || !toSrgb || srgbCurve == nullptr) {
    return nullptr;
  }
  std::array<std::array<float, 256>, 3> linear{};
  const cmsTagSignature curveTags[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  for (size_t c = 0; c < 3; ++c) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curveTags[c]));
    if (curve == nullptr) {
      return nullptr;
    }
    for (int v = 0; v < 256; ++v) {
      linear[c][static_cast<size_t>(v)] = cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v / 255.0));
    }
  }
  const Curve encoding(cmsReverseToneCurve(srgbCurve));
  if (!encoding) {
    return nullptr;
  }
  return std::make_unique<MatrixShaperTable>(linear, Product(*toSrgb, *device), [&encoding](double value) {
    return static_cast<double>(cmsEvalToneCurveFloat(encoding.get(), static_cast<cmsFloat32Number>(value)));
  });
}

// Whether the tables give what the engine gives, over a cube of colours.
bool AgreesWithEngine(const MatrixShaperTable& tables, void* transform) {
  const std::vector<double> cube = TestCube();
  std::vector<double> engine(cube.size());
  Sample(transform, ColourInput::Rgb, cube, engine);
  std::vector<uint8_t> pixels(cube.size());
  for (size_t i = 0; i < cube.size(); i += 3) {
    for (size_t c = 0; c < 3; ++c) {
      pixels[i + 2 - c] = static_cast<uint8_t>(std::lround(cube[i + c] * 255.0));
    }
  }
  tables.ConvertBgr(pixels.data(), static_cast<int>(pixels.size() / 3), 3);
  std::vector<double> converted(cube.size());
  for (size_t i = 0; i < cube.size(); i += 3) {
    for (size_t c = 0; c < 3; ++c) {
      converted[i + c] = pixels[i + 2 - c] / 255.0;
    }
  }
  return LargestStep(engine, converted) <= kMatrixTolerance;
}

// The gray values through the transform; empty when they stay as they are.
std::unique_ptr<uint8_t[]> GrayTable(void* transform) {
  std::vector<double> gray(256);
  for (int v = 0; v < 256; ++v) {
    gray[static_cast<size_t>(v)] = v / 255.0;
  }
  std::vector<double> srgb(256 * 3);
  Sample(transform, ColourInput::Gray, gray, srgb);
  auto table = std::make_unique<uint8_t[]>(256);
  bool changes = false;
  for (int v = 0; v < 256; ++v) {
    // A neutral gray is the same on all three channels; green carries most of the light.
    table[static_cast<size_t>(v)] = static_cast<uint8_t>(std::lround(std::clamp(srgb[static_cast<size_t>(v) * 3 + 1], 0.0, 1.0) * 255.0));
    changes = changes || table[static_cast<size_t>(v)] != v;
  }
  return changes ? std::move(table) : nullptr;
}

struct CachedConversion {
  QByteArray profile;
  ColourInput input;
  std::shared_ptr<const ColourConversion> conversion;
};

std::deque<CachedConversion>& Cache() {
  static std::deque<CachedConversion> cache;
  return cache;
}

}  // namespace

ColourConversion::~ColourConversion() = default;

std::shared_ptr<const ColourConversion> ColourConversion::For(const QByteArray& profile, ColourInput input) {
  std::deque<CachedConversion>& cache = Cache();
  const auto found = std::find_if(cache.begin(), cache.end(), [&](const CachedConversion& entry) {
    return entry.input == input && entry.profile == profile;
  });
  if (found != cache.end()) {
    CachedConversion entry = *found;
    cache.erase(found);
    cache.push_front(entry);
    return entry.conversion;
  }
  std::shared_ptr<const ColourConversion> conversion = Make(profile, input);
  cache.push_front(CachedConversion{profile, input, conversion});
  if (cache.size() > kCachedConversions) {
    cache.pop_back();
  }
  return conversion;
}

std::shared_ptr<const ColourConversion> ColourConversion::Make(const QByteArray& bytes, ColourInput input) {
  if (bytes.isEmpty()) {
    return nullptr;
  }
  const Profile profile(cmsOpenProfileFromMem(bytes.constData(), static_cast<cmsUInt32Number>(bytes.size())));
  if (!profile || !Describes(profile.get(), input) || (input == ColourInput::Rgb && IsSrgb(profile.get()))) {
    return nullptr;
  }
  const cmsUInt32Number intent = ConversionIntent(profile.get());
  const Transform transform = FloatTransform(profile.get(), input, intent);
  if (!transform) {
    return nullptr;
  }
  std::shared_ptr<ColourConversion> conversion(new ColourConversion());
  conversion->profile_ = bytes;
  conversion->input_ = input;
  const ColourGrid::Sampler sampler = [&transform, input](const std::vector<double>& device, std::vector<double>& srgb) {
    Sample(transform.get(), input, device, srgb);
  };
  switch (input) {
    case ColourInput::Gray:
      conversion->gray_ = GrayTable(transform.get());
      return conversion->gray_ ? conversion : nullptr;
    case ColourInput::Cmyk:
    case ColourInput::CmykInverted:
      conversion->grid_ = std::make_unique<ColourGrid>(4, kCmykGridPoints, input == ColourInput::CmykInverted, sampler);
      return conversion;
    case ColourInput::Rgb:
      break;
  }
  if (cmsIsMatrixShaper(profile.get()) && !HasTables(profile.get())) {
    conversion->matrix_ = MatrixTables(profile.get());
    if (conversion->matrix_ && !AgreesWithEngine(*conversion->matrix_, transform.get())) {
      conversion->matrix_.reset();
    }
  }
  if (!conversion->matrix_) {
    conversion->grid_ = std::make_unique<ColourGrid>(3, kRgbGridPoints, false, sampler);
  }
  return conversion;
}

void ColourConversion::ConvertBgr(uint8_t* row, int width, int pixelBytes) const {
  if (matrix_) {
    matrix_->ConvertBgr(row, width, pixelBytes);
  } else if (grid_) {
    grid_->ConvertBgr(row, width, pixelBytes);
  }
}

void ColourConversion::ConvertCmyk(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const {
  if (grid_) {
    grid_->ConvertCmyk(cmyk, bgr, width, bgrPixelBytes);
  }
}

TPalette ColourConversion::ConvertPalette(const TPalette& palette) const {
  if (!palette) {
    return palette;
  }
  std::vector<TPaletteEntry> entries = palette->palPalEntry;
  if (gray_) {
    for (TPaletteEntry& e : entries) {
      e.peRed = gray_[e.peRed];
      e.peGreen = gray_[e.peGreen];
      e.peBlue = gray_[e.peBlue];
    }
    return CreatePalette(std::move(entries));
  }
  std::vector<uint8_t> bgr;
  for (const TPaletteEntry& e : entries) {
    bgr.insert(bgr.end(), {e.peBlue, e.peGreen, e.peRed});
  }
  ConvertBgr(bgr.data(), static_cast<int>(entries.size()), 3);
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].peBlue = bgr[i * 3];
    entries[i].peGreen = bgr[i * 3 + 1];
    entries[i].peRed = bgr[i * 3 + 2];
  }
  return CreatePalette(std::move(entries));
}

std::vector<TPaletteEntry> ColourConversion::StoredColours(std::vector<TPaletteEntry> entries) const {
  const Profile profile(cmsOpenProfileFromMem(profile_.constData(), static_cast<cmsUInt32Number>(profile_.size())));
  const bool gray = input_ == ColourInput::Gray;
  if (!profile || (!gray && input_ != ColourInput::Rgb)) {
    return entries;
  }
  const Transform back(cmsCreateTransform(Srgb(), TYPE_RGB_8, profile.get(), gray ? TYPE_GRAY_8 : TYPE_RGB_8,
                                          ConversionIntent(profile.get()), 0));
  if (!back) {
    return entries;
  }
  for (TPaletteEntry& e : entries) {
    const uint8_t srgb[3] = {e.peRed, e.peGreen, e.peBlue};
    uint8_t stored[3] = {0, 0, 0};
    cmsDoTransform(back.get(), srgb, stored, 1);
    e.peRed = stored[0];
    e.peGreen = gray ? stored[0] : stored[1];
    e.peBlue = gray ? stored[0] : stored[2];
  }
  return entries;
}

const QByteArray& AdobeRgbProfile() {
  static const QByteArray bytes = [] {
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    const Curve gamma(cmsBuildGamma(nullptr, 563.0 / 256.0));
    cmsToneCurve* curves[3] = {gamma.get(), gamma.get(), gamma.get()};
    const Profile profile(cmsCreateRGBProfile(&d65, &primaries, curves));
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size)) {
      return QByteArray();
    }
    QByteArray saved(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), saved.data(), &size)) {
      return QByteArray();
    }
    return saved;
  }();
  return bytes;
}
