#include "SetupFiles.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

TEST(Medium, ZipChecksumIsTheStandardOne) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
}

TEST(Medium, SetupInfoHeadCarriesOnlyTheFieldsItsVersionHas) {
  SetupInfo old;
  old.version = 4002;
  SetupInfo current;
  current.version = 5000;
  current.silent = true;
  // 5000 adds the small integer of field 7 (tag and byte), the two booleans
  // of field 8, the empty string (tag and length) and the boolean of 11 and 12.
  EXPECT_EQ(SetupInfoFile(current).size() - SetupInfoFile(old).size(), 2u + 2u + 2u + 1u);
  EXPECT_EQ(SetupInfoFile(current).back(), '\x09');  // silent: true
}
