#include "runtime/core/CommandLine.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(CommandLine, ArgumentsAreSplitAtRunsOfBlanksAndControlCharacters) {
  EXPECT_EQ(CommandLineArguments("Setup.exe  D:\\Setup\\ \t next"), (Args{"D:\\Setup\\", "next"}));
  EXPECT_EQ(CommandLineArguments("Setup.exe"), Args{});
  EXPECT_EQ(CommandLineArguments("   "), Args{});
  EXPECT_EQ(CommandLineArguments("x a\rb\nc\x01" "d\x1F" "e"), (Args{"a", "b", "c", "d", "e"}));
}

TEST(CommandLine, QuotedStretchesKeepBlanksAndLoseTheirQuotes) {
  EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\Setup.exe\" \"D:\\My Setup\\\""),
            Args{"D:\\My Setup\\"});
  EXPECT_EQ(CommandLineArguments("x a\"b c\"d"), Args{"ab cd"});
  EXPECT_EQ(CommandLineArguments("x \"open"), Args{"open"});
}

TEST(CommandLine, EmptyQuotePairsStandingAloneAreSkipped) {
  EXPECT_EQ(CommandLineArguments("x \"\" D:\\"), Args{"D:\\"});
  EXPECT_EQ(CommandLineArguments("x \"\""), Args{});
}
