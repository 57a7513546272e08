#pragma once
// Builds ICC colour profiles with the colour engine and puts them into JPEG files, so the
// tests, the fuzz seeds, the benchmark and the end-to-end cases can make photos in every
// kind of colour space at run time: curves-and-matrix RGB profiles (Adobe RGB, Display P3,
// ProPhoto, sRGB in two forms, one with red and blue exchanged), an RGB profile of tables,
// a gray one and a CMYK one of tables; and the EXIF marks of a camera set to Adobe RGB.

#include "exif_builder.h"

#include <QByteArray>

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace testicc {

inline QByteArray Saved(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  QByteArray bytes(static_cast<qsizetype>(size), '\0');
  const bool saved = size > 0 && cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  if (!saved) {
    std::abort();  // the builders only make profiles the engine can save
  }
  return bytes;
}

inline cmsToneCurve* SrgbCurve() {
  const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

// A curves-and-matrix RGB profile: white and primaries as chromaticities, one curve for
// all three channels.
inline QByteArray MatrixProfile(cmsCIExyY white, cmsCIExyYTRIPLE primaries, cmsToneCurve* curve,
                                double version = 4.3) {
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsSetProfileVersion(profile, version);
  cmsFreeToneCurve(curve);
  return Saved(profile);
}

inline constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};
inline constexpr cmsCIExyY kD50{0.3457, 0.3585, 1.0};
inline constexpr cmsCIExyYTRIPLE kSrgbPrimaries{{0.64, 0.33, 1}, {0.30, 0.60, 1}, {0.15, 0.06, 1}};

inline QByteArray AdobeRgb() {
  return MatrixProfile(kD65, {{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}}, cmsBuildGamma(nullptr, 563.0 / 256));
}
inline QByteArray DisplayP3() {
  return MatrixProfile(kD65, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}, SrgbCurve());
}
inline QByteArray ProPhoto() {
  return MatrixProfile(kD50, {{0.7347, 0.2653, 1}, {0.1596, 0.8404, 1}, {0.0366, 0.0001, 1}}, cmsBuildGamma(nullptr, 1.8));
}
// Red's primary where blue's belongs and blue's where red's does.
inline QByteArray RedBlueExchanged() {
  return MatrixProfile(kD65, {kSrgbPrimaries.Blue, kSrgbPrimaries.Green, kSrgbPrimaries.Red}, SrgbCurve());
}
// The engine's own sRGB (version 4, parametric curves).
inline QByteArray EngineSrgb() { return Saved(cmsCreate_sRGBProfile()); }
// sRGB as the widespread version 2 profiles hold it: a curve of 1024 table entries.
inline QByteArray TabulatedSrgbV2() {
  cmsToneCurve* exact = SrgbCurve();
  std::vector<cmsUInt16Number> table(1024);
  for (size_t i = 0; i < table.size(); ++i) {
    const float value = cmsEvalToneCurveFloat(exact, static_cast<cmsFloat32Number>(i / 1023.0));
    table[i] = static_cast<cmsUInt16Number>(std::lround(value * 65535.0));
  }
  cmsFreeToneCurve(exact);
  return MatrixProfile(kD65, kSrgbPrimaries, cmsBuildTabulatedToneCurve16(nullptr, 1024, table.data()), 2.1);
}

inline QByteArray Gray() {
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 1.8);
  cmsHPROFILE profile = cmsCreateGrayProfile(&kD50, gamma);
  cmsFreeToneCurve(gamma);
  return Saved(profile);
}

// A profile of tables: device values into Lab through a grid, as printer and scanner
// profiles are made. The model gives linear sRGB light for device values in [0, 1].
using DeviceModel = void (*)(const double* device, double* linearRgb);

struct TableCargo {
  DeviceModel model;
  int channels;
  cmsHTRANSFORM toLab;
};

inline cmsInt32Number SampleLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const auto* c = static_cast<const TableCargo*>(cargo);
  double device[4] = {0, 0, 0, 0};
  for (int i = 0; i < c->channels; ++i) {
    device[i] = in[i] / 65535.0;
  }
  double rgb[3];
  c->model(device, rgb);
  cmsCIELab lab;
  cmsDoTransform(c->toLab, rgb, &lab, 1);
  cmsFloat2LabEncoded(out, &lab);
  return TRUE;
}

inline QByteArray TableProfile(cmsColorSpaceSignature space, cmsProfileClassSignature kind, int channels, int points,
                               DeviceModel model) {
  cmsHPROFILE linear = [] {
    cmsToneCurve* one = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {one, one, one};
    cmsHPROFILE p = cmsCreateRGBProfile(&kD65, &kSrgbPrimaries, curves);
    cmsFreeToneCurve(one);
    return p;
  }();
  cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
  TableCargo cargo{model, channels, cmsCreateTransform(linear, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0)};
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 4.3);
  cmsSetDeviceClass(profile, kind);
  cmsSetColorSpace(profile, space);
  cmsSetPCS(profile, cmsSigLabData);
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, static_cast<cmsUInt32Number>(channels), 3);
  cmsStage* grid = cmsStageAllocCLut16bit(nullptr, static_cast<cmsUInt32Number>(points),
                                          static_cast<cmsUInt32Number>(channels), 3, nullptr);
  cmsStageSampleCLut16bit(grid, SampleLab, &cargo, 0);
  // The version 4 table form wants curves around the grid, here ones that change nothing.
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, static_cast<cmsUInt32Number>(channels), nullptr));
  cmsPipelineInsertStage(pipeline, cmsAT_END, grid);
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsPipelineFree(pipeline);
  cmsDeleteTransform(cargo.toLab);
  cmsCloseProfile(linear);
  cmsCloseProfile(lab);
  return Saved(profile);
}

