#include "runtime/core/PlainFileName.h"

#include <gtest/gtest.h>

TEST(PlainFileName, NamesThatStayInTheirFolderPass) {
  for (const char* name : {"Deutsch.lng", "English", "a..b.lng", ".lng", "CONSOLE.lng", "COM10",
                           "LPT0", "Fran\xE7" "ais.lng", "NULL.lng", "my con.lng"})
    EXPECT_TRUE(IsPlainFileName(name)) << name;
}

TEST(PlainFileName, FoldersDrivesAndDevicesAreRefused) {
  for (const char* name : {"", ".", "..", "...", "..\\Deutsch.lng", "sub\\Deutsch.lng",
                           "sub/Deutsch.lng", "\\\\server\\share\\x.lng", "C:\\x.lng", "C:x.lng",
                           "Deutsch.lng:stream", "CON", "con.lng", "Nul", "aux.txt.lng", "PRN ",
                           "CON .lng", "CONIN$", "conout$.lng", "COM1", "com9.lng", "LPT3",
                           "COM\xB9", "lpt\xB2.lng"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
}
