// TReader, grouped by operation. Byte-level cases are literal arrays; longer
// inputs are built with the value writer.
#include "streams/core/Reader.h"

#include "StreamTestSupport.h"
#include "runtime/core/Messages.h"
#include "vswriter/ValueWriter.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kChunk = 4096;

// A stream over bytes and a reader on it, torn down reader first.
struct Fixture {
  explicit Fixture(const std::string& bytes) : stream(bytes), reader(new TReader(stream, kChunk)) {}
  ~Fixture() { delete reader; }
  TCountingStream stream;
  TReader* reader;
};

}  // namespace

// ---- CheckSignature -----------------------------------------------------------

TEST(ReaderSignature, AcceptsTheSignatureAndReadsTheValueAfterIt) {
  Fixture f(kSig + Bytes({0x06, 0x03, 'a', 'b', 'c'}));
  f.reader->CheckSignature();
  EXPECT_EQ(f.reader->ReadStrValue(), "abc");
}

TEST(ReaderSignature, WrongFourthByteFailsAfterConsumingFourBytes) {
  Fixture f(Bytes({0x54, 0x50, 0x46, 0x31, 0x02, 0x07}));
  EXPECT_EQ(FailureOf([&] { f.reader->CheckSignature(); }), msg::InvalidStreamFormat);
  EXPECT_EQ(f.reader->ReadOffset(), 4);
  EXPECT_EQ(f.reader->ReadIntValue(), 7);
}

// ---- ReadIntValue ---------------------------------------------------------------

TEST(ReaderInt, DecodesEachWidthSignExtended) {
  Fixture f(Bytes({0x02, 0xFF, 0x03, 0x00, 0x80, 0x04, 0xFF, 0xFF, 0xFF, 0x7F,
                   0x04, 0x00, 0x00, 0x00, 0x80, 0x02, 0x7F}));
  EXPECT_EQ(f.reader->ReadIntValue(), -1);
  EXPECT_EQ(f.reader->ReadIntValue(), -32768);
  EXPECT_EQ(f.reader->ReadIntValue(), 2147483647);
  EXPECT_EQ(f.reader->ReadIntValue(), INT32_MIN);
  EXPECT_EQ(f.reader->ReadIntValue(), 127);
}

