#include "runtime/core/Failures.h"

#include <gtest/gtest.h>

TEST(Failures, ClassNamesFollowTheFamilies) {
  EReadError read("x");
  EStreamError& stream = read;
  EXPECT_STREQ(stream.ClassName(), "EReadError");
  EXPECT_STREQ(EOleException("x").ClassName(), "EOleException");
}

TEST(Failures, SystemMessagesLoseTrailingBlanksControlCharactersAndFullStops) {
  EXPECT_EQ(TrimSystemMessage("File not found. \r\n"), "File not found");
  EXPECT_EQ(TrimSystemMessage("...."), "");
  EXPECT_EQ(TrimSystemMessage("a.b"), "a.b");
}

TEST(Failures, FullStopRulesOfTheTwoReports) {
  EXPECT_STREQ(FullStopFor("Stream-Lesefehler"), ".");
  EXPECT_STREQ(FullStopFor("Done."), "");
  EXPECT_STREQ(FullStopFor(""), "");
  EXPECT_STREQ(FullStopFor("Wait!"), ".");
  EXPECT_STREQ(DispatchFullStopFor("JPEG-Fehler #53"), ".");
  EXPECT_STREQ(DispatchFullStopFor("Wait!"), "");
  EXPECT_STREQ(DispatchFullStopFor("Done."), "");
  EXPECT_STREQ(DispatchFullStopFor(""), "");
}
