// TFileStream: opening by mode, reading and moving, and the open failure.
#include "streams/core/FileStream.h"

#include "StreamTestSupport.h"
#include "runtime/core/Messages.h"
#include "streams/core/Reader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Prefix(const std::string& fullPath) {
  std::string text = msg::FOpenError;
  return "Datei " + fullPath + text.substr(std::strlen("Datei %s"), text.size() - 10);
}

// The system text at the end of an open failure must be trimmed.
void ExpectTrimmedTail(const std::string& message) {
  ASSERT_FALSE(message.empty());
  unsigned char last = static_cast<unsigned char>(message.back());
  EXPECT_GT(last, ' ') << message;
  EXPECT_NE(last, '.') << message;
}

}  // namespace

TEST(FileStreamOpen, ReadsAnExistingFileAndMovesFreely) {
  const std::string path = TestFile("read.bin");
  WriteTestFile(path, "0123456789");
  TFileStream stream(path, fmOpenRead | fmShareDenyNone);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(stream.Read(buffer, 16), 6);
  EXPECT_EQ(stream.Read(buffer, 16), 0);
  EXPECT_EQ(stream.Size(), 10);
  EXPECT_EQ(stream.Seek(-3, soCurrent), 7);
  EXPECT_EQ(stream.Seek(100, soBeginning), 100);  // beyond the end is allowed
  EXPECT_EQ(stream.Read(buffer, 16), 0);
  EXPECT_EQ(stream.Seek(-1, soBeginning), -1);  // refused; the position stays
  EXPECT_EQ(stream.Position(), 100);
  // Positions are 64-bit on every target: in 32-bit code a position past
  // 2^31 or 2^32 must not be cut to its low bits.
  for (int64_t position : {(int64_t{1} << 31) + 3, (int64_t{1} << 32) + 3}) {
    EXPECT_EQ(stream.Seek(position, soBeginning), position);
    EXPECT_EQ(stream.Position(), position);
    char byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0) << "read byte " << byte << " at " << position;
  }
}

TEST(FileStreamOpen, AMissingFileFailsWithItsFullPathAndTheSystemText) {
  const std::string path = TestFile("missing.bin");
  std::string message = FailureOf([&] { TFileStream stream(path, fmOpenRead); });
  EXPECT_EQ(message.compare(0, Prefix(path).size(), Prefix(path)), 0) << message;
  EXPECT_GT(message.size(), Prefix(path).size());
  ExpectTrimmedTail(message);
  // Opening never creates the file.
  EXPECT_EQ(FailureOf([&] { TFileStream stream(path, fmOpenRead); }), message);
  // A relative name is reported as a full path.
  message = FailureOf([] { TFileStream stream("no-such-file.inf", fmOpenRead); });
  EXPECT_EQ(message.find("Datei no-such-file.inf"), std::string::npos) << message;
  EXPECT_NE(message.find("no-such-file.inf kann nicht"), std::string::npos) << message;
}

TEST(FileStreamOpen, AccessAbove2OrSharingAbove4IsRefused) {
  const std::string path = TestFile("modes.bin");
  WriteTestFile(path, "x");
  for (uint16_t mode : {0x0003, 0x0050, 0x00F0, 0x0043}) {
    std::string message = FailureOf([&] { TFileStream stream(path, mode); });
    EXPECT_EQ(message.compare(0, Prefix(path).size(), Prefix(path)), 0) << mode << message;
    ExpectTrimmedTail(message);
  }
  for (uint16_t mode : {0x0000, 0x0010, 0x0020, 0x0030, 0x0040, 0x0002}) {
    TFileStream stream(path, mode);
    char c = 0;
    EXPECT_EQ(stream.Read(&c, 1), 1);
  }
}

TEST(FileStreamOpen, CreateModeMakesAWritableFile) {
  const std::string path = TestFile("created.bin");
  {
    TFileStream stream(path, fmCreate);
    EXPECT_EQ(stream.Write("abc", 3), 3);
  }
  TFileStream stream(path, fmOpenRead);
  EXPECT_EQ(stream.Size(), 3);
}

TEST(FileStreamReader, DestroyingTheReaderLeavesTheFileAtTheReadOffset) {
  const std::string path = TestFile("hundred.bin");
  WriteTestFile(path, std::string(100, '\x02'));
  TFileStream stream(path, fmOpenRead | fmShareDenyNone);
  {
    TReader reader(stream, 4096);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(reader.ReadIntValue(), 2);
  }
  EXPECT_EQ(stream.Position(), 10);
}

#ifdef _WIN32
TEST(FileStreamSharing, ExclusiveOpenKeepsOthersOut) {
  const std::string path = TestFile("exclusive.bin");
  WriteTestFile(path, "x");
  {
    TFileStream first(path, fmOpenRead | fmShareCompat);
    EXPECT_NE(FailureOf([&] { TFileStream second(path, fmOpenRead | fmShareDenyNone); }), "(none)");
  }
  TFileStream again(path, fmOpenRead | fmShareCompat);  // closed with its stream
}

TEST(FileStreamSharing, DenyNoneLetsOthersReadAndDenyWriteKeepsWritersOut) {
  const std::string path = TestFile("shared.bin");
  WriteTestFile(path, "x");
  TFileStream first(path, fmOpenRead | fmShareDenyNone);
  TFileStream second(path, fmOpenRead | fmShareDenyNone);
  TFileStream reader(path, fmOpenRead | fmShareDenyWrite);
  EXPECT_NE(FailureOf([&] { TFileStream writer(path, fmOpenWrite | fmShareDenyNone); }), "(none)");
}
#endif
