#include "PictureFiles.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/pictures/Bitmap.h"
#include "ui/pictures/FileFormats.h"
#include "ui/pictures/Image.h"
#include "ui/pictures/Metafile.h"
#include "ui/pictures/Picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

namespace pw = picture_writer;
using picture_files::FillBox;
using picture_files::Rendering;
using picture_files::ScratchFolder;

namespace {

constexpr int kW = 5;  // odd widths leave padding at the end of most rows
constexpr int kH = 3;

using Pattern = std::function<uint32_t(int, int)>;

// One bitmap case: the file's description and the colour each pixel must show.
struct DepthCase {
  const char* name;
  pw::Bmp file;
  Pattern raw;       // the value stored for each pixel
  Pattern expected;  // the colour it shows
  int tolerance = 0;
};

std::vector<uint32_t> Ramp(int count) {
  std::vector<uint32_t> colours;
  for (int i = 0; i < count; ++i) {
    const uint32_t v = static_cast<uint32_t>(i * 255 / (count - 1));
    colours.push_back((v << 16) | ((255 - v) << 8) | (v / 2 + 7));
  }
  return colours;
}

DepthCase Indexed(const char* name, uint16_t bits) {
  DepthCase c;
  c.name = name;
  const int count = 1 << bits;
  const std::vector<uint32_t> colours = Ramp(count);
  Pattern index = [count](int x, int y) { return static_cast<uint32_t>((x * 7 + y * 3) % count); };
  c.file.width = kW;
  c.file.height = kH;
  c.file.bitCount = bits;
  c.file.colours = colours;
  c.raw = index;
  c.file.pixels = pw::Rows(kW, kH, bits, false, index);
  c.expected = [colours, index](int x, int y) { return colours[index(x, y)]; };
  return c;
}

uint32_t Packed(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

DepthCase Direct(const char* name, uint16_t bits, std::vector<uint32_t> masks, Pattern raw,
                 Pattern colour, int tolerance = 0) {
  DepthCase c;
  c.name = name;
  c.file.width = kW;
  c.file.height = kH;
  c.file.bitCount = bits;
  if (!masks.empty()) {
    c.file.compression = 3;
    c.file.masks = masks;
  }
  c.raw = raw;
  c.file.pixels = pw::Rows(kW, kH, bits, false, raw);
  c.expected = colour;
  c.tolerance = tolerance;
  return c;
}

// Channel values 0..31 (or 0..63) spread across the picture.
uint32_t Five(int x, int y, int k) { return static_cast<uint32_t>((x * 5 + y * 11 + k * 13) % 32); }
uint32_t Widen5(uint32_t v) { return v * 255 / 31; }
uint32_t Widen6(uint32_t v) { return v * 255 / 63; }

std::vector<DepthCase> AllDepths() {
  std::vector<DepthCase> cases = {Indexed("1 bit", 1), Indexed("4 bits", 4), Indexed("8 bits", 8)};
  cases.push_back(Direct(
      "16 bits, 5-5-5", 16, {},
      [](int x, int y) { return (Five(x, y, 0) << 10) | (Five(x, y, 1) << 5) | Five(x, y, 2); },
      [](int x, int y) { return Packed(Widen5(Five(x, y, 0)), Widen5(Five(x, y, 1)), Widen5(Five(x, y, 2))); },
      8));
  cases.push_back(Direct(
      "16 bits, bit fields 5-6-5", 16, {0xF800, 0x07E0, 0x001F},
      [](int x, int y) { return (Five(x, y, 0) << 11) | ((Five(x, y, 1) * 2) << 5) | Five(x, y, 2); },
      [](int x, int y) {
        return Packed(Widen5(Five(x, y, 0)), Widen6(Five(x, y, 1) * 2), Widen5(Five(x, y, 2)));
      },
      8));
  Pattern rgb = [](int x, int y) { return Packed(x * 50, y * 100, 255 - x * 40 - y * 5); };
  cases.push_back(Direct("24 bits", 24, {}, rgb, rgb));
  cases.push_back(Direct("32 bits", 32, {}, rgb, rgb));
  cases.push_back(Direct(
      "32 bits, bit fields blue-green-red", 32, {0x0000FF, 0x00FF00, 0xFF0000},
      [rgb](int x, int y) {
        const uint32_t c = rgb(x, y);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16);
      },
      rgb));
  return cases;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

void ExpectPixels(TGraphic& graphic, const std::function<uint32_t(int, int)>& expected,
                  const char* what, int tolerance = 0, int rows = kH) {
  Rendering r(kW, kH);
  r.Draw(graphic);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < kW; ++x)
      EXPECT_TRUE(Near(r.At(x, y), expected(x, y), tolerance))
          << what << " at " << x << "," << y << ": " << std::hex << r.At(x, y) << " not "
          << expected(x, y);
}

template <typename Failure>
void ExpectLoadFailure(TPicture& picture, const std::string& file, const std::string& message) {
  try {
    picture.LoadPictureFile(file);
    ADD_FAILURE() << file << " loaded, expected " << message;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Message(), message) << file;
  } catch (const Exception& other) {
    ADD_FAILURE() << file << ": " << other.ClassName() << " " << other.Message();
  }
}

}  // namespace

