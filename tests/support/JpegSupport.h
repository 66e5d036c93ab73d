// Helpers of the JPEG decoder tests: fixture files, reference decodings in
// PPM/PGM, and pictures written with the library's compressor for the
// colour spaces the command-line tools cannot write.
#pragma once

#include "ui/jpeg/core/JpegBufferTarget.h"
#include "ui/jpeg/core/JpegLib.h"
#include "ui/jpeg/core/JpegSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Whether the library build decodes at a scale: the shipped one (and the
// 32-bit tree's, built with its settings) decodes at full size only
// (SETUP_JPEG_FULL_SIZE_ONLY, tests/unit/CMakeLists.txt).
#ifdef SETUP_JPEG_FULL_SIZE_ONLY
constexpr bool kJpegScaling = false;
#else
constexpr bool kJpegScaling = true;
#endif

// Settings asking for the fast integer transform.
inline JpegSettings BestSpeed() {
  JpegSettings settings;
  settings.performance = JpegPerformance::BestSpeed;
  return settings;
}

inline Bytes ReadFixture(const std::string& name) {
  std::string path = std::string(JPEG_FIXTURES) + "/" + name;
  Bytes bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + n);
    std::fclose(f);
  }
  EXPECT_FALSE(bytes.empty()) << "missing fixture " << path;
  return bytes;
}

// A binary PPM (P6) or PGM (P5) with maxval 255.
struct Pnm {
  int width = 0, height = 0, channels = 0;
  Bytes samples;
  JpegPaletteEntry At(int x, int y) const {
    const uint8_t* p = &samples[(static_cast<size_t>(y) * width + x) * channels];
    return channels == 1 ? JpegPaletteEntry{p[0], p[0], p[0]} : JpegPaletteEntry{p[0], p[1], p[2]};
  }
};

inline Pnm ReadPnm(const std::string& name) {
  Bytes bytes = ReadFixture(name);
  Pnm pnm;
  std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
  int maxval = 0, consumed = 0;
  char kind = 0;
  if (std::sscanf(text.c_str(), "P%c %d %d %d%n", &kind, &pnm.width, &pnm.height, &maxval, &consumed) != 4)
    ADD_FAILURE() << name << " is not a PNM file";
  pnm.channels = kind == '5' ? 1 : 3;
  pnm.samples.assign(bytes.begin() + consumed + 1, bytes.end());
  EXPECT_EQ(pnm.samples.size(), static_cast<size_t>(pnm.width) * pnm.height * pnm.channels);
  return pnm;
}

// Largest difference of any channel between the decoded picture and the
// reference; -1 when the sizes differ.
inline int MaxDifference(JpegBufferTarget& decoded, const Pnm& reference) {
  if (decoded.Width() != reference.width || decoded.Height() != reference.height) return -1;
  int worst = 0;
  for (int y = 0; y < reference.height; ++y) {
    for (int x = 0; x < reference.width; ++x) {
      JpegPaletteEntry a = decoded.Pixel(x, y), b = reference.At(x, y);
      worst = std::max({worst, std::abs(a.red - b.red), std::abs(a.green - b.green),
                        std::abs(a.blue - b.blue)});
    }
  }
  return worst;
}

// Mean absolute difference per channel.
inline double MeanDifference(JpegBufferTarget& decoded, const Pnm& reference) {
  double sum = 0;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x) {
      JpegPaletteEntry a = decoded.Pixel(x, y), b = reference.At(x, y);
      sum += std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
    }
  return sum / (3.0 * reference.width * reference.height);
}

// Compresses samples of the given input colour space into the file colour
// space, optionally without the Adobe marker the library writes for CMYK.
// A scan script may replace the library's single baseline scan.
inline Bytes Compress(const Bytes& samples, int width, int height, int components,
                      J_COLOR_SPACE input, J_COLOR_SPACE file, bool adobeMarker = true,
                      const std::vector<jpeg_scan_info>& scans = {}) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = components;
  info.in_color_space = input;
  jpeg_set_defaults(&info);
  info.dct_method = JDCT_FLOAT;  // the transform every build of the library has
  jpeg_set_colorspace(&info, file);
  info.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&info, 95, TRUE);
  if (!scans.empty()) {
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&samples[static_cast<size_t>(info.next_scanline) * width * components]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  Bytes result(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return result;
}
