#include "runtime/core/ObjectName.h"

#include <gtest/gtest.h>

TEST(LocalObjectName, IsTheFolderWithoutTrailingSeparatorsAndWithoutBackslashes) {
  EXPECT_EQ(LocalObjectName(u"Setup.Run ", u"C:\\TEMP\\"), u"Local\\Setup.Run C:/TEMP");
  EXPECT_EQ(LocalObjectName(u"Setup.Run ", u"C:/TEMP//"), u"Local\\Setup.Run C:/TEMP");
  EXPECT_EQ(LocalObjectName(u"Setup.Run ", u"\\\\SERVER\\SHARE\\TMP"),
            u"Local\\Setup.Run //SERVER/SHARE/TMP");
}

TEST(LocalObjectName, ALongFolderIsCutToTheLimitKeepingAHashOfItAllAndItsEnd) {
  const std::u16string kind = u"Setup.Run ";
  const std::u16string end = u"\\AppData\\Local\\Temp";
  const std::u16string fits(kMaxObjectNameLength - 16 - end.size(), u'X');
  EXPECT_EQ(LocalObjectName(kind, fits + end).size(), kMaxObjectNameLength);
  EXPECT_EQ(LocalObjectName(kind, fits + end + u"\\"), LocalObjectName(kind, fits + end));

  const std::u16string one = LocalObjectName(kind, u"C:\\A" + fits + end);
  const std::u16string other = LocalObjectName(kind, u"C:\\B" + fits + end);
  EXPECT_EQ(one.size(), kMaxObjectNameLength);
  EXPECT_NE(one, other) << "the folders differ only where the name is cut";
  EXPECT_EQ(one.substr(0, 6 + kind.size()), u"Local\\" + kind);
  EXPECT_EQ(one[6 + kind.size() + 16], u'~');
  EXPECT_EQ(one.substr(one.size() - end.size()), u"/AppData/Local/Temp");
  EXPECT_EQ(LocalObjectName(kind, u"C:\\A" + fits + end), one);
}
