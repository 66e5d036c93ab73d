#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/pictures/core/BitmapHeader.h"
#include "ui/pictures/core/FileExtension.h"
#include "ui/pictures/core/MetafileHeader.h"

#include "../support/PictureWriter.h"

#include <gtest/gtest.h>

#include <climits>

namespace pw = picture_writer;

namespace {

BitmapHeader Read(const pw::Bytes& bytes, bool* loaded = nullptr) {
  MemoryByteSource source(bytes.data(), bytes.size());
  BitmapHeader header;
  const bool result = ReadBitmapHeader(source, header);
  if (loaded) *loaded = result;
  return header;
}

pw::Bmp Shape(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0) {
  pw::Bmp s;
  s.width = width, s.height = height, s.bitCount = bitCount, s.compression = compression;
  return s;
}

pw::Bmp EightBit(int width, int height) {
  pw::Bmp s = Shape(width, height, 8);
  for (uint32_t i = 0; i < 256; ++i) s.colours.push_back(i * 0x010101);
  s.pixels = pw::Rows(width, height, 8, false, [](int x, int y) { return x + y; });
  return s;
}

template <typename Failure, typename Reading>
void ExpectFailureOf(Reading reading, const char* message) {
  try {
    reading();
    ADD_FAILURE() << "no failure, expected " << message;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Message(), message);
  }
}

template <typename Failure>
void ExpectFailure(const pw::Bytes& bytes, const char* message) {
  ExpectFailureOf<Failure>([&] { Read(bytes); }, message);
}

pw::Bytes Cut(pw::Bytes bytes, size_t length) {
  bytes.resize(length);
  return bytes;
}

MetafileData ReadMeta(const pw::Bytes& bytes) {
  MemoryByteSource source(bytes.data(), bytes.size());
  return ReadMetafile(source);
}

template <typename Failure>
void ExpectMetaFailure(const pw::Bytes& bytes, const char* message) {
  ExpectFailureOf<Failure>([&] { ReadMeta(bytes); }, message);
}

}  // namespace

TEST(BitmapHeader, AnEmptyFileIsAnEmptyPictureWithoutFailure) {
  bool loaded = true;
  Read(pw::Bytes(), &loaded);
  EXPECT_FALSE(loaded);
}

TEST(BitmapHeader, CoreHeaderGivesTheSameHeaderAndColoursAsTheLongOne) {
  pw::Bmp s = EightBit(5, 3);
  const BitmapHeader longer = Read(pw::Write(s));
  s.infoSize = 12;
  const BitmapHeader core = Read(pw::Write(s));
  EXPECT_EQ(core.width, 5);
  EXPECT_EQ(core.height, 3);
  EXPECT_EQ(core.bitCount, 8);
  EXPECT_EQ(core.colourTable, longer.colourTable);
  EXPECT_EQ(core.ColourCount(), 256u);
  EXPECT_EQ(core.imageBytes, 8u * 3);
}

TEST(BitmapHeader, ColourCountFollowsTheHeaderOrTheDepth) {
  pw::Bmp s = EightBit(2, 2);
  EXPECT_EQ(Read(pw::Write(s)).ColourCount(), 256u);
  s.clrUsed = 2;
  s.colours.resize(2);
  EXPECT_EQ(Read(pw::Write(s)).ColourCount(), 2u);

  pw::Bmp deep = Shape(1, 1, 24);
  deep.pixels = pw::Rows(1, 1, 24, false, [](int, int) { return 0x123456u; });
  EXPECT_EQ(Read(pw::Write(deep)).ColourCount(), 0u);
  deep.clrUsed = 1;
  deep.colours = {0xFF0000};
  EXPECT_EQ(Read(pw::Write(deep)).ColourCount(), 1u);
}

