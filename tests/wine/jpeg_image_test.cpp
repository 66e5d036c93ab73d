// Decoding each kind of file against the reference decoder is pinned beside
// the decoder; here only what the bitmap and the platform add.
#include "../support/JpegSupport.h"

#include "runtime/core/Failures.h"
#include "runtime/Handles.h"
#include "streams/core/MemoryStream.h"
#include "ui/jpeg/JPEGImage.h"
#include "ui/pictures/Bitmap.h"
#include "ui/pictures/FileFormats.h"
#include "ui/pictures/Picture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A picture made with the given defaults and loaded from a fixture.
struct Loaded {
  explicit Loaded(const std::string& name, JpegSettings settings = {}) {
    JpegSettings saved = JPEGDefaults();
    JPEGDefaults() = settings;
    image = std::make_unique<TJPEGImage>();
    JPEGDefaults() = saved;
    Bytes bytes = name.empty() ? Bytes() : ReadFixture(name);
    TMemoryStream stream(bytes.data(), bytes.size());
    image->LoadFromStream(stream);
  }
  std::unique_ptr<TJPEGImage> image;
};

// What the first draw does: decoding into the bitmap.
void DrawOnce(TGraphic& graphic) {
  UniqueMemDC dc(CreateCompatibleDC(nullptr));
  RECT rect = {0, 0, graphic.Width(), graphic.Height()};
  graphic.Draw(dc.get(), rect);
}

JpegPaletteEntry BitmapPixel(TBitmap& bitmap, int x, int y) {
  const auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(y));
  if (bitmap.BitCount() == 8) {
    PALETTEENTRY entry = {};
    GetPaletteEntries(bitmap.Palette(), row[x], 1, &entry);
    return {entry.peRed, entry.peGreen, entry.peBlue};
  }
  return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
}

int MaxDifference(TBitmap& bitmap, const Pnm& reference) {
  if (bitmap.Width() != reference.width || bitmap.Height() != reference.height) return -1;
  int worst = 0;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x) {
      JpegPaletteEntry a = BitmapPixel(bitmap, x, y), b = reference.At(x, y);
      worst = std::max({worst, std::abs(a.red - b.red), std::abs(a.green - b.green),
                        std::abs(a.blue - b.blue)});
    }
  return worst;
}

std::string FailureOfDraw(TGraphic& graphic) {
  try {
    DrawOnce(graphic);
  } catch (const Exception& failure) {
    return failure.Message();
  }
  return "no failure";
}

}  // namespace

TEST(JPEGImage, ReportsTheHeaderSizeBeforeDecodingAndDecodesAtTheFirstDraw) {
  Loaded colour("baseline.jpg");
  EXPECT_EQ(colour.image->Width(), 640);
  EXPECT_EQ(colour.image->Height(), 480);
  EXPECT_FALSE(colour.image->Data().FGrayscale);
  DrawOnce(*colour.image);
  TBitmap& bitmap = colour.image->DecodeToBitmap();
  EXPECT_EQ(bitmap.BitCount(), 24);
  EXPECT_EQ(bitmap.Width(), 640);
  EXPECT_EQ(bitmap.Height(), 480);
  EXPECT_LE(MaxDifference(bitmap, ReadPnm("baseline.float.ppm")), 1) << "rows as decoded, top first";
}

TEST(JPEGImage, GrayscaleAndEightBitPicturesGetThePaletteOfTheQuantiser) {
  Loaded gray("gray.jpg");
  EXPECT_TRUE(gray.image->Data().FGrayscale);
  DrawOnce(*gray.image);
  TBitmap& grayBitmap = gray.image->DecodeToBitmap();
  EXPECT_EQ(grayBitmap.BitCount(), 8);
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetPaletteEntries(grayBitmap.Palette(), 0, 256, entries), 236u);
  EXPECT_EQ(MaxDifference(grayBitmap, ReadPnm("gray.q236.pgm")), 0) << "indices read through the palette";

  // The section's colour table is the palette too, so the bitmap draws right.
  UniqueMemDC dc(CreateCompatibleDC(nullptr));
  SelectionGuard select(dc.get(), grayBitmap.Handle());
  RGBQUAD table[256];
  ASSERT_GE(GetDIBColorTable(dc.get(), 0, 256, table), 236u);
  EXPECT_EQ(table[100].rgbBlue, entries[100].peBlue);

  JpegSettings eightBit;
  eightBit.pixelFormat = JpegPixelFormat::Bits8;  // as on a screen of 8 bits per pixel
  Loaded colour("baseline.jpg", eightBit);
  DrawOnce(*colour.image);
  TBitmap& colourBitmap = colour.image->DecodeToBitmap();
  EXPECT_EQ(colourBitmap.BitCount(), 8);
  UINT count = GetPaletteEntries(colourBitmap.Palette(), 0, 256, entries);
  EXPECT_GT(count, 100u);
  EXPECT_LE(count, 236u);
  EXPECT_EQ(MaxDifference(colourBitmap, ReadPnm("baseline.q236.ppm")), 0);
}

