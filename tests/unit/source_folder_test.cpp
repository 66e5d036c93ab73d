#include "app/core/SourceFolder.h"

#include <gtest/gtest.h>

TEST(SourceFolder, ComesFromTheFirstArgumentWithOneTrailingBackslashRemoved) {
  EXPECT_EQ(SourceFolderFrom({"D:\\Setup\\"}, "C:\\Work"), "D:\\Setup");
  EXPECT_EQ(SourceFolderFrom({"D:\\Setup\\\\"}, "C:\\Work"), "D:\\Setup\\");
  EXPECT_EQ(SourceFolderFrom({"D:\\Setup", "more"}, "C:\\Work"), "D:\\Setup");
}

TEST(SourceFolder, WithoutArgumentsIsTheCurrentFolderAndADriveRootLosesItsBackslash) {
  EXPECT_EQ(SourceFolderFrom({}, "D:\\"), "D:");
  EXPECT_EQ(SourceFolderFrom({}, "C:\\Program Files"), "C:\\Program Files");
}

TEST(InstallerCommandLine, QuotesTheProgramPathButNotTheSourceFolder) {
  EXPECT_EQ(InstallerCommandLine("C:\\Documents and Settings\\me\\Temp\\", "D:\\My Setup"),
            "\"C:\\Documents and Settings\\me\\Temp\\_inst32d.exe\" D:\\My Setup");
  // A drive root source: the line ends in a blank and "D:".
  EXPECT_EQ(InstallerCommandLine("C:\\TEMP\\", "D:"), "\"C:\\TEMP\\_inst32d.exe\" D:");
}