TEST(BitmapPicture, EveryDepthLoadsWithItsColours) {
  ScratchFolder folder;
  for (const DepthCase& c : AllDepths()) {
    TPicture picture;
    picture.LoadPictureFile(folder.Write("Setup.bmp", pw::Write(c.file)));
    EXPECT_EQ(picture.PictureWidth(), kW) << c.name;
    EXPECT_EQ(picture.PictureHeight(), kH) << c.name;
    ExpectPixels(*picture.Graphic(), c.expected, c.name, c.tolerance);
  }
}

TEST(BitmapPicture, TopDownRowsAndCoreHeadersGiveTheSamePicture) {
  ScratchFolder folder;
  for (const DepthCase& base : {Indexed("8 bits", 8), AllDepths()[5]}) {
    DepthCase topDown = base;
    topDown.file.height = -kH;
    topDown.file.pixels = pw::Rows(kW, kH, base.file.bitCount, true, base.raw);
    TPicture picture;
    picture.LoadPictureFile(folder.Write("top.bmp", pw::Write(topDown.file)));
    EXPECT_EQ(picture.PictureHeight(), kH);
    ExpectPixels(*picture.Graphic(), base.expected, "top-down");

    DepthCase core = base;
    core.file.infoSize = 12;
    picture.LoadPictureFile(folder.Write("core.bmp", pw::Write(core.file)));
    ExpectPixels(*picture.Graphic(), base.expected, "core header");
  }
}

TEST(BitmapPicture, RunLengthEncodedPicturesLoad) {
  ScratchFolder folder;
  for (uint16_t bits : {uint16_t(8), uint16_t(4)}) {
    DepthCase c = Indexed(bits == 8 ? "RLE8" : "RLE4", bits);
    Pattern index = [bits](int x, int y) { return static_cast<uint32_t>((x / 2 + y * 3) % (1 << bits)); };
    const std::vector<uint32_t> colours = c.file.colours;
    c.file.compression = bits == 8 ? 1 : 2;
    c.file.pixels = pw::Rle(kW, kH, bits, index);
    TPicture picture;
    picture.LoadPictureFile(folder.Write("rle.bmp", pw::Write(c.file)));
    EXPECT_EQ(picture.PictureWidth(), kW);
    ExpectPixels(*picture.Graphic(), [&](int x, int y) { return colours[index(x, y)]; }, c.name);
  }
}

TEST(BitmapPicture, EmptyFileLoadsAsAnEmptyPicture) {
  ScratchFolder folder;
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&]() { ++changes; });
  picture.LoadPictureFile(folder.Write("Setup.bmp", {}));
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_TRUE(picture.Graphic()->Empty());
  EXPECT_EQ(picture.PictureWidth(), 0);
  EXPECT_EQ(picture.PictureHeight(), 0);
  EXPECT_EQ(changes, 1);
}

