#include "../support/JpegSupport.h"

#include "runtime/core/Failures.h"
#include "ui/jpeg/core/CmykRows.h"
#include "ui/jpeg/core/JpegDecoder.h"
#include "ui/jpeg/core/JpegDecompressor.h"
#include "ui/jpeg/core/JpegSource.h"

#include <gtest/gtest.h>

namespace {

// The message of the EJPEG that f raises.
template <typename F>
std::string FailureOf(F f) {
  try {
    f();
  } catch (const EJPEG& failure) {
    return failure.Message();
  }
  return "no failure";
}

// The message of the EJPEG that decoding bytes raises.
std::string FailureOf(const Bytes& bytes, const JpegSettings& settings = {}) {
  JpegBufferTarget target;
  return FailureOf([&] { DecodeJpeg(bytes.data(), bytes.size(), settings, target); });
}

// Where the first marker of a kind starts (0 when there is none).
size_t FindMarker(const Bytes& bytes, uint8_t marker) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == marker) return i;
  return 0;
}

// Inks of a colour: black takes the common part, the others the rest.
Bytes RgbToCmyk(const Pnm& rgb, bool inverted) {
  Bytes cmyk;
  for (size_t i = 0; i < rgb.samples.size(); i += 3) {
    int r = rgb.samples[i], g = rgb.samples[i + 1], b = rgb.samples[i + 2];
    int white = std::max({r, g, b});
    int inks[4] = {0, 0, 0, 255};
    if (white > 0) {
      inks[0] = (white - r) * 255 / white;
      inks[1] = (white - g) * 255 / white;
      inks[2] = (white - b) * 255 / white;
      inks[3] = 255 - white;
    }
    for (int ink : inks) cmyk.push_back(static_cast<uint8_t>(inverted ? 255 - ink : ink));
  }
  return cmyk;
}

}  // namespace

// --- Header -------------------------------------------------------------

TEST(JpegHeader, ReportsSizeColourSpaceAndScansWithoutDecoding) {
  Bytes baseline = ReadFixture("baseline.jpg");
  JpegHeader header = ReadJpegHeader(baseline.data(), baseline.size());
  EXPECT_EQ(header.width, 640);
  EXPECT_EQ(header.height, 480);
  EXPECT_FALSE(header.grayscale);
  EXPECT_FALSE(header.progressive);

  Bytes gray = ReadFixture("gray.jpg");
  EXPECT_TRUE(ReadJpegHeader(gray.data(), gray.size()).grayscale);
  Bytes progressive = ReadFixture("progressive.jpg");
  EXPECT_TRUE(ReadJpegHeader(progressive.data(), progressive.size()).progressive);

  if (!kJpegScaling) return;
  int width = 0, height = 0;
  JpegOutputSize(baseline.data(), baseline.size(), JpegScale::Quarter, width, height);
  EXPECT_EQ(width, 160);
  EXPECT_EQ(height, 120);
}

TEST(JpegHeader, DataNotStartingWithTheStartOfImageMarkerFailsWithCode53) {
  Bytes notJpeg = {'B', 'M', 0xFF, 0xD8, 0xFF, 0xE0, 0, 16};
  EXPECT_EQ(FailureOf([&] { ReadJpegHeader(notJpeg.data(), notJpeg.size()); }), "JPEG-Fehler #53");
  // EJPEG is a kind of EInvalidGraphic, which the picture loading expects.
  EXPECT_THROW(ReadJpegHeader(notJpeg.data(), notJpeg.size()), EInvalidGraphic);
}

TEST(JpegHeader, ArithmeticCodedFileHasAReadableHeaderButFailsToDecodeWithCode1) {
  Bytes arith = ReadFixture("arith.jpg");
  JpegHeader header = ReadJpegHeader(arith.data(), arith.size());
  EXPECT_EQ(header.width, 96);
  EXPECT_EQ(header.height, 64);

  JpegBufferTarget target;
  EXPECT_EQ(FailureOf([&] { DecodeJpeg(arith.data(), arith.size(), {}, target); }), "JPEG-Fehler #1");
  EXPECT_EQ(target.Width(), 0);  // failed before any row was made
}

