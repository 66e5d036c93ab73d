// The zip component's portable rules: which entries a mask selects and which
// entry names may be written below the target folder.
#include "EntryPath.h"
#include "Wildcard.h"

#include <gtest/gtest.h>

namespace {

using Segments = std::vector<std::wstring>;

TEST(FileMask, StarAndQuestionMarkMatchLikeWindows) {
  EXPECT_TRUE(MatchesMask(L"*.lng", L"de.lng"));
  EXPECT_TRUE(MatchesMask(L"*.lng", L".lng"));
  EXPECT_FALSE(MatchesMask(L"*.lng", L"de.lng.bak"));
  EXPECT_TRUE(MatchesMask(L"data?.bin", L"data1.bin"));
  EXPECT_FALSE(MatchesMask(L"data?.bin", L"data.bin")) << "? is exactly one character";
  EXPECT_FALSE(MatchesMask(L"data?.bin", L"data22.bin"));
  EXPECT_TRUE(MatchesMask(L"a*b*c", L"aXbYbZc")) << "a star gives back characters";
  EXPECT_TRUE(MatchesMask(L"*", L""));
  EXPECT_TRUE(MatchesMask(L"**x", L"x"));
  EXPECT_FALSE(MatchesMask(L"", L"x"));
  EXPECT_TRUE(MatchesMask(L"Setup.inf", L"Setup.inf"));
  EXPECT_FALSE(MatchesMask(L"Setup.inf", L"Setup.ini"));
}

TEST(FileMask, CaseIsIgnoredForAsciiAndLatin1) {
  EXPECT_TRUE(MatchesMask(L"SETUP.INF", L"setup.inf"));
  EXPECT_TRUE(MatchesMask(L"*.LnG", L"EN.lng"));
  EXPECT_TRUE(MatchesMask(L"\u00c4RGER.TXT", L"\u00e4rger.txt"));
  EXPECT_FALSE(MatchesMask(L"\u00d7", L"\u00f7")) << "multiplication and division signs differ";
}

TEST(FileMask, DotStarAlsoMatchesNamesWithoutExtension) {
  EXPECT_TRUE(MatchesMask(L"*.*", L"README"));
  EXPECT_TRUE(MatchesMask(L"readme.*", L"README"));
  EXPECT_TRUE(MatchesMask(L"readme.*", L"readme.txt"));
  EXPECT_FALSE(MatchesMask(L"readme.*", L"readmes"));
}

TEST(FileMask, ListsSplitAtBarsAndDropEmptyPieces) {
  EXPECT_EQ(SplitMaskList(L""), Segments{});
  EXPECT_EQ(SplitMaskList(L"*.lng|Setup.inf"), (Segments{L"*.lng", L"Setup.inf"}));
  EXPECT_EQ(SplitMaskList(L"|a||b|"), (Segments{L"a", L"b"}));
  EXPECT_TRUE(MatchesAnyMask({L"x", L"*.exe"}, L"_inst32d.exe"));
  EXPECT_FALSE(MatchesAnyMask({}, L"anything"));
}

TEST(EntryName, FileNameIsThePartAfterTheLastSlashOfEitherKind) {
  EXPECT_EQ(EntryFileName(L"a/b\\c.lng"), L"c.lng");
  EXPECT_EQ(EntryFileName(L"c.lng"), L"c.lng");
  EXPECT_TRUE(IsFolderEntry(L"docs/"));
  EXPECT_TRUE(IsFolderEntry(L"docs\\"));
  EXPECT_FALSE(IsFolderEntry(L"docs"));
}

TEST(EntryName, HarmlessNamesSplitIntoFoldersAndFile) {
  EXPECT_EQ(SafeEntrySegments(L"Setup.inf"), (Segments{L"Setup.inf"}));
  EXPECT_EQ(SafeEntrySegments(L"docs/de/x.lng"), (Segments{L"docs", L"de", L"x.lng"}));
  EXPECT_EQ(SafeEntrySegments(L"docs\\x.lng"), (Segments{L"docs", L"x.lng"}));
  EXPECT_EQ(SafeEntrySegments(L"./a//b/./c"), (Segments{L"a", L"b", L"c"}));
  EXPECT_EQ(SafeEntrySegments(L"..a/b..c/.hidden"), (Segments{L"..a", L"b..c", L".hidden"}));
  EXPECT_EQ(SafeEntrySegments(L"Gr\u00f6\u00dfe.lng"), (Segments{L"Gr\u00f6\u00dfe.lng"}));
  EXPECT_EQ(SafeEntrySegments(L"console.txt"), (Segments{L"console.txt"}));
  EXPECT_EQ(SafeEntrySegments(L"com10"), (Segments{L"com10"}));
}

TEST(EntryName, NamesThatLeaveTheFolderAreRefused) {
  for (const wchar_t* name :
       {L"../evil", L"..\\evil", L"a/../../evil", L"a/..", L"/abs", L"\\abs", L"\\\\server\\share\\x",
        L"C:\\evil", L"C:evil", L"c:/evil", L"file.txt:stream", L"", L"/", L"./", L"a/.. /b",
        L"a/.../b", L"trailing.", L"trailing ", L"\\\\?\\C:\\x"}) {
    EXPECT_FALSE(SafeEntrySegments(name)) << std::wstring(name).c_str();
  }
}

TEST(EntryName, DeviceNamesAndForbiddenCharactersAreRefused) {
  for (const wchar_t* name : {L"CON", L"con", L"sub/NUL.txt", L"aux.tar.gz", L"PRN", L"com1",
                              L"LPT9.log", L"COM\u00b9", L"CONIN$", L"conout$", L"nul .txt",
                              L"a<b", L"a>b", L"a|b", L"a\"b", L"a?b", L"a*b", L"tab\there"}) {
    EXPECT_FALSE(SafeEntrySegments(name)) << std::wstring(name).c_str();
  }
  EXPECT_FALSE(IsDeviceName(L"COM0"));
  EXPECT_FALSE(IsDeviceName(L"CONSOLE"));
  EXPECT_TRUE(IsDeviceName(L"Lpt3.dat"));
}

}  // namespace