TEST(BitmapHeader, MasksAreReadAfterA40ByteHeaderAndInsideLongerOnes) {
  pw::Bmp s = Shape(2, 1, 16, kBiBitfields);
  s.masks = {0xF800, 0x07E0, 0x001F};
  s.pixels = pw::Rows(2, 1, 16, false, [](int, int) { return 0xF800u; });
  BitmapHeader h = Read(pw::Write(s));
  ASSERT_TRUE(h.hasMasks);
  EXPECT_EQ(h.masks[0], 0xF800u);
  EXPECT_EQ(h.masks[2], 0x001Fu);

  // Longer headers, from the 52-byte one on, carry their masks at bytes 40 to 51.
  s.masks.clear();
  for (uint32_t size : {52u, 108u}) {
    s.infoSize = size;
    pw::Bytes bytes = pw::Write(s);
    pw::Set32(bytes, 14 + 40, 0x7C00);
    pw::Set32(bytes, 14 + 44, 0x03E0);
    pw::Set32(bytes, 14 + 48, 0x001F);
    h = Read(bytes);
    ASSERT_TRUE(h.hasMasks) << size;
    EXPECT_EQ(h.masks[0], 0x7C00u) << size;
    EXPECT_EQ(h.imageBytes, 4u) << size;
  }
}

TEST(BitmapHeader, ImageByteCountIsCappedByWhatTheFileHolds) {
  pw::Bmp s = EightBit(4, 4);
  pw::Bytes bytes = pw::Write(s);
  EXPECT_EQ(Read(Cut(bytes, bytes.size() - 5)).imageBytes, 16u - 5);

  // A stated image size beyond the rows of an uncompressed picture is
  // never read past the rows.
  s.sizeImage = 1000;
  s.pixels.resize(1000);
  EXPECT_EQ(Read(pw::Write(s)).imageBytes, 16u);

  // A run-length encoded picture takes what it states, as far as the file goes.
  pw::Bmp rle = EightBit(4, 4);
  rle.compression = 1;
  rle.pixels = pw::Rle(4, 4, 8, [](int x, int) { return x; });
  rle.sizeImage = static_cast<uint32_t>(rle.pixels.size() + 100);
  EXPECT_EQ(Read(pw::Write(rle)).imageBytes, rle.pixels.size());
  for (uint32_t stated : {0x80000000u, 0xFFFFFFFFu}) {  // near 2^31 and 2^32
    rle.sizeImage = stated;
    EXPECT_EQ(Read(pw::Write(rle)).imageBytes, rle.pixels.size()) << stated;
  }
}

TEST(BitmapHeader, TheFileEndingInsideAHeaderPartIsAReadError) {
  pw::Bmp s = EightBit(2, 2);
  const pw::Bytes bytes = pw::Write(s);
  ExpectFailure<EReadError>(Cut(bytes, 10), msg::ReadError);            // file header
  ExpectFailure<EReadError>(Cut(bytes, 16), msg::ReadError);            // header size
  ExpectFailure<EReadError>(Cut(bytes, 30), msg::ReadError);            // info header
  ExpectFailure<EReadError>(Cut(bytes, 54 + 4 * 100), msg::ReadError);  // colour table

  pw::Bmp masked = Shape(1, 1, 32, kBiBitfields);
  masked.masks = {0xFF0000, 0xFF00, 0xFF};
  ExpectFailure<EReadError>(Cut(pw::Write(masked), 54 + 6), msg::ReadError);

  s.infoSize = 12;
  ExpectFailure<EReadError>(Cut(pw::Write(s), 26 + 3 * 255 + 1), msg::ReadError);
}

