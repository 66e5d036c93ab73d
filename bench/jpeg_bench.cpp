// Decoding a 4000 x 3000 JPEG through the program's decoding path into a
// bottom-up bitmap-like buffer, against the bootstrap's djpeg (same library
// build) decoding the same file with the same settings (floating-point DCT
// by default, fast integer DCT for best speed) into PPM output thrown away.
// Both are measured in processor time (djpeg's includes its process start
// and its output); both spend it in the library, so the ratio should be
// close to 1.
#include "ui/jpeg/core/JpegBufferTarget.h"
#include "ui/jpeg/core/JpegDecoder.h"
#include "ui/jpeg/core/JpegLib.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sys/resource.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photograph-like picture: smooth shading with some fine texture.
std::vector<uint8_t> MakePicture() {
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      int grain = static_cast<int>((noise >> 16) & 15) - 8;
      uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      p[0] = static_cast<uint8_t>(std::clamp(x * 255 / kWidth + grain, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(y * 255 / kHeight + grain, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp(((x / 50 + y / 50) % 2) * 128 + 64 + grain, 0, 255));
    }
  return rgb;
}

const std::string& PicturePath() {
  static std::string path = [] {
    std::vector<uint8_t> rgb = MakePicture();
    std::string name = "/tmp/jpeg_bench_4000x3000.jpg";
    FILE* file = std::fopen(name.c_str(), "wb");
    jpeg_compress_struct info{};
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
      JSAMPROW row = &rgb[static_cast<size_t>(info.next_scanline) * kWidth * 3];
      jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return name;
  }();
  return path;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  uint8_t block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + n);
  std::fclose(file);
  return bytes;
}

// Processor time (user and system) of the finished child processes: the
// machine is shared, so both sides are compared by the time they used.
double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

JpegSettings SettingsFor(bool bestSpeed) {
  JpegSettings settings;
  if (bestSpeed) settings.performance = JpegPerformance::BestSpeed;
  return settings;
}

// The file is read as loading reads it, then decoded as the first draw does
// into a new bitmap (fresh memory, as a new section is). Argument 1: the same
// with the bitmap's memory already in use, which leaves the decoding alone.
void ProgramPath(benchmark::State& state) {
  const std::string& path = PicturePath();
  JpegSettings settings = SettingsFor(state.range(0) != 0);
  const bool warm = state.range(1) != 0;
  JpegBufferTarget kept(/*bottomUp=*/true);
  for (auto _ : state) {
    std::vector<uint8_t> bytes = ReadAll(path);
    ReadJpegHeader(bytes.data(), bytes.size());
    JpegBufferTarget fresh(/*bottomUp=*/true);
    JpegBufferTarget& bitmap = warm ? kept : fresh;
    DecodeJpeg(bytes.data(), bytes.size(), settings, bitmap);
    benchmark::DoNotOptimize(bitmap.Row(0));
  }
}

// Argument 1: 0 for PPM output, streamed row by row; 1 for BMP output, for
// which djpeg holds the whole picture in memory bottom-up, as a bitmap does.
void ReferenceDecoder(benchmark::State& state) {
  std::string command = std::string(BOOTSTRAP_DJPEG) + " -dct " +
                        (state.range(0) != 0 ? "fast" : "float") +
                        (state.range(1) != 0 ? " -bmp" : " -pnm") + " -outfile /dev/null " +
                        PicturePath();
  for (auto _ : state) {
    double start = ChildrenCpuSeconds();
    if (std::system(command.c_str()) != 0) state.SkipWithError("djpeg failed");
    state.SetIterationTime(ChildrenCpuSeconds() - start);
  }
}

}  // namespace

// Argument 0: 0 for the default (floating-point DCT), 1 for best speed (fast
// integer DCT).
BENCHMARK(ProgramPath)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(ReferenceDecoder)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_MAIN();