// --- Source of compressed bytes -------------------------------------------

TEST(JpegSource, NoBytesAtAllIsTheEmptyInputErrorAndDataEndingEarlyOnlyAWarning) {
  EXPECT_EQ(FailureOf({}), "JPEG-Fehler #42");

  // Cut inside the scan data (the file is longer than one 4096-byte block).
  Bytes cut = ReadFixture("cut.jpg");
  ASSERT_GT(cut.size(), 2 * kJpegSourceBlock);
  JpegBufferTarget target;
  int warnings = DecodeJpeg(cut.data(), cut.size(), BestSpeed(), target);
  EXPECT_GT(warnings, 0);
  EXPECT_EQ(MaxDifference(target, ReadPnm("cut.fast.ppm")), 0);

  // Cut right after the header: the whole picture is what the library
  // makes of missing data, without a failure.
  Bytes baseline = ReadFixture("baseline.jpg");
  const size_t scan = FindMarker(baseline, 0xDA);
  ASSERT_GT(scan, 0u);
  Bytes headerOnly(baseline.begin(), baseline.begin() + scan + 14);
  JpegBufferTarget empty;
  EXPECT_GT(DecodeJpeg(headerOnly.data(), headerOnly.size(), {}, empty), 0);
  EXPECT_EQ(empty.Height(), 480);
}

// --- Decoding compared with the library's own decoder ---------------------

// Each setting against djpeg's decoding of the same file with the same
// options: exact for the integer transform and the quantiser, within one for
// floating point (the compiler may keep more precision than the library build).
TEST(JpegDecode, EachSettingMatchesTheReferenceDecoder) {
  JpegSettings quarter, eightBit, eightBitFast = BestSpeed(), gray;
  quarter.scale = JpegScale::Quarter;
  eightBit.pixelFormat = eightBitFast.pixelFormat = JpegPixelFormat::Bits8;
  gray.grayscale = true;
  const struct {
    const char* picture;
    JpegSettings settings;
    const char* reference;
    int bitsPerPixel, tolerance;
  } cases[] = {
      {"baseline", BestSpeed(), "baseline.fast.ppm", 24, 0},
      {"progressive", BestSpeed(), "progressive.fast.ppm", 24, 0},
      {"restart", BestSpeed(), "restart.fast.ppm", 24, 0},
      {"onerow", BestSpeed(), "onerow.fast.ppm", 24, 0},
      {"baseline", {}, "baseline.float.ppm", 24, 1},
      {"baseline", quarter, "baseline.quarter.ppm", 24, 1},
      {"baseline", eightBit, "baseline.q236.ppm", 8, 0},            // two-pass quantiser
      {"baseline", eightBitFast, "baseline.q236fast.ppm", 8, 0},    // one pass, ordered dither
      {"gray", {}, "gray.q236.pgm", 8, 0},                          // grayscale is 8 bits even so
      {"baseline", gray, "baseline.gray236.pgm", 8, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reference);
    if (c.settings.scale != JpegScale::Full && !kJpegScaling) continue;
    const Bytes bytes = ReadFixture(std::string(c.picture) + ".jpg");
    for (bool bottomUp : {true, false}) {
      JpegBufferTarget target(bottomUp);
      EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size(), c.settings, target), 0);
      EXPECT_EQ(target.BitsPerPixel(), c.bitsPerPixel);
      EXPECT_LE(target.Palette().size(), 236u);
      const int difference = MaxDifference(target, ReadPnm(c.reference));
      EXPECT_TRUE(difference >= 0 && difference <= c.tolerance) << difference;
    }
  }
}

