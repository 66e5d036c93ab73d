#include "SetupFiles.h"

#include <gtest/gtest.h>

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
