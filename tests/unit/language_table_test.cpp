// The language text table: loading language files, lookups, expansion.
#include "text/core/CSprache.h"

#include "StreamTestSupport.h"
#include "runtime/core/Messages.h"
#include "streams/core/FileStream.h"
#include "streams/core/Reader.h"
#include "vswriter/ValueWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<int32_t, std::string>>;

// The head of a language file: signature, a string, a symbol, lists - 1.
TValueWriter Head(int32_t lastList) {
  TValueWriter w;
  w.Signature();
  w.Str("Deutsch");
  w.Symbol("Deutsch");
  w.Int(lastList);
  return w;
}

void List(TValueWriter& w, const Pairs& pairs) {
  w.BeginList();
  for (const auto& pair : pairs) {
    w.Int(pair.first);
    w.Str(pair.second);
  }
  w.End();
}

std::string Save(const std::string& name, const TValueWriter& w) {
  std::string path = TestFile(name);
  WriteTestFile(path, w.Data());
  return path;
}

}  // namespace

// ---- Loading ---------------------------------------------------------------------

TEST(LanguageLoad, ReadsLastListPlusOneListsAndNothingAfter) {
  TValueWriter w = Head(2);
  List(w, {{1000, "Titel"}, {1001, "Text"}});
  List(w, {});
  List(w, {{4, "d"}});
  w.Raw("trailing bytes that are never read");
  cSprachContainer table;
  LoadLanguageFile(table, Save("three.lng", w));
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.GetText(1000), "Titel");
  EXPECT_EQ(table.GetText(1001), "Text");
  EXPECT_EQ(table.GetText(4), "d");
  EXPECT_EQ(table.GetText(1002), "");
}

TEST(LanguageLoad, NegativeListCountReadsNoList) {
  TValueWriter w = Head(-1);
  List(w, {{1000, "never"}});
  cSprachContainer table;
  LoadLanguageFile(table, Save("none.lng", w));
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.GetText(1000), "");
}

TEST(LanguageLoad, HeadKindsOtherThanStringAndSymbolAreAccepted) {
  TValueWriter w;
  w.Signature();
  w.WideStr(u"Fran\u00E7ais");
  w.Bool(true);  // any of the symbol's named tags
  w.Int(0);
  w.BeginList();
  w.Int(7);
  w.WideStr(u"\u00C4nderung");
  w.Int(8);
  w.Utf8Str("\xC3\xA9t\xC3\xA9");
  w.End();
  cSprachContainer table;
  LoadLanguageFile(table, Save("wide.lng", w));
  EXPECT_EQ(table.GetText(7), "\xC4nderung");
  EXPECT_EQ(table.GetText(8), "\xE9t\xE9");
}

TEST(LanguageLoad, FailuresPassToTheCallerAndKeepEarlierEntries) {
  {
    TValueWriter w = Head(0);
    w.BeginList();
    w.Int(1); w.Str("kept");
    w.Str("1001"); w.Str("number stored as a string");
    w.End();
    cSprachContainer table;
    EXPECT_EQ(FailureOf([&] { LoadLanguageFile(table, Save("badnumber.lng", w)); }),
              msg::InvalidPropertyValue);
    EXPECT_EQ(table.GetText(1), "kept");
  }
  {
    TValueWriter w = Head(0);
    w.BeginList();
    w.Int(1); w.Str("a");
    cSprachContainer table;
    EXPECT_EQ(FailureOf([&] { LoadLanguageFile(table, Save("cut.lng", w)); }), msg::ReadError);
    EXPECT_EQ(table.Count(), 1);
  }
  {
    TValueWriter w;
    w.Signature(); w.Str("Deutsch"); w.Int(5); w.Int(0);
    cSprachContainer table;
    EXPECT_EQ(FailureOf([&] { LoadLanguageFile(table, Save("symbol.lng", w)); }),
              msg::InvalidPropertyValue);
  }
  {
    cSprachContainer table;
    EXPECT_EQ(FailureOf([&] { LoadLanguageFile(table, Save("empty.lng", TValueWriter())); }),
              msg::ReadError);
  }
}

// ---- The file -------------------------------------------------------------------

TEST(LanguageFile, OpenFailureLeavesTheTableWithoutAFile) {
  cSprachContainer table;
  std::string message = FailureOf([&] { table.OpenFile(TestFile("absent.lng")); });
  EXPECT_EQ(message.rfind("Datei ", 0), 0u) << message;
  EXPECT_FALSE(table.HasFile());
}

TEST(LanguageFile, ReopeningReleasesThePreviousFile) {
  TValueWriter w = Head(-1);
  const std::string path = Save("reopen.lng", w);
  cSprachContainer table;
  table.OpenFile(path).CheckSignature();
  // Opened exclusively: this succeeds only when the first open was closed.
  TReader& reader = table.OpenFile(path);
  EXPECT_EQ(reader.ReadOffset(), 0);
  reader.CheckSignature();
}

#ifdef _WIN32
TEST(LanguageFile, TheFileIsHeldExclusivelyUntilTheTableGoes) {
  TValueWriter w = Head(0);
  List(w, {{1, "a"}});
  const std::string path = Save("held.lng", w);
  {
    cSprachContainer table;
    LoadLanguageFile(table, path);
    EXPECT_NE(FailureOf([&] { TFileStream other(path, fmOpenRead | fmShareDenyNone); }), "(none)");
  }
  TFileStream other(path, fmOpenRead | fmShareCompat);
}
#endif

// ---- Lookups ---------------------------------------------------------------------

TEST(LanguageLookup, TheFirstOfEqualNumbersWinsAndBothStay) {
  cSprachContainer table;
  table.AddText(1000, "erster");
  table.AddText(1000, "zweiter");
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(table.FindText(1000), "erster");
  EXPECT_EQ(table.GetText(1000), "erster");
  EXPECT_EQ(table.Entry(1).FText, "zweiter");
}

TEST(LanguageLookup, NegativeNumbersAreKeyedWithTheirSign) {
  cSprachContainer table;
  table.AddText(-5, "minus");
  table.AddText(5, "plus");
  table.AddText(INT32_MIN, "min");
  EXPECT_EQ(table.GetText(-5), "minus");
  EXPECT_EQ(table.GetText(5), "plus");
  EXPECT_EQ(table.GetText(INT32_MIN), "min");
}

// ---- Expansion -------------------------------------------------------------------

TEST(LanguageExpand, LineBreaksThenTabs) {
  cSprachContainer table;
  table.AddText(1, "eins\\nzwei\\tdrei");
  table.AddText(2, "\\n");
  table.AddText(3, "ende\\");
  table.AddText(4, "a\\\\nb");          // backslash, backslash, n
  table.AddText(5, "\\N\\T\\x");        // other letters stay
  table.AddText(6, "\\n\\n\\t\\t");
  EXPECT_EQ(table.GetText(1), "eins\r\nzwei\tdrei");
  EXPECT_EQ(table.GetText(2), "\r\n");
  EXPECT_EQ(table.GetText(3), "ende\\");
  EXPECT_EQ(table.GetText(4), "a\\\r\nb");
  EXPECT_EQ(table.GetText(5), "\\N\\T\\x");
  EXPECT_EQ(table.GetText(6), "\r\n\r\n\t\t");
  EXPECT_EQ(table.FindText(1), "eins\\nzwei\\tdrei");  // stored unexpanded
}