TEST(JpegDecode, RowsAreStoredBlueGreenRed) {
  const Bytes bytes = ReadFixture("baseline.jpg");
  JpegBufferTarget target;
  DecodeJpeg(bytes.data(), bytes.size(), {}, target);
  // The top-left corner is orange (200, 100, 30).
  const uint8_t* first = target.Row(0);
  EXPECT_NEAR(first[0], 30, 4);
  EXPECT_NEAR(first[1], 100, 4);
  EXPECT_NEAR(first[2], 200, 4);
}

TEST(JpegDecode, FatalErrorAfterTheRowsLeavesThemInTheTarget) {
  // A second frame header before the end-of-image marker is fatal when the
  // decoder reads on to the end, after every row was delivered.
  Bytes bytes = ReadFixture("baseline.jpg");
  size_t sof = FindMarker(bytes, 0xC0);
  ASSERT_GT(sof, 0u);
  size_t length = (bytes[sof + 2] << 8 | bytes[sof + 3]) + 2;
  bytes.insert(bytes.end() - 2, bytes.begin() + sof, bytes.begin() + sof + length);

  JpegBufferTarget target;
  EXPECT_EQ(FailureOf([&] { DecodeJpeg(bytes.data(), bytes.size(), BestSpeed(), target); }),
            "JPEG-Fehler #" + std::to_string(JERR_SOF_DUPLICATE));
  EXPECT_EQ(MaxDifference(target, ReadPnm("baseline.fast.ppm")), 0);
}

// --- Limits ----------------------------------------------------------------

TEST(JpegLimits, APictureOverTheBitmapLimitFailsBeforeAnyRowMemoryIsTaken) {
  Bytes samples(8 * 8 * 3, 0x80);
  Bytes bytes = Compress(samples, 8, 8, 3, JCS_RGB, JCS_YCbCr);
  size_t sof = FindMarker(bytes, 0xC0);
  ASSERT_GT(sof, 0u);
  for (size_t at : {sof + 5, sof + 7}) {  // height, width: 16000 each
    bytes[at] = 16000 >> 8;
    bytes[at + 1] = 16000 & 0xFF;
  }
  EXPECT_LT(bytes.size(), 700u);
  JpegHeader header = ReadJpegHeader(bytes.data(), bytes.size());
  EXPECT_EQ(header.width, 16000) << "loading reads the header only";

  JpegBufferTarget target;
  EXPECT_EQ(FailureOf([&] { DecodeJpeg(bytes.data(), bytes.size(), {}, target); }),
            "JPEG-Fehler #" + std::to_string(JERR_IMAGE_TOO_BIG));
  EXPECT_EQ(target.Width(), 0) << "no bitmap was made";
  // The limit applies to the output: an eighth of it is a small picture.
  if (!kJpegScaling) return;
  JpegSettings eighth;
  eighth.scale = JpegScale::Eighth;
  DecodeJpeg(bytes.data(), bytes.size(), eighth, target);
  EXPECT_EQ(target.Width(), 2000);
}

// A grayscale progressive script of `count` scans (at most 128): the DC
// coefficient in two steps, then each AC coefficient on its own in a first
// pass and as many refinements as are left.
std::vector<jpeg_scan_info> Scans(int count) {
  std::vector<jpeg_scan_info> scans = {{1, {0}, 0, 0, 0, 1}, {1, {0}, 0, 0, 1, 0}};
  for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, 0, 1});
  for (int k = 1; static_cast<int>(scans.size()) < count; ++k) scans.push_back({1, {0}, k, k, 1, 0});
  scans.resize(count);
  return scans;
}

TEST(JpegLimits, AProgressiveFileMayHaveAtMostTheScanLimit) {
  Bytes samples(16 * 16);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 13);
  Bytes most = Compress(samples, 16, 16, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, true, Scans(kMaxJpegScans));
  EXPECT_EQ(FailureOf(most), "no failure");
  Bytes more = Compress(samples, 16, 16, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, true,
                        Scans(kMaxJpegScans + 1));
  EXPECT_TRUE(ReadJpegHeader(more.data(), more.size()).progressive);
  EXPECT_EQ(FailureOf(more), "JPEG-Fehler #" + std::to_string(JERR_EOI_EXPECTED));
}

