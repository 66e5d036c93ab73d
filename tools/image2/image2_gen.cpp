// Draws the progress window's head picture: a glossy blue rounded-square
// tile bearing a pale, glass-like computer (a monitor above a keyboard, with
// a cable loop), on near-white corners. Writes a 56 x 53 true-colour BMP
// (bottom-up rows, no colour table, 2835 pixels per metre).
//   image2_gen <output.bmp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 56;
constexpr int kHeight = 53;
constexpr int kSamples = 4;  // per axis, for smooth edges

struct Colour {
  double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Signed distance to a rounded rectangle (negative inside).
double RoundedBox(double x, double y, double cx, double cy, double hw, double hh, double radius) {
  double qx = std::fabs(x - cx) - (hw - radius);
  double qy = std::fabs(y - cy) - (hh - radius);
  double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}


Colour Shade(double x, double y) {
  const Colour paper{251, 252, 253};
  Colour c = paper;

  // Soft shadow under the tile.
  double shadow = RoundedBox(x, y, 28.5, 27.5, 26.5, 25.5, 10);
  if (shadow < 1.5) c = Mix(c, Colour{214, 220, 230}, 0.5 * (1.5 - std::max(shadow, 0.0)) / 1.5);

  // The tile: deep blue at the bottom, brighter blue at the top.
  double tile = RoundedBox(x, y, 28, 26.5, 26.5, 25.5, 10);
  if (tile < 0) {
    double t = y / kHeight;
    Colour blue = Mix(Colour{86, 152, 238}, Colour{16, 58, 168}, t);
    // Darker rim.
    if (tile > -1.2) blue = Mix(blue, Colour{10, 40, 120}, 0.6);
    c = blue;
    // Gloss: a pale ellipse over the upper half.
    double gx = (x - 28) / 24.0, gy = (y - 10) / 13.0;
    if (gx * gx + gy * gy < 1.0 && y < 24) c = Mix(c, Colour{255, 255, 255}, 0.35 * (1 - y / 24.0) + 0.1);
  }

  const Colour glass{226, 238, 252};
  const Colour glassEdge{178, 204, 238};
  // Monitor: a pale frame around a glassy screen.
  double monitor = RoundedBox(x, y, 27, 19, 15, 11.5, 2.5);
  if (monitor < 0) {
    c = Mix(c, monitor > -1 ? glassEdge : glass, 0.92);
    double screen = RoundedBox(x, y, 27, 18.5, 11.5, 8.5, 1);
    if (screen < 0) {
      Colour glassy = Mix(Colour{150, 196, 244}, Colour{96, 150, 226}, (y - 10) / 17.0);
      // A diagonal reflection across the glass.
      double d = (x - 18) + (y - 10) * 0.9;
      if (d > 2 && d < 8) glassy = Mix(glassy, Colour{240, 248, 255}, 0.55);
      c = glassy;
    }
  }
  // Stand.
  if (y >= 30.5 && y < 34 && std::fabs(x - 27) < 3 + (y - 30.5) * 0.8) c = Mix(c, glassEdge, 0.9);
  if (y >= 33.5 && y < 35 && std::fabs(x - 27) < 8) c = Mix(c, glass, 0.9);

  // Keyboard: a flat slanted slab with rows of keys.
  double slant = (y - 38) * 0.6;
  if (y >= 37.5 && y < 45.5 && x > 9 - slant && x < 43 + slant) {
    c = Mix(c, glass, 0.92);
    bool keyRow = static_cast<int>(std::floor(y - 37.5)) % 2 == 1 && y < 44.5;
    bool keyGap = static_cast<int>(std::floor(x + slant)) % 3 == 0;
    if (keyRow && !keyGap && x > 11 - slant && x < 41 + slant) c = Mix(c, glassEdge, 0.8);
  }

  // Cable loop from the keyboard's right end round to the monitor's side.
  double ring = std::hypot(x - 46.5, y - 36.5);
  if (std::fabs(ring - 4.5) < 0.8 && !(x < 44 && y > 36.5)) c = Mix(c, glass, 0.9);

  return c;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: image2_gen <output.bmp>\n");
    return 2;
  }
  const uint32_t rowSize = (kWidth * 3 + 3) & ~3u;
  const uint32_t imageSize = rowSize * kHeight;
  std::vector<uint8_t> file;
  file.reserve(54 + imageSize);
  // File header.
  file.push_back('B');
  file.push_back('M');
  Put32(file, 54 + imageSize);
  Put32(file, 0);
  Put32(file, 54);
  // Information header.
  Put32(file, 40);
  Put32(file, kWidth);
  Put32(file, kHeight);  // positive: bottom-up rows
  Put16(file, 1);
  Put16(file, 24);
  Put32(file, 0);  // uncompressed
  Put32(file, imageSize);
  Put32(file, 2835);
  Put32(file, 2835);
  Put32(file, 0);
  Put32(file, 0);

  for (int row = kHeight - 1; row >= 0; --row) {
    uint32_t written = 0;
    for (int col = 0; col < kWidth; ++col) {
      Colour sum{0, 0, 0};
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Colour s = Shade(col + (sx + 0.5) / kSamples, row + (sy + 0.5) / kSamples);
          sum.r += s.r;
          sum.g += s.g;
          sum.b += s.b;
        }
      }
      const double n = kSamples * kSamples;
      file.push_back(static_cast<uint8_t>(std::lround(sum.b / n)));
      file.push_back(static_cast<uint8_t>(std::lround(sum.g / n)));
      file.push_back(static_cast<uint8_t>(std::lround(sum.r / n)));
      written += 3;
    }
    for (; written < rowSize; ++written) file.push_back(0);
  }

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return (std::fclose(out) == 0 && ok) ? 0 : 1;
}