TEST(BitmapHeader, RefusesWhatIsNoUsableBitmap) {
  pw::Bmp s = EightBit(2, 2);
  pw::Bytes bytes = pw::Write(s);
  bytes[1] = 'A';
  ExpectFailure<EInvalidGraphic>(bytes, msg::InvalidBitmap);

  pw::Bmp planes = s;
  planes.planes = 2;
  ExpectFailure<EInvalidGraphic>(pw::Write(planes), msg::InvalidBitmap);

  // No header layout lies between the core header and the 40-byte one.
  for (uint32_t size : {0u, 4u, 13u, 16u, 39u}) {
    pw::Bmp odd = s;
    odd.infoSize = size;
    ExpectFailure<EInvalidGraphic>(pw::Write(odd), msg::InvalidBitmap);
  }

  // A colour table larger than 256 entries.
  pw::Bmp many = s;
  many.clrUsed = 257;
  many.colours.resize(257);
  ExpectFailure<EInvalidGraphic>(pw::Write(many), msg::InvalidBitmap);
  many.clrUsed = 0xFFFFFFFF;
  ExpectFailure<EInvalidGraphic>(pw::Write(many), msg::InvalidBitmap);

  // Masks that a 41- to 51-byte header has no room for.
  pw::Bmp shortMasks = Shape(1, 1, 16, kBiBitfields);
  shortMasks.infoSize = 44;
  ExpectFailure<EInvalidGraphic>(pw::Write(shortMasks), msg::InvalidBitmap);
}

TEST(BitmapHeader, RefusesAbsurdSizesAndDepthsBeforeAnyAllocation) {
  auto refused = [](int32_t width, int32_t height, uint16_t bits) {
    ExpectFailure<EInvalidGraphic>(pw::Write(Shape(width, height, bits)), msg::InvalidBitmap);
  };
  refused(-1, 1, 24);
  refused(INT_MAX, 1, 24);
  refused(1, INT_MIN, 24);
  refused(60000, 60000, 32);  // 13 GiB of rows
  // Rows just past 2^31 and 2^32 bytes: computed in 32 bits they would look
  // negative, or like 196,604 bytes.
  refused(65535, 8193, 32);
  refused(65535, 16385, 32);
  refused(21846, -65535, 24);
  // One row more than the byte limit allows; exactly the limit is a picture.
  refused(16384, 4097, 32);
  EXPECT_EQ(Read(pw::Write(Shape(16384, 4096, 32))).pixelBytes, kMaxBitmapPixelBytes);
  refused(1, 1, 0);
  refused(1, 1, 7);
  refused(1, 1, 64);

  pw::Bmp topDown = Shape(3, -2, 24);
  topDown.pixels = pw::Rows(3, 2, 24, true, [](int, int) { return 0u; });
  const BitmapHeader h = Read(pw::Write(topDown));
  EXPECT_EQ(h.height, -2);
  EXPECT_EQ(h.bytesPerRow, 12u);
  EXPECT_EQ(h.pixelBytes, 24u);
}

TEST(MetafileHeader, EnhancedMetafileIsRecognisedByContent) {
  const pw::Bytes bytes = pw::EnhancedShell(10, 20, 2550, 1290, 140);
  const MetafileData data = ReadMeta(bytes);
  EXPECT_TRUE(data.enhanced);
  EXPECT_EQ(data.bytes, bytes);
  EXPECT_EQ(data.frameWidth, 2540);
  EXPECT_EQ(data.frameHeight, 1270);
  EXPECT_EQ(data.unitsPerInch, 0);
}

TEST(MetafileHeader, EnhancedMetafileSizesAreCheckedAgainstItsHeaderAndTheFile) {
  // Total size below the header.
  ExpectMetaFailure<EInvalidGraphic>(pw::EnhancedShell(0, 0, 1, 1, 60), msg::InvalidMetafile);
  // Ends before its total size: a read error.
  ExpectMetaFailure<EReadError>(Cut(pw::EnhancedShell(0, 0, 1, 1, 400), 300), msg::ReadError);
  pw::Bytes huge = pw::EnhancedShell(0, 0, 1, 1, 200);
  pw::Set32(huge, 48, 0xFFFFFFF0);
  ExpectMetaFailure<EInvalidGraphic>(huge, msg::InvalidMetafile);
  pw::Set32(huge, 48, 0x80000000);
  ExpectMetaFailure<EInvalidGraphic>(huge, msg::InvalidMetafile);
  // Exactly 100 bytes is not enough for an enhanced metafile; as a
  // placeable one it has the wrong key.
  ExpectMetaFailure<EInvalidGraphic>(pw::EnhancedShell(0, 0, 1, 1, 100), msg::InvalidMetafile);
}

