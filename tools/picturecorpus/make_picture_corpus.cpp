// Writes the seed corpus of the picture header fuzz target: bitmap files of
// every header kind and depth, run-length encoded ones, files cut at the
// places where the readers change step, and metafile headers of both kinds.
// Usage: makepicturecorpus <folder>
#include "PictureWriter.h"

#include <cstdio>
#include <string>

namespace pw = picture_writer;

namespace {

std::string folder;
int written = 0;

void Emit(const std::string& name, const pw::Bytes& bytes) {
  const std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    return;
  }
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  ++written;
}

uint32_t Pattern(int x, int y) { return static_cast<uint32_t>(x * 37 + y * 11); }

pw::Bmp Picture(uint16_t bits, uint32_t infoSize) {
  pw::Bmp s;
  s.width = 3;
  s.height = 2;
  s.bitCount = bits;
  s.infoSize = infoSize;
  if (bits <= 8)
    for (int i = 0; i < (1 << bits); ++i) s.colours.push_back(static_cast<uint32_t>(i * 0x010203));
  s.pixels = pw::Rows(3, 2, bits, false, Pattern);
  return s;
}

void Bitmaps() {
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    Emit("bmp_" + std::to_string(bits), pw::Write(Picture(bits, 40)));
    Emit("bmp_v5_" + std::to_string(bits), pw::Write(Picture(bits, 124)));
    if (bits != 16 && bits != 32) Emit("bmp_core_" + std::to_string(bits), pw::Write(Picture(bits, 12)));
  }
  pw::Bmp fields = Picture(16, 40);
  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  Emit("bmp_bitfields_16", pw::Write(fields));
  pw::Bmp topDown = Picture(24, 40);
  topDown.height = -2;
  Emit("bmp_topdown_24", pw::Write(topDown));
  for (uint16_t bits : {4, 8}) {
    pw::Bmp rle = Picture(bits, 40);
    rle.compression = bits == 8 ? 1 : 2;
    rle.pixels = pw::Rle(3, 2, bits, Pattern);
    Emit("bmp_rle" + std::to_string(bits), pw::Write(rle));
  }
  // Cut inside the file header, the info header, the colour table, the pixels.
  const pw::Bytes whole = pw::Write(Picture(8, 40));
  for (size_t length : {0, 9, 20, 100, 1000, 1060}) {
    pw::Bytes cut(whole.begin(), whole.begin() + static_cast<long>(std::min(length, whole.size())));
    Emit("bmp_cut_" + std::to_string(length), cut);
  }
}

void Metafiles() {
  Emit("emf_shell", pw::EnhancedShell(0, 0, 2540, 1270, 140));
  Emit("emf_small_total", pw::EnhancedShell(0, 0, 2540, 1270, 60));
  pw::Bytes emfCut = pw::EnhancedShell(0, 0, 2540, 1270, 400);
  emfCut.resize(200);
  Emit("emf_cut", emfCut);
  // A Windows metafile of a header and its end record.
  const pw::Bytes wmf = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0,
                         3, 0, 0, 0, 0, 0};
  Emit("wmf_placeable", pw::Placeable(0, 0, 1440, 720, 1440, wmf));
  Emit("wmf_placeable_zero_inch", pw::Placeable(-10, -10, 100, 50, 0, wmf));
  Emit("wmf_bad_checksum", pw::Placeable(0, 0, 10, 10, 96, wmf, false));
  Emit("wmf_plain", wmf);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makepicturecorpus <folder>\n");
    return 2;
  }
  folder = argv[1];
  Bitmaps();
  Metafiles();
  std::printf("%d files\n", written);
  return 0;
}