TEST(JPEGImage, LoadingFailuresAndEmptyFiles) {
  // Not a JPEG file: code 53 at loading, the picture stays empty.
  auto image = std::make_unique<TJPEGImage>();
  Bytes bitmapFile = {'B', 'M', 0, 0, 0, 0, 0, 0};
  TMemoryStream stream(bitmapFile.data(), bitmapFile.size());
  try {
    image->LoadFromStream(stream);
    ADD_FAILURE() << "no failure";
  } catch (const EJPEG& failure) {
    EXPECT_EQ(failure.Message(), "JPEG-Fehler #53");
  }
  EXPECT_TRUE(image->Empty());
  EXPECT_EQ(image->Width(), 0);

  // A file of 0 bytes: an empty 0 x 0 picture that draws nothing.
  Loaded empty("");
  EXPECT_TRUE(empty.image->Empty());
  EXPECT_EQ(empty.image->Width(), 0);
  EXPECT_EQ(empty.image->Height(), 0);
  EXPECT_EQ(FailureOfDraw(*empty.image), "no failure");

  // Loading starts at the stream's position.
  Bytes baseline = ReadFixture("baseline.jpg");
  Bytes prefixed = {'x', 'y', 'z'};
  prefixed.insert(prefixed.end(), baseline.begin(), baseline.end());
  TMemoryStream offset(prefixed.data(), prefixed.size());
  offset.SetPosition(3);
  image->LoadFromStream(offset);
  EXPECT_EQ(image->Width(), 640);
}

TEST(JPEGImage, ArithmeticCodedPictureLoadsFailsAtItsFirstDrawAndIsNotDecodedAgain) {
  Loaded arith("arith.jpg");
  EXPECT_EQ(arith.image->Width(), 96);
  EXPECT_EQ(FailureOfDraw(*arith.image), "JPEG-Fehler #1");
  EXPECT_EQ(FailureOfDraw(*arith.image), "no failure");  // the kept bitmap is drawn
  EXPECT_TRUE(arith.image->DecodeToBitmap().Empty());
}

TEST(JPEGImage, SizeCannotBeChanged) {
  Loaded colour("baseline.jpg");
  try {
    colour.image->SetWidth(10);
    ADD_FAILURE() << "no failure";
  } catch (const EInvalidGraphicOperation& failure) {
    EXPECT_EQ(failure.Message(),
              "Die Gr\xF6\xDF" "e einer JPEG-Grafik kann nicht ver\xE4" "ndert werden");
  }
  EXPECT_THROW(colour.image->SetHeight(10), EInvalidGraphicOperation);
  EXPECT_EQ(colour.image->Width(), 640);

  JpegSettings half;
  half.scale = JpegScale::Half;
  Loaded scaled("baseline.jpg", half);
  EXPECT_EQ(scaled.image->Width(), 320);
  EXPECT_EQ(scaled.image->Height(), 240);
}

TEST(JPEGImage, IsThePictureKindForJpegAndJpgFiles) {
  InitializeJPEGImage();
  WindowDC screen(nullptr);
  int bits = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
  EXPECT_EQ(JPEGDefaults().pixelFormat, bits <= 8 ? JpegPixelFormat::Bits8 : JpegPixelFormat::Bits24);
  for (const char* extension : {"jpeg", "jpg"}) {
    const TFileFormat* format = GetFileFormats().Find(extension);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->description, "JPEG-Grafikdatei");
    EXPECT_NE(dynamic_cast<TJPEGImage*>(format->factory().get()), nullptr);
  }
  TPicture picture;
  picture.LoadPictureFile(std::string(JPEG_FIXTURES) + "/baseline.jpg");
  EXPECT_EQ(picture.PictureWidth(), 640);
  EXPECT_EQ(picture.PictureHeight(), 480);
}