// Reflected light of three inks and black, each absorbing mostly one primary.
inline void InkModel(const double* d, double* rgb) {
  const double black = 1 - 0.93 * d[3];
  rgb[0] = (1 - 0.95 * d[0]) * (1 - 0.12 * d[1]) * (1 - 0.03 * d[2]) * black;
  rgb[1] = (1 - 0.22 * d[0]) * (1 - 0.90 * d[1]) * (1 - 0.08 * d[2]) * black;
  rgb[2] = (1 - 0.06 * d[0]) * (1 - 0.28 * d[1]) * (1 - 0.92 * d[2]) * black;
}

// A warm screen whose channels bleed into each other and whose light rises with a
// gamma that differs per channel.
inline void WarmScreenModel(const double* d, double* rgb) {
  const double r = std::pow(d[0], 2.0);
  const double g = std::pow(d[1], 2.3);
  const double b = std::pow(d[2], 2.6);
  rgb[0] = std::min(1.0, 0.92 * r + 0.08 * g);
  rgb[1] = 0.05 * r + 0.90 * g + 0.05 * b;
  rgb[2] = 0.10 * g + 0.80 * b;
}

inline QByteArray CmykTables() { return TableProfile(cmsSigCmykData, cmsSigOutputClass, 4, 9, InkModel); }
inline QByteArray RgbTables() { return TableProfile(cmsSigRgbData, cmsSigDisplayClass, 3, 17, WarmScreenModel); }

// The engine's own floating-point conversion of device values in [0, 1] (CMYK as ink
// amounts) of this format into sRGB, perceptual as the profiles ask, clipped to what
// sRGB can show.
inline std::array<double, 3> EngineToSrgb(const QByteArray& profile, cmsUInt32Number format, std::array<double, 4> device) {
  cmsHPROFILE input = cmsOpenProfileFromMem(profile.constData(), static_cast<cmsUInt32Number>(profile.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform = cmsCreateTransform(input, format, srgb, TYPE_RGB_DBL, INTENT_PERCEPTUAL, 0);
  if (T_COLORSPACE(format) == PT_CMYK) {
    for (double& v : device) {
      v *= 100.0;
    }
  }
  std::array<double, 3> out{};
  cmsDoTransform(transform, device.data(), out.data(), 1);
  cmsDeleteTransform(transform);
  cmsCloseProfile(srgb);
  cmsCloseProfile(input);
  for (double& v : out) {
    v = std::clamp(v, 0.0, 1.0);
  }
  return out;
}

// The APP2 segments that carry a profile, pieceBytes of it in each.
inline std::vector<QByteArray> IccPieces(const QByteArray& profile, int pieceBytes) {
  const int count = static_cast<int>((profile.size() + pieceBytes - 1) / pieceBytes);
  std::vector<QByteArray> pieces;
  for (int i = 0; i < count; ++i) {
    QByteArray payload("ICC_PROFILE", 12);
    payload.append(static_cast<char>(i + 1));
    payload.append(static_cast<char>(count));
    pieces.push_back(testexif::Segment(0xE2, payload + profile.mid(static_cast<qsizetype>(i) * pieceBytes, pieceBytes)));
  }
  return pieces;
}

inline QByteArray IccSegments(const QByteArray& profile, int pieceBytes = 65519) {
  QByteArray all;
  for (const QByteArray& piece : IccPieces(profile, pieceBytes)) {
    all += piece;
  }
  return all;
}

// An EXIF segment whose camera says colour space `colourSpace` (0xFFFF: uncalibrated)
// and interoperability index `index` ("R03": Adobe RGB, "R98": sRGB). Little-endian.
inline QByteArray ExifColourSpace(uint32_t colourSpace, const char* index) {
  using testexif::ByteOrder;
  using testexif::PutU16;
  using testexif::PutU32;
  const ByteOrder order = ByteOrder::Little;
  QByteArray tiff("II");
  PutU16(tiff, order, 42);
  PutU32(tiff, order, 8);
  // The first directory at 8 links to the EXIF directory at 26, which links to the
  // interoperability directory at 56.
  const auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    PutU16(tiff, order, tag);
    PutU16(tiff, order, type);
    PutU32(tiff, order, count);
    PutU32(tiff, order, value);
  };
  PutU16(tiff, order, 1);
  entry(0x8769, 4, 1, 26);
  PutU32(tiff, order, 0);
  PutU16(tiff, order, 2);
  entry(0xA001, 3, 1, colourSpace);
  entry(0xA005, 4, 1, 56);
  PutU32(tiff, order, 0);
  PutU16(tiff, order, 1);
  PutU16(tiff, order, 0x0001);
  PutU16(tiff, order, 2);
  PutU32(tiff, order, 4);
  tiff.append(index, 3);
  tiff.append('\0');
  PutU32(tiff, order, 0);
  return testexif::ExifSegment(tiff);
}

}  // namespace testicc