TEST(BitmapPicture, BrokenFilesAreRefusedAndTheHolderKeepsItsPicture) {
  ScratchFolder folder;
  TPicture picture;
  const DepthCase good = Indexed("8 bits", 8);
  picture.LoadPictureFile(folder.Write("good.bmp", pw::Write(good.file)));
  TGraphic* before = picture.Graphic();

  // What the header reader refuses (each refusal is pinned beside it) reaches
  // the holder with its message.
  pw::Bytes wrongType = pw::Write(good.file);
  wrongType[1] = 'N';
  ExpectLoadFailure<EInvalidGraphic>(picture, folder.Write("type.bmp", wrongType), msg::InvalidBitmap);
  pw::Bytes cutTable = pw::Write(good.file);
  cutTable.resize(14 + 40 + 4 * 100);
  ExpectLoadFailure<EReadError>(picture, folder.Write("cut.bmp", cutTable), msg::ReadError);
  pw::Bmp zeroWidth = good.file;
  zeroWidth.width = 0;
  // Refused by the platform: its own error, or "Bitmap ist ungültig".
  EXPECT_THROW(picture.LoadPictureFile(folder.Write("zero.bmp", pw::Write(zeroWidth))), Exception);
  EXPECT_EQ(picture.Graphic(), before);
}

TEST(BitmapPicture, FileCutInsideThePixelsLoadsTheRowsItHolds) {
  ScratchFolder folder;
  DepthCase c = Indexed("8 bits", 8);
  pw::Bytes bytes = pw::Write(c.file);
  bytes.resize(bytes.size() - 8 - 3);  // the top row and part of the middle one are missing
  TPicture picture;
  picture.LoadPictureFile(folder.Write("cut.bmp", bytes));
  EXPECT_EQ(picture.PictureWidth(), kW);
  EXPECT_EQ(picture.PictureHeight(), kH);
  Rendering r(kW, kH);
  r.Draw(*picture.Graphic());
  for (int x = 0; x < kW; ++x) EXPECT_EQ(r.At(x, 2), c.expected(x, 2)) << x;  // bottom row
}

TEST(BitmapPicture, DeepBitmapTakesItsColourTableAsPalette) {
  ScratchFolder folder;
  pw::Bmp s;
  s.clrUsed = 2;
  s.colours = {0x112233, 0x445566};
  s.pixels = pw::Rows(1, 1, 24, false, [](int, int) { return 0u; });
  TPicture picture;
  picture.LoadPictureFile(folder.Write("p.bmp", pw::Write(s)));
  auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bitmap->Palette(), nullptr);
  PALETTEENTRY entries[4];
  ASSERT_EQ(GetPaletteEntries(bitmap->Palette(), 0, 4, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 0x44);
  EXPECT_EQ(entries[1].peBlue, 0x66);
}

TEST(BitmapPicture, SectionsForDecodingAreWrittenRowByRowFromTheTop) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(24);
  bitmap.SetSize(kW, kH);
  EXPECT_EQ(bitmap.Width(), kW);
  EXPECT_EQ(bitmap.Height(), kH);
  ASSERT_NE(bitmap.ScanLine(0), nullptr);
  // Bottom-up: row 1 lies one stride below row 0 in memory.
  EXPECT_EQ(static_cast<uint8_t*>(bitmap.ScanLine(0)) - static_cast<uint8_t*>(bitmap.ScanLine(1)), 16);
  EXPECT_EQ(bitmap.ScanLine(kH), nullptr);
  for (int y = 0; y < kH; ++y) {
    auto* row = static_cast<uint8_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < kW; ++x) {
      row[x * 3] = static_cast<uint8_t>(x * 40);  // blue, green, red
      row[x * 3 + 1] = static_cast<uint8_t>(y * 80);
      row[x * 3 + 2] = 200;
    }
  }
  ExpectPixels(bitmap, [](int x, int y) { return Packed(200, y * 80, x * 40); }, "24-bit section");

  TBitmap indexed;
  indexed.SetPixelFormat(8);
  indexed.SetSize(kW, kH);
  EXPECT_EQ(indexed.PixelFormat(), 8);
  for (int y = 0; y < kH; ++y) std::memset(indexed.ScanLine(y), y, kW);
  ExpectPixels(indexed, [](int, int y) { return Packed(y, y, y); }, "grey ramp");
  const std::vector<uint32_t> colours = Ramp(3);
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 3;
  for (int i = 0; i < 3; ++i)
    lp->palPalEntry[i] = PALETTEENTRY{BYTE(colours[i] >> 16), BYTE(colours[i] >> 8), BYTE(colours[i]), 0};
  indexed.SetPalette(CreatePalette(lp));
  ExpectPixels(indexed, [&](int, int y) { return colours[y]; }, "palette");
}

