#include "ui/jpeg/core/JpegDecoder.h"

#include "ui/jpeg/core/CmykRows.h"
#include "ui/jpeg/core/JpegDecompressor.h"
#include "ui/pictures/core/BitmapHeader.h"

#include <vector>

namespace {

constexpr int kPaletteColours = 236;
constexpr int kMaxRowsPerCall = 16;

// The settings that decide how the library decodes, applied after the
// header was read on top of the library's header defaults.
void ApplySettings(jpeg_decompress_struct& info, const JpegSettings& settings) {
  info.dct_method = JDCT_FLOAT;
  info.scale_num = 1;
  info.scale_denom = 1u << static_cast<unsigned>(settings.scale);
  info.do_block_smoothing = settings.smoothing ? TRUE : FALSE;
  if (settings.grayscale) info.out_color_space = JCS_GRAYSCALE;

  // Colour output comes in the order of a 24-bit Windows bitmap row; the
  // quantiser's colour map then holds blue, green, red in that order too.
  // Four-component files stay CMYK and are converted row by row. Anything
  // else (two components, unknown spaces) is asked for as colour, which the
  // library refuses with its own message code.
  if (info.out_color_space != JCS_GRAYSCALE && info.out_color_space != JCS_CMYK)
    info.out_color_space = JCS_EXT_BGR;

  // The library's quantisers cannot map four components to a palette of
  // colours, so CMYK files always become 24-bit pictures.
  bool cmyk = info.out_color_space == JCS_CMYK;
  if (!cmyk && (settings.pixelFormat == JpegPixelFormat::Bits8 ||
                info.out_color_space == JCS_GRAYSCALE)) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = kPaletteColours;
  }
  if (settings.performance == JpegPerformance::BestSpeed) {
    info.dct_method = JDCT_IFAST;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
  }
}

void PassPalette(const jpeg_decompress_struct& info, JpegRowTarget& target) {
  if (!info.quantize_colors || !info.colormap) return;
  int count = info.actual_number_of_colors;
  std::vector<JpegPaletteEntry> entries(count);
  bool gray = info.out_color_components == 1;
  for (int i = 0; i < count; ++i) {
    if (gray) {
      uint8_t level = info.colormap[0][i];
      entries[i] = {level, level, level};
    } else {
      entries[i] = {info.colormap[2][i], info.colormap[1][i], info.colormap[0][i]};
    }
  }
  target.SetPalette(entries.data(), count);
}

// Rows go straight into the target's memory. When row 1 follows row 0 in
// memory at a step that keeps rows aligned, the library's recommended
// number of rows is read per call; otherwise (a bottom-up bitmap) one row.
void ReadRows(JpegDecompressor& decoder, JpegRowTarget& target) {
  jpeg_decompress_struct& info = decoder.Info();
  const int height = static_cast<int>(info.output_height);
  const int width = static_cast<int>(info.output_width);
  uint8_t* row0 = target.Row(0);
  ptrdiff_t step = height > 1 ? target.Row(1) - row0 : 0;
  int rowsPerCall = 1;
  if (step > 0 && step % 4 == 0)
    rowsPerCall = std::min(std::max(info.rec_outbuf_height, 1), kMaxRowsPerCall);

  // CMYK samples (4 bytes a pixel) do not fit 24-bit rows: they land in a
  // small buffer and are converted into the rows.
  const bool cmyk = info.out_color_space == JCS_CMYK;
  const bool inverted = info.saw_Adobe_marker;
  std::vector<uint8_t> cmykRows(cmyk ? static_cast<size_t>(width) * 4 * rowsPerCall : 0);

  JSAMPROW rows[kMaxRowsPerCall];
  while (info.output_scanline < info.output_height) {
    int first = static_cast<int>(info.output_scanline);
    int count = std::min(rowsPerCall, height - first);
    for (int i = 0; i < count; ++i)
      rows[i] = cmyk ? cmykRows.data() + static_cast<size_t>(i) * width * 4
                     : row0 + (first + i) * step;
    int read = static_cast<int>(decoder.ReadScanlines(rows, count));
    if (read <= 0) break;  // cannot happen with a source that never suspends
    if (cmyk) {
      for (int i = 0; i < read; ++i)
        CmykRowToBgr(rows[i], row0 + (first + i) * step, width, inverted);
    }
  }
}

}  // namespace

JpegHeader ReadJpegHeader(const uint8_t* data, size_t size) {
  JpegDecompressor decoder(data, size);
  decoder.ReadHeader();
  jpeg_decompress_struct& info = decoder.Info();
  JpegHeader header;
  header.width = static_cast<int>(info.image_width);
  header.height = static_cast<int>(info.image_height);
  header.grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
  header.progressive = decoder.HasMultipleScans();
  return header;
}

void JpegOutputSize(const uint8_t* data, size_t size, JpegScale scale, int& width, int& height) {
  JpegDecompressor decoder(data, size);
  decoder.ReadHeader();
  jpeg_decompress_struct& info = decoder.Info();
  info.scale_num = 1;
  info.scale_denom = 1u << static_cast<unsigned>(scale);
  decoder.CalcOutputDimensions();
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
}

int DecodeJpeg(const uint8_t* data, size_t size, const JpegSettings& settings,
               JpegRowTarget& target) {
  JpegDecompressor decoder(data, size);
  decoder.ReadHeader();
  jpeg_decompress_struct& info = decoder.Info();
  ApplySettings(info, settings);
  int bitsPerPixel = info.quantize_colors ? 8 : 24;

  // The bitmap's size is known before the library takes any memory for the
  // picture: one over the bitmap limit is refused here.
  decoder.CalcOutputDimensions();
  if (BitmapPixelBytes(info.output_width, info.output_height, bitsPerPixel) > kMaxBitmapPixelBytes)
    decoder.Refuse(JERR_IMAGE_TOO_BIG);
  decoder.StartDecompress();
  target.SetFormat(bitsPerPixel, static_cast<int>(info.output_width),
                   static_cast<int>(info.output_height));
  PassPalette(info, target);
  ReadRows(decoder, target);
  decoder.FinishDecompress();
  return static_cast<int>(info.err->num_warnings);
}