TEST(MetafileHeader, PlaceableMetafileNeedsItsKeyAndChecksum) {
  const pw::Bytes body = {1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
  const MetafileData data = ReadMeta(pw::Placeable(0, 0, 1440, 720, 1440, body));
  EXPECT_FALSE(data.enhanced);
  EXPECT_EQ(data.bytes, body);
  EXPECT_EQ(data.frameWidth, 2540);
  EXPECT_EQ(data.frameHeight, 1270);
  EXPECT_EQ(data.unitsPerInch, 1440);
  // The frame's corners are signed.
  const MetafileData centred = ReadMeta(pw::Placeable(-720, -360, 720, 360, 1440, body));
  EXPECT_EQ(centred.frameWidth, 2540);
  EXPECT_EQ(centred.frameHeight, 1270);

  ExpectMetaFailure<EInvalidGraphic>(pw::Placeable(0, 0, 1, 1, 96, body, false), msg::InvalidMetafile);
  pw::Bytes wrongKey = pw::Placeable(0, 0, 1, 1, 96, body);
  wrongKey[0] ^= 1;
  wrongKey[20] ^= 1;  // checksum kept right, so the key alone decides
  ExpectMetaFailure<EInvalidGraphic>(wrongKey, msg::InvalidMetafile);
  // A Windows metafile without the placeable header.
  ExpectMetaFailure<EInvalidGraphic>(body, msg::InvalidMetafile);
  // Shorter than the placeable header itself.
  for (size_t length : {0u, 1u, 21u})
    ExpectMetaFailure<EInvalidGraphic>(Cut(pw::Placeable(0, 0, 1, 1, 96, body), length), msg::InvalidMetafile);
}

TEST(MetafileHeader, PixelSizeFollowsUnitsPerInchOrTheReferenceDevice) {
  const pw::Bytes body(24, 0);
  const MetafileReference unused = {0, 0, 0, 0};
  MetafileData placeable = ReadMeta(pw::Placeable(0, 0, 1440, 720, 1440, body));
  EXPECT_EQ(MetafilePixelWidth(placeable, 96, unused), 96);
  EXPECT_EQ(MetafilePixelHeight(placeable, 96, unused), 48);
  EXPECT_EQ(MetafilePixelWidth(placeable, 120, unused), 120);
  EXPECT_EQ(MetafilePixelHeight(placeable, 120, unused), 60);

  // A stored 0 counts as 96 for the frame, then sizes come from the
  // reference device like an enhanced metafile's.
  MetafileData zero = ReadMeta(pw::Placeable(0, 0, 96, 48, 0, body));
  EXPECT_EQ(zero.frameWidth, 2540);
  EXPECT_EQ(zero.frameHeight, 1270);
  const MetafileReference screen = {1024, 768, 320, 240};
  EXPECT_EQ(MetafilePixelWidth(zero, 96, screen), 81);   // 2540 * 1024 / 32000
  EXPECT_EQ(MetafilePixelHeight(zero, 96, screen), 41);  // 1270 * 768 / 24000

  // Reference sizes from a file never overflow the divisor.
  const MetafileReference absurd = {1024, 768, INT_MAX, INT_MIN};
  EXPECT_EQ(MetafilePixelWidth(zero, 96, absurd), 0);
  EXPECT_EQ(MetafilePixelHeight(zero, 96, absurd), 0);
}

TEST(PictureFileExtension, TakesWhatFollowsTheLastDotOfTheLastNamePart) {
  EXPECT_EQ(PictureFileExtension("C:\\Medium\\Setup.BMP"), "BMP");
  EXPECT_EQ(PictureFileExtension("Setup.tar.Png"), "Png");
  EXPECT_EQ(PictureFileExtension("C:\\Medium.1\\Setup"), "");
  EXPECT_EQ(PictureFileExtension("C:Setup.wmf"), "wmf");
  EXPECT_EQ(PictureFileExtension("x.jpg:stream"), "");
  EXPECT_EQ(PictureFileExtension("Setup."), "");
  EXPECT_EQ(LowerExtension("BmP"), "bmp");
}