TEST(MetafilePicture, EnhancedMetafileNamedWmfLoadsByContent) {
  ScratchFolder folder;
  const RECT frame = {0, 0, 2540, 1270};
  const pw::Bytes emf = picture_files::RecordEnhanced(frame, [](HDC dc) {
    FillBox(dc, 0, 0, 96, 48, RGB(200, 30, 40));
  });
  TPicture picture;
  picture.LoadPictureFile(folder.Write("Setup.wmf", emf));
  auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
  ASSERT_NE(metafile, nullptr);
  EXPECT_TRUE(metafile->Enhanced());
  // Sized by the recording device (frame and scaling are pinned beside the header reader).
  EXPECT_GT(picture.PictureWidth(), 0);
  EXPECT_NEAR(picture.PictureWidth(), 2 * picture.PictureHeight(), 2);
  EXPECT_TRUE(metafile->Transparent());
  metafile->SetTransparent(false);
  EXPECT_TRUE(metafile->Transparent());

  Rendering r(40, 20);
  RECT all = {0, 0, 40, 20};
  metafile->Draw(r.Dc(), all);
  GdiFlush();
  EXPECT_EQ(r.At(20, 10), Packed(200, 30, 40));
}

TEST(MetafilePicture, PlaceableMetafileNamedEmfLoadsByContentAndSizesByUnitsPerInch) {
  ScratchFolder folder;
  const pw::Bytes wmf = picture_files::RecordWindows([](HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 1440, 720, nullptr);
    FillBox(dc, 0, 0, 1440, 720, RGB(10, 160, 90));
  });
  TPicture picture;
  picture.LoadPictureFile(folder.Write("Setup.emf", pw::Placeable(0, 0, 1440, 720, 1440, wmf)));
  auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
  ASSERT_NE(metafile, nullptr);
  EXPECT_FALSE(metafile->Enhanced());
  ASSERT_EQ(MetafileScreenResolution(), 96);
  EXPECT_EQ(picture.PictureWidth(), 96);
  EXPECT_EQ(picture.PictureHeight(), 48);

  Rendering r(96, 48);
  RECT all = {0, 0, 96, 48};
  metafile->Draw(r.Dc(), all);
  GdiFlush();
  EXPECT_EQ(r.At(48, 24), Packed(10, 160, 90));
  // Played into the rectangle less one pixel at the right and the bottom.
  EXPECT_EQ(r.At(95, 24), Packed(1, 2, 3));
  EXPECT_EQ(r.At(48, 47), Packed(1, 2, 3));
}

TEST(MetafilePicture, PaletteKeepsTheFirst256OfMoreEntries) {
  ScratchFolder folder;
  const RECT frame = {0, 0, 100, 100};
  pw::Bytes emf = picture_files::RecordEnhanced(frame, [](HDC dc) { FillBox(dc, 0, 0, 4, 4, 0); });
  // Replace the end record by one that carries 300 palette entries.
  const uint32_t count = 300;
  emf.resize(emf.size() - 20);
  const uint32_t size = 20 + 4 * count;
  pw::Put32(emf, 14);  // end record
  pw::Put32(emf, size);
  pw::Put32(emf, count);
  pw::Put32(emf, 16);
  for (uint32_t i = 0; i < count; ++i) pw::Put32(emf, i % 256);
  pw::Put32(emf, size);
  pw::Set32(emf, 48, static_cast<uint32_t>(emf.size()));
  pw::Set32(emf, 68, count);
  TPicture picture;
  picture.LoadPictureFile(folder.Write("p.emf", emf));
  auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
  ASSERT_NE(metafile, nullptr);
  ASSERT_EQ(GetEnhMetaFilePaletteEntries(metafile->Handle(), 0, nullptr), count);
  ASSERT_NE(metafile->Palette(), nullptr);
  EXPECT_EQ(GetPaletteEntries(metafile->Palette(), 0, 0, nullptr), 256u);
}