// --- Four- and two-component files ----------------------------------------

TEST(JpegDecode, CmykAndYcckFilesShowTheColoursOfTheirRgbOriginal) {
  Pnm original = ReadPnm("small.ppm");
  int w = original.width, h = original.height;
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"plain CMYK", Compress(RgbToCmyk(original, false), w, h, 4, JCS_CMYK, JCS_CMYK, false)},
      {"inverted CMYK", Compress(RgbToCmyk(original, true), w, h, 4, JCS_CMYK, JCS_CMYK)},
      {"inverted YCCK", Compress(RgbToCmyk(original, true), w, h, 4, JCS_CMYK, JCS_YCCK)},
      {"image editor's", ReadFixture("cmyk.jpg")},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (JpegPixelFormat format : {JpegPixelFormat::Bits24, JpegPixelFormat::Bits8}) {
      JpegSettings settings;
      settings.pixelFormat = format;  // no palette for CMYK: always 24 bits
      JpegBufferTarget target;
      DecodeJpeg(c.bytes.data(), c.bytes.size(), settings, target);
      EXPECT_EQ(target.BitsPerPixel(), 24);
      EXPECT_LT(MeanDifference(target, original), 4.0);
    }
  }
}

TEST(JpegDecode, TwoComponentFileFailsCleanly) {
  Bytes samples(32 * 16 * 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 7);
  Bytes bytes = Compress(samples, 32, 16, 2, JCS_UNKNOWN, JCS_UNKNOWN);
  EXPECT_EQ(ReadJpegHeader(bytes.data(), bytes.size()).width, 32);
  EXPECT_EQ(FailureOf(bytes), "JPEG-Fehler #" + std::to_string(JERR_CONVERSION_NOTIMPL));
  JpegSettings eightBit;
  eightBit.pixelFormat = JpegPixelFormat::Bits8;
  EXPECT_EQ(FailureOf(bytes, eightBit), "JPEG-Fehler #" + std::to_string(JERR_CONVERSION_NOTIMPL));
}

TEST(CmykRows, InksSubtractFromWhiteAndInvertedFilesStoreTheirComplement) {
  const uint8_t plain[] = {255, 0, 0, 0,  0, 0, 0, 255,  0, 128, 255, 0};
  const uint8_t inverted[] = {0, 255, 255, 255,  255, 255, 255, 0,  255, 127, 0, 255};
  const uint8_t expected[] = {255, 255, 0,  0, 0, 0,  0, 127, 255};  // cyan, black, orange (BGR)
  uint8_t bgr[9];
  CmykRowToBgr(plain, bgr, 3, false);
  EXPECT_EQ(Bytes(bgr, bgr + 9), Bytes(expected, expected + 9));
  CmykRowToBgr(inverted, bgr, 3, true);
  EXPECT_EQ(Bytes(bgr, bgr + 9), Bytes(expected, expected + 9));
}

// Rows past 4 GiB within the library's limits (65,500 rows of 21,858 pixels
// at 24 bits take 2^32 + 260,704 bytes): 32-bit code must refuse them, not
// wrap into a buffer of 260 KB that the rows are then written past. In a
// 64-bit address space the target could take them.
TEST(JpegBufferTarget, RowsPast4GiBAreRefusedInA32BitAddressSpace) {
  if (sizeof(size_t) > 4) GTEST_SKIP() << "a case for 32-bit code (native32)";
  for (int height : {65500, 32768}) {
    JpegBufferTarget target;
    EXPECT_EQ(FailureOf([&] { target.SetFormat(24, 21858, height); }), "picture too large for this target") << height;
    EXPECT_EQ(target.Height(), 0);
  }
}
