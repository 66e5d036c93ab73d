// The settings a JPEG picture decodes with. Every picture copies them from
// one process-wide set of defaults when it is made.
#pragma once

// Output size divided by 1, 2, 4 or 8 (2 to the power of the value). The
// library build shipped for 32-bit Windows decodes at full size only, the
// default, which nothing changes (scripts/bootstrap.sh).
enum class JpegScale { Full, Half, Quarter, Eighth };
// 8 bits means colour-quantised output with a palette.
enum class JpegPixelFormat { Bits24, Bits8 };
// Best speed: fast integer DCT, one-pass quantisation, ordered dithering.
enum class JpegPerformance { BestQuality, BestSpeed };

struct JpegSettings {
  JpegScale scale = JpegScale::Full;
  bool smoothing = true;  // block smoothing of progressive files' early scans
  bool grayscale = false;
  JpegPixelFormat pixelFormat = JpegPixelFormat::Bits24;
  JpegPerformance performance = JpegPerformance::BestQuality;
  int quality = 90;                  // only for compressing, which this program never does
  bool progressiveDisplay = false;   // never used
  bool progressiveEncoding = false;  // whether the loaded file has multiple scans
};