// Headers are judged beside their reader; a right one in front of nothing
// is refused by the platform's conversion.
TEST(MetafilePicture, APlaceableHeaderWithoutContentIsRefused) {
  ScratchFolder folder;
  TPicture picture;
  ExpectLoadFailure<EInvalidGraphic>(picture, folder.Write("empty.wmf", pw::Placeable(0, 0, 10, 10, 96, {})),
                                     msg::InvalidMetafile);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(PictureHolder, ExtensionChoosesTheKindWithoutRegardToCase) {
  ScratchFolder folder;
  TPicture picture;
  picture.LoadPictureFile(folder.Write("Setup.BMP", pw::Write(Indexed("1 bit", 1).file)));
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.PictureWidth(), kW);

  ExpectLoadFailure<EInvalidGraphic>(picture, folder.Path() + "\\Setup.PNG",
                                     "Unbekannte Bilddateierweiterung (.PNG)");
  try {
    picture.LoadPictureFile(folder.Path() + "\\missing.bmp");
    ADD_FAILURE() << "a missing file loaded";
  } catch (const EFOpenError& failure) {
    EXPECT_EQ(failure.Message().rfind("Datei " + folder.Path() + "\\missing.bmp kann nicht ge", 0), 0u)
        << failure.Message();
  }
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
}

TEST(PictureHolder, OpensTheFileLettingOthersOnlyRead) {
  ScratchFolder folder;
  const std::string file = folder.Write("Setup.bmp", pw::Write(Indexed("1 bit", 1).file));
  HANDLE writer = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  TPicture picture;
  EXPECT_THROW(picture.LoadPictureFile(file), EFOpenError);
  CloseHandle(writer);
  HANDLE reader = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
  EXPECT_NO_THROW(picture.LoadPictureFile(file));
  CloseHandle(reader);
}

TEST(FileFormats, RegistryStartsWithItsFourKindsAndSearchesFromTheLatest) {
  const std::vector<TFileFormat>& entries = GetFileFormats().Entries();
  ASSERT_GE(entries.size(), 4u);
  const char* extensions[] = {"wmf", "emf", "ico", "bmp"};
  const char* descriptions[] = {"Metadateien", "Erweiterte Metadateien", "Symbole", "Bitmaps"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(entries[i].extension, extensions[i]);
    EXPECT_EQ(entries[i].description, descriptions[i]);
  }

  TFileFormatsList list;
  auto first = []() -> std::unique_ptr<TGraphic> { return std::make_unique<TBitmap>(); };
  auto second = []() -> std::unique_ptr<TGraphic> { return std::make_unique<TMetafile>(); };
  list.Add("XYZ", "first", first);
  list.Add("xyz", "second", second);
  list.Add("", "", first);
  ASSERT_NE(list.Find("xyz"), nullptr);
  EXPECT_EQ(list.Find("xyz")->description, "second");
  EXPECT_EQ(list.Find("XYZ"), nullptr);  // the caller lower-cases
  ASSERT_NE(list.Find(""), nullptr);
  EXPECT_EQ(list.Find("")->description, "");
  EXPECT_EQ(list.Entries().size(), 7u);
}

TEST(ImageControl, CentresThePictureAndIsOpaqueOnlyWhenABitmapCoversIt) {
  ScratchFolder folder;
  TImage image(0, 0, 239, 118);
  image.Center = true;
  image.Picture().LoadPictureFile(folder.Write("a.bmp", pw::Write(Indexed("4 bits", 4).file)));
  RECT dest = image.DestRect();
  EXPECT_EQ(dest.left, (239 - kW) / 2);
  EXPECT_EQ(dest.top, (118 - kH) / 2);
  EXPECT_EQ(dest.right, dest.left + kW);
  EXPECT_FALSE(image.Opaque());

  image.AutoSize = true;
  pw::Bmp big;
  big.width = 640;
  big.height = 480;
  image.Picture().LoadPictureFile(folder.Write("big.bmp", pw::Write(big)));
  EXPECT_EQ(image.Width(), 640);
  EXPECT_EQ(image.Height(), 480);
  dest = image.DestRect();
  EXPECT_EQ(dest.left, 0);
  EXPECT_EQ(dest.bottom, 480);
  EXPECT_TRUE(image.Opaque());

  // An empty picture leaves the size alone.
  image.Picture().LoadPictureFile(folder.Write("empty.bmp", {}));
  EXPECT_EQ(image.Width(), 640);
  EXPECT_FALSE(image.Opaque());
}
