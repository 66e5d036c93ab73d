// TMemoryStream: growing by writes, and the limit of what it holds.
#include "streams/core/MemoryStream.h"

#include <gtest/gtest.h>

TEST(MemoryStream, WritesGrowTheBytesAndFillGapsWithZeros) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("ab", 2), 2);
  EXPECT_EQ(stream.Seek(4, soBeginning), 4);
  EXPECT_EQ(stream.Write("c", 1), 1);
  EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{'a', 'b', 0, 0, 'c'}));
}

// Moving past 2^31 or 2^32 is allowed, but writing there would end past what
// the stream holds: nothing is written. On 32-bit code the end must not wrap
// into a small size either, which would write over the first bytes.
TEST(MemoryStream, AWriteEndingPastTheLimitWritesNothing) {
  for (int64_t position : {kMaxMemoryStreamBytes, (int64_t{1} << 32) + 1, (int64_t{1} << 32) - 1}) {
    TMemoryStream stream("xyz", 3);
    EXPECT_EQ(stream.Seek(position, soBeginning), position);
    EXPECT_EQ(stream.Write("ab", 2), 0) << "at " << position;
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{'x', 'y', 'z'})) << "at " << position;
    EXPECT_EQ(stream.Position(), position);
  }
}