TEST(ReaderInt, AStringWhereAnIntegerIsExpectedIsReadAfterSteppingBack) {
  Fixture f(kSig + Bytes({0x06, 0x03, 'a', 'b', 'c'}));
  f.reader->CheckSignature();
  EXPECT_EQ(FailureOf([&] { f.reader->ReadIntValue(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), 5);
  f.reader->SetReadOffset(f.reader->ReadOffset() - 1);
  EXPECT_EQ(f.reader->ReadStrValue(), "abc");
}

TEST(ReaderInt, AtTheEndOfDataOffsetPointsPastTheEndAndSteppingBackFailsAgain) {
  Fixture f(kSig);
  f.reader->CheckSignature();
  EXPECT_EQ(FailureOf([&] { f.reader->ReadIntValue(); }), msg::ReadError);
  EXPECT_EQ(f.reader->ReadOffset(), 8);
  f.reader->SetReadOffset(7);
  EXPECT_EQ(FailureOf([&] { f.reader->ReadStrValue(); }), msg::ReadError);
}

// ---- ReadStrValue ---------------------------------------------------------------

TEST(ReaderStr, EmptyShortAndLongStringsAndBytesKeptAsStoredZerosIncluded) {
  Fixture f(Bytes({0x06, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x00, 0x00, 0x00, 'a', 0x00, 0xE4, 'b'}));
  EXPECT_EQ(f.reader->ReadStrValue(), "");
  EXPECT_EQ(f.reader->ReadStrValue(), "");
  EXPECT_EQ(f.reader->ReadStrValue(), std::string("a\0\xE4" "b", 4));
}

TEST(ReaderStr, WideStringIsConvertedToTheAnsiCodePage) {
  TValueWriter w;
  w.WideStr(u"Gr\u00FC\u00DFe");
  Fixture f(w.Data());
  EXPECT_EQ(f.reader->ReadStrValue(), "Gr\xFC\xDF" "e");
}

TEST(ReaderStr, Utf8StringIsConvertedToTheAnsiCodePage) {
  Fixture f(Bytes({0x14, 0x07, 0x00, 0x00, 0x00, 'G', 'r', 0xC3, 0xBC, 0xE2, 0x82}) +
            Bytes({0xAC, 0x06, 0x01, 'x'}));
  EXPECT_EQ(f.reader->ReadStrValue(), "Gr\xFC\x80");  // the euro sign is 0x80
  EXPECT_EQ(f.reader->ReadStrValue(), "x");
}

TEST(ReaderStr, MalformedUtf8GivesAnEmptyTextAndConsumesTheValue) {
  const std::string cases[] = {
      Bytes({0x14, 0x03, 0x00, 0x00, 0x00, 'a', 0xC3, 'b'}),         // bad continuation
      Bytes({0x14, 0x02, 0x00, 0x00, 0x00, 'a', 0xE2}),              // cut-off sequence
      Bytes({0x14, 0x04, 0x00, 0x00, 0x00, 0xF0, 0x9F, 0x98, 0x80}),  // four bytes
      Bytes({0x14, 0x01, 0x00, 0x00, 0x00, 0x80}),                   // stray continuation
  };
  for (const std::string& bytes : cases) {
    Fixture f(bytes + Bytes({0x02, 0x05}));
    EXPECT_EQ(f.reader->ReadStrValue(), "");
    EXPECT_EQ(f.reader->ReadIntValue(), 5);
  }
}

// ---- ReadBoolValue, ReadSymbolValue ---------------------------------------------

TEST(ReaderBool, OnlyTheTrueTagIsTrueAndOnlyTheTagIsTaken) {
  Fixture f(Bytes({0x09, 0x08, 0x02, 0x01}));
  EXPECT_TRUE(f.reader->ReadBoolValue());
  EXPECT_FALSE(f.reader->ReadBoolValue());
  EXPECT_FALSE(f.reader->ReadBoolValue());  // the integer 1: its payload stays
  EXPECT_EQ(f.reader->ReadOffset(), 3);
  EXPECT_FALSE(f.reader->AtListEnd());  // sees the payload byte 01 as a tag
}

TEST(ReaderSymbol, NamedTagsAndSymbolTexts) {
  Fixture f(Bytes({0x00, 0x08, 0x09, 0x0D, 0x07, 0x02, 'a', 'b', 0x87, 0x01, 'c'}));
  EXPECT_EQ(f.reader->ReadSymbolValue(), "Null");
  EXPECT_EQ(f.reader->ReadSymbolValue(), "False");
  EXPECT_EQ(f.reader->ReadSymbolValue(), "True");
  EXPECT_EQ(f.reader->ReadSymbolValue(), "nil");
  EXPECT_EQ(f.reader->ReadSymbolValue(), "ab");
  EXPECT_EQ(f.reader->ReadSymbolValue(), "c");  // only the low seven bits count
}

TEST(ReaderTags, AValueOfAnotherKindFailsHavingTakenOnlyTheTag) {
  Fixture f(Bytes({0x13, 1, 2, 3, 4, 5, 6, 7, 8, 0x07, 0x02, 'a', 'b', 0x06, 0x01, 'a'}));
  EXPECT_EQ(FailureOf([&] { f.reader->ReadIntValue(); }), msg::InvalidPropertyValue);  // a 64-bit integer
  EXPECT_EQ(f.reader->ReadOffset(), 1);
  f.reader->SetReadOffset(9);
  EXPECT_EQ(FailureOf([&] { f.reader->ReadStrValue(); }), msg::InvalidPropertyValue);  // a symbol
  EXPECT_EQ(f.reader->ReadOffset(), 10);
  f.reader->SetReadOffset(13);
  EXPECT_EQ(FailureOf([&] { f.reader->ReadSymbolValue(); }), msg::InvalidPropertyValue);  // a string
  EXPECT_EQ(f.reader->ReadOffset(), 14);
}

TEST(ReaderTags, ValuesCutOffByTheEndAreReadErrors) {
  const auto readError = [](const std::string& bytes, void (*read)(TReader&)) {
    Fixture f(bytes);
    return FailureOf([&] { read(*f.reader); });
  };
  EXPECT_EQ(readError(Bytes({0x54, 0x50, 0x46}), [](TReader& r) { r.CheckSignature(); }), msg::ReadError);
  EXPECT_EQ(readError(Bytes({0x04, 0x01, 0x02}), [](TReader& r) { r.ReadIntValue(); }), msg::ReadError);
  EXPECT_EQ(readError(Bytes({0x0C, 0x05, 0, 0, 0, 'a', 'b', 'c'}), [](TReader& r) { r.ReadStrValue(); }),
            msg::ReadError);
  EXPECT_EQ(readError(Bytes({0x0C, 0x10, 0, 0, 0, 'a'}), [](TReader& r) { r.LeaveList(); }), msg::ReadError);
  Fixture list(Bytes({0x01}));
  list.reader->EnterList();
  EXPECT_EQ(FailureOf([&] { list.reader->AtListEnd(); }), msg::ReadError);
}

TEST(ReaderTags, From128OnTheyAreWholeBytesExceptWhenPassedOverOrReadAsSymbols) {
  // 0x82, 0x86, 0x89, 0x80 and 0x81 are no integer, string, true, end or list.
  Fixture f(Bytes({0x82, 0x86, 0x89, 0x80, 0x81, 0x02, 0x05, 0x00, 0x80, 0x02, 0x07}));
  EXPECT_EQ(FailureOf([&] { f.reader->ReadIntValue(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(FailureOf([&] { f.reader->ReadStrValue(); }), msg::InvalidPropertyValue);
  EXPECT_FALSE(f.reader->ReadBoolValue());
  EXPECT_FALSE(f.reader->AtListEnd());
  EXPECT_EQ(FailureOf([&] { f.reader->LeaveList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), 4) << "0x80 passed over as an end: nothing after it";
  // 0x81 is no list bracket, but passed over it is a list up to the next 0x00.
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), 8);
  EXPECT_EQ(f.reader->ReadSymbolValue(), "Null") << "0x80 read as a symbol is the end tag";
  EXPECT_EQ(f.reader->ReadIntValue(), 7);
}

// ---- Lists: EnterList, AtListEnd, LeaveList -------------------------------------

TEST(ReaderList, ReadsAListOfPairs) {
  TValueWriter w;
  w.BeginList();
  w.Int(1000);
  w.Str("Titel");
  w.End();
  Fixture f(w.Data());
  f.reader->EnterList();
  EXPECT_FALSE(f.reader->AtListEnd());
  EXPECT_EQ(f.reader->ReadIntValue(), 1000);
  EXPECT_EQ(f.reader->ReadStrValue(), "Titel");
  EXPECT_TRUE(f.reader->AtListEnd());
  EXPECT_TRUE(f.reader->AtListEnd());  // consumes nothing
  f.reader->LeaveList();
  EXPECT_EQ(f.reader->ReadOffset(), static_cast<int32_t>(w.Size()));
}

TEST(ReaderList, EnterListOnAnIntegerFailsPastTheWholeValue) {
  Fixture f(kSig + Bytes({0x04, 1, 2, 3, 4, 0x02, 0x09}));
  f.reader->CheckSignature();
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), 4 + 5);
  EXPECT_EQ(f.reader->ReadIntValue(), 9);
}

// ---- Passing over values (through a wrong list bracket) ---------------------------

TEST(ReaderPass, PassesOverEveryKindOfValueNestedInAList) {
  TValueWriter w;
  w.BeginList();
  w.Int8(-1); w.Int16(300); w.Int32(70000); w.Int64(-5);
  const uint8_t float80[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  w.Float80(float80); w.Float32(1.5f); w.Fixed64(123456); w.Date64(45000.25);
  w.ShortStr("short"); w.LongStr(std::string(300, 'x')); w.WideStr(u"wide");
  w.Utf8Str(std::string(2, '\0'));  // misread as tags, its bytes would close the list
  w.Symbol("sym"); w.Bool(true); w.Bool(false); w.Nil();
  w.Bytes(std::string(600, '\x01'));  // more than one scratch area
  w.Set({"akTop", "akLeft"}); w.Set({});
  w.BeginCollection();
  w.BeginItem(); w.Property("Caption"); w.Str("a"); w.Property("Items"); w.BeginList(); w.Int(1); w.End(); w.End();
  w.BeginItem(7); w.Property("Width"); w.Int(40); w.End();
  w.BeginItem(); w.End();
  w.End();
  w.BeginList(); w.BeginList(); w.End(); w.End();
  w.Tag(21); w.Tag(127);  // tags past the last kind carry nothing
  w.Tag(0x82); w.Raw("\x05");  // a tag of 128 or more acts as the tag 128 lower
  w.End();
  const int32_t passed = static_cast<int32_t>(w.Size());
  w.Int(42);
  Fixture f(w.Data());
  EXPECT_EQ(FailureOf([&] { f.reader->LeaveList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), passed);
  EXPECT_EQ(f.reader->ReadIntValue(), 42);
}

TEST(ReaderPass, NegativeCountsPassNothing) {
  TValueWriter w;
  w.Tag(tgBytes); w.RawInt32(-3);
  w.Tag(tgWideStr); w.RawInt32(-1);
  w.Int(8);
  Fixture f(w.Data());
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadOffset(), 5);
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadIntValue(), 8);
}

// Lengths near 2^31 and 2^32 (as 32-bit values): on 32-bit code neither a
// length nor a wide string's byte count may wrap into a small one. Each
// fails where the data end, as on 64-bit, without reserving the length.
TEST(ReaderPass, LengthsNear2GiBAnd4GiBFailAtTheEndOfData) {
  for (uint8_t tag : {tgBytes, tgLongStr, tgUtf8Str, tgWideStr}) {
    for (uint32_t length : {0x40000000u, 0x7FFFFFFFu, 0x7FFFFFFCu}) {
      TValueWriter w;
      w.Tag(tag); w.RawInt32(static_cast<int32_t>(length)); w.Raw("abcdefgh");
      Fixture f(w.Data());
      EXPECT_EQ(FailureOf([&] { f.reader->PassValue(); }), msg::ReadError)
          << "tag " << int(tag) << ", length " << length;
      Fixture g(w.Data());
      if (tag != tgBytes) {
        EXPECT_EQ(FailureOf([&] { g.reader->ReadStrValue(); }), msg::ReadError)
            << "tag " << int(tag) << ", length " << length;
      }
    }
    // 2^31 and more are negative lengths: refused past the length, or passed over as nothing.
    for (uint32_t length : {0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
      TValueWriter w;
      w.Tag(tag); w.RawInt32(static_cast<int32_t>(length)); w.Int(5);
      Fixture f(w.Data());
      if (tag != tgBytes) {
        EXPECT_EQ(FailureOf([&] { f.reader->ReadStrValue(); }), msg::InvalidPropertyValue);
        EXPECT_EQ(f.reader->ReadOffset(), 5);
      }
      Fixture g(w.Data());
      g.reader->PassValue();
      EXPECT_EQ(g.reader->ReadIntValue(), 5);
    }
  }
}

TEST(ReaderPass, DeeplyNestedListsDoNotExhaustTheStack) {
  const size_t depth = 1000000;
  std::string bytes(depth, '\x01');
  bytes.append(depth, '\x00');
  bytes += Bytes({0x02, 0x03});
  Fixture f(bytes);
  EXPECT_EQ(FailureOf([&] { f.reader->LeaveList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadIntValue(), 3);
}

TEST(ReaderPass, DeeplyNestedCollectionsDoNotExhaustTheStack) {
  TValueWriter w;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) { w.BeginCollection(); w.BeginItem(); w.Property("p"); }
  w.Nil();
  for (int i = 0; i < depth; ++i) { w.End(); w.End(); }
  w.Int(4);
  Fixture f(w.Data());
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::InvalidPropertyValue);
  EXPECT_EQ(f.reader->ReadIntValue(), 4);
}

TEST(ReaderPass, UnclosedNestingIsAReadError) {
  Fixture f(Bytes({0x0E, 0x01, 0x01, 'p', 0x01, 0x02}));
  EXPECT_EQ(FailureOf([&] { f.reader->EnterList(); }), msg::ReadError);
}

// ---- The chunk -----------------------------------------------------------------

TEST(ReaderChunk, AStringStraddlingTheChunkBoundaryReadsWhole) {
  std::string text(300, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  TValueWriter w;
  w.Raw(std::string(4090, '\x08'));  // 4090 false values
  w.LongStr(text);
  Fixture f(w.Data());
  for (int i = 0; i < 4090; ++i) ASSERT_FALSE(f.reader->ReadBoolValue());
  EXPECT_EQ(f.reader->ReadStrValue(), text);  // bytes 4095 to 4394: across the first refill
  EXPECT_EQ(f.reader->ReadOffset(), 4090 + 5 + 300);
  EXPECT_EQ(f.stream.reads, 2);
}

TEST(ReaderChunk, AShortStringEndingAtOrJustPastTheChunkEndReadsWhole) {
  for (int past = 0; past <= 2; ++past) {
    TValueWriter w;
    w.Raw(std::string(4096 - 7 + past, '\x08'));
    w.ShortStr("hello");  // 7 bytes, the last one at 4095 + past
    w.Int(42);
    Fixture f(w.Data());
    for (int i = 0; i < 4096 - 7 + past; ++i) ASSERT_FALSE(f.reader->ReadBoolValue());
    EXPECT_EQ(f.reader->ReadStrValue(), "hello") << past;
    EXPECT_EQ(f.reader->ReadIntValue(), 42) << past;
  }
}

TEST(ReaderChunk, LongAndWideStringsOfManyChunksReadBackIntact) {
  for (size_t length : {4097u, 70000u}) {
    std::string text(length, '\0');
    std::u16string wide(length, u'\0');
    for (size_t i = 0; i < length; ++i) {
      text[i] = static_cast<char>(i * 7 % 251 + 1);
      wide[i] = i % 3 ? static_cast<char16_t>('a' + i % 26) : u'\u00FC';
    }
    TValueWriter w;
    w.LongStr(text);
    w.WideStr(wide);
    w.Int(9);
    Fixture f(w.Data());
    EXPECT_EQ(f.reader->ReadStrValue(), text) << length;
    const std::string ansi = f.reader->ReadStrValue();
    ASSERT_EQ(ansi.size(), length);
    for (size_t i = 0; i < length; ++i)
      ASSERT_EQ(ansi[i], i % 3 ? static_cast<char>('a' + i % 26) : '\xFC') << i;
    EXPECT_EQ(f.reader->ReadIntValue(), 9);
  }
}

TEST(ReaderChunk, IntegersAndTagsStraddlingTheBoundaryReadWhole) {
  for (int shift = 1; shift <= 4; ++shift) {
    TValueWriter w;
    w.Raw(std::string(4096 - shift, '\x09'));
    w.Int32(-123456789);
    w.BeginList();
    w.End();
    Fixture f(w.Data());
    for (int i = 0; i < 4096 - shift; ++i) ASSERT_TRUE(f.reader->ReadBoolValue());
    EXPECT_EQ(f.reader->ReadIntValue(), -123456789) << "shift " << shift;
    f.reader->EnterList();
    EXPECT_TRUE(f.reader->AtListEnd());
    f.reader->LeaveList();
  }
}

TEST(ReaderChunk, TheStreamIsAskedForDataOncePerChunk) {
  TValueWriter w;
  w.Signature();
  w.BeginList();
  for (int i = 0; w.Size() < 50000; ++i) {
    w.Int(i * 37);
    w.Str("Text " + std::to_string(i));
  }
  w.End();
  Fixture f(w.Data());
  f.reader->CheckSignature();
  f.reader->EnterList();
  int count = 0;
  while (!f.reader->AtListEnd()) {
    EXPECT_EQ(f.reader->ReadIntValue(), count * 37);
    f.reader->ReadStrValue();
    ++count;
  }
  f.reader->LeaveList();
  const int chunks = static_cast<int>((w.Size() + kChunk - 1) / kChunk);
  EXPECT_EQ(f.stream.reads, chunks);
  EXPECT_EQ(f.stream.moves, 0);  // looking ahead never moves the stream
}

TEST(ReaderChunk, ShortDeliveriesAreNoError) {
  // A stream that hands out at most three bytes per read.
  struct TTrickle : TMemoryStream {
    using TMemoryStream::TMemoryStream;
    int32_t Read(void* b, int32_t n) override { return TMemoryStream::Read(b, n < 3 ? n : 3); }
  } stream(kSig + Bytes({0x0C, 0x05, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'}));
  TReader reader(stream, kChunk);
  reader.CheckSignature();
  EXPECT_EQ(reader.ReadStrValue(), "hello");
}

// ---- ReadOffset and the give-back ----------------------------------------------

TEST(ReaderOffset, DestructionGivesUnconsumedBytesBackToTheStream) {
  TCountingStream stream(std::string(100, '\x02'));
  {
    TReader reader(stream, kChunk);
    for (int i = 0; i < 5; ++i) reader.ReadIntValue();  // 10 bytes
    EXPECT_EQ(stream.Position(), 100);
    EXPECT_EQ(reader.ReadOffset(), 10);
  }
  EXPECT_EQ(stream.Position(), 10);
}

TEST(ReaderOffset, ConstructionStartsAtTheStreamsPositionWithoutTouchingIt) {
  TCountingStream stream(Bytes({0x02, 0x01, 0x02, 0x02}));
  stream.SetPosition(2);
  stream.moves = 0;
  TReader reader(stream, kChunk);
  EXPECT_EQ(stream.reads + stream.moves, 0);
  EXPECT_EQ(reader.ReadOffset(), 2);
  EXPECT_EQ(reader.ReadIntValue(), 2);
}

TEST(ReaderOffset, AssigningAfterAFailureMakesTheReaderConsistentAgain) {
  Fixture f(kSig + Bytes({0x02, 0x05}));
  f.reader->CheckSignature();
  f.reader->ReadIntValue();
  EXPECT_EQ(FailureOf([&] { f.reader->ReadIntValue(); }), msg::ReadError);
  f.reader->SetReadOffset(4);
  EXPECT_EQ(f.reader->ReadIntValue(), 5);
  EXPECT_EQ(f.reader->ReadOffset(), 6);
}
