// The value writer, the description format and the inspector.
#include "InspectValues.h"
#include "vswriter/Description.h"
#include "vswriter/ValueWriter.h"

#include "StreamTestSupport.h"
#include "streams/core/Reader.h"
#include "text/core/CSprache.h"
#include "../support/MediumTestFiles.h"

#include <gtest/gtest.h>

using setupmedium::CheckLanguageFile;
using setupmedium::CheckSetupInfo;

namespace {

std::string Build(const std::string& description) {
  std::string bytes, error;
  EXPECT_TRUE(BuildValueStream(description, bytes, error)) << error;
  return bytes;
}

// The message BuildValueStream refuses a description with.
std::string BuildFailure(const std::string& description) {
  std::string bytes, error;
  EXPECT_FALSE(BuildValueStream(description, bytes, error));
  return error;
}

std::string LastLine(const std::string& text) {
  size_t end = text.size() - (text.empty() || text.back() != '\n' ? 0 : 1);
  size_t start = text.rfind('\n', end - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

// The demonstration samples, beside the sample medium description.
std::string Sample(const std::string& name) {
  const std::string text = ReadText(std::filesystem::path(SETUPMEDIUM_SAMPLE).parent_path() / name);
  EXPECT_FALSE(text.empty()) << name;
  return text;
}

}  // namespace

// ---- Writing -------------------------------------------------------------------

TEST(ValueWriter, IntegersTakeTheSmallestKindThatHoldsThem) {
  const int32_t values[] = {0, 127, -128, 128, -129, 32767, -32768, 32768, -32769, INT32_MIN};
  const size_t sizes[] = {2, 2, 2, 3, 3, 3, 3, 5, 5, 5};
  for (size_t i = 0; i < 10; ++i) {
    TValueWriter w;
    w.Int(values[i]);
    EXPECT_EQ(w.Size(), sizes[i]) << values[i];
    TMemoryStream stream(w.Data());
    TReader reader(stream, 4096);
    EXPECT_EQ(reader.ReadIntValue(), values[i]);
  }
}

TEST(ValueWriter, StringsLongerThan255BytesBecomeLongStrings) {
  TValueWriter w;
  w.Str(std::string(255, 'a'));
  w.Str(std::string(256, 'b'));
  EXPECT_EQ(static_cast<uint8_t>(w.Data()[0]), tgShortStr);
  EXPECT_EQ(static_cast<uint8_t>(w.Data()[257]), tgLongStr);
  TMemoryStream stream(w.Data());
  TReader reader(stream, 4096);
  EXPECT_EQ(reader.ReadStrValue(), std::string(255, 'a'));
  EXPECT_EQ(reader.ReadStrValue(), std::string(256, 'b'));
}

// ---- Descriptions ----------------------------------------------------------------

TEST(ValueDescription, EveryKindSurvivesPrintingAndRebuilding) {
  const std::string description = R"(signature
int 5000
int8 -1
int16 300
int32 -70000
int64 -9000000000
str "Grü\x00e \"quoted\" back\\slash \n kept"
shortstr ""
longstr "long ä"
wstr "Grüße 😀 \uD800 \x01"
utf8 "😀 \xFF"
true
bool false
sym Deutsch
sym "two words"
nil
float32 1.5
date64 45000.25
date64 bits:010000000000F8FF
float32 bits:0100C0FF
fixed64 -12.3456
fixed64 -922337203685477.5808
fixed64 922337203685477.5807
float80 0102030405060708090A
bytes 00FF
bytes
set "akTop" "akLeft"
set
collection
  item
    prop Caption
    str "a"
    prop Items
    list
      int 1
    end
  end
  item int16 7 start 5
  end
end
list
  high int8 5
  high end
  end
end
end
tag 21
tag 0xFF
raw 0AFDFFFFFF
)";
  std::string bytes = Build(description);
  std::string plain;
  ASSERT_TRUE(DescribeValueStream(bytes, false, plain)) << plain;
  EXPECT_EQ(Build(plain), bytes) << plain;
  // The line for a 1252 string: text as UTF-8, the rest escaped.
  EXPECT_NE(plain.find("shortstr \"Gr\xC3\xBC\\x00e \\\"quoted\\\" back\\\\slash \\\\n kept\""),
            std::string::npos)
      << plain;
}

TEST(ValueDescription, OffsetsAndNestingAreShown) {
  std::string bytes = Build("signature\nlist\nint 1000\nstr \"T\"\nend\n");
  std::string text;
  ASSERT_TRUE(DescribeValueStream(bytes, true, text));
  EXPECT_EQ(text,
            "       0  signature\n"
            "       4  list\n"
            "       5    int16 1000\n"
            "       8    shortstr \"T\"\n"
            "      11  end\n");
}

TEST(ValueDescription, FaultyLinesAreReportedWithTheirNumber) {
  EXPECT_EQ(BuildFailure("signature\n\nnumber 5\n"), "line 3: unknown kind \"number\"");
  EXPECT_EQ(BuildFailure("str \"open\n"), "line 1: quoted text without its closing quote");
  EXPECT_EQ(BuildFailure("int8 128\n"), "line 1: \"128\" is not a number from -128 to 127");
  EXPECT_NE(BuildFailure("shortstr \"" + std::string(256, 'x') + "\"\n"), "");
  EXPECT_NE(BuildFailure("str \"\xE2\x82\"\n"), "");  // malformed UTF-8
  EXPECT_NE(BuildFailure("str \"\xE4\xB8\xAD\"\n"), "");  // not in code page 1252
}

// ---- Damaged streams -----------------------------------------------------------

TEST(ValueInspection, DamagedStreamsSayWhereAndWhyTheyStop) {
  struct Case {
    std::string bytes;
    std::string error;
  } cases[] = {
      {Bytes({0x54, 0x50}), "error at offset 0: the data ends inside the signature (2 of 4 bytes)"},
      {Bytes({0x54, 0x50, 0x46, 0x31}), "error at offset 0: the signature is 54504631, not TPF0 (54504630)"},
      {kSig + Bytes({0x02, 0x01, 0x0C, 0x0A, 0, 0, 0, 'a', 'b'}),
       "error at offset 11: the data ends inside the longstr value that starts at offset 6 "
       "(10 bytes needed, 2 left)"},
      {kSig + Bytes({0x12, 0xFE, 0xFF, 0xFF, 0xFF}),
       "error at offset 4: the wstr value has the negative length -2 (the program reads it as an "
       "invalid value)"},
      {kSig + Bytes({0x01, 0x01, 0x00}), "error at offset 7: the data ends inside the list that starts at offset 4"},
      {kSig + Bytes({0x0E, 0x01, 0x03, 'a', 'b', 'c'}),
       "error at offset 10: the data ends before the value of the property at offset 6"},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_FALSE(DescribeValueStream(c.bytes, true, text));
    EXPECT_EQ(LastLine(text), c.error);
  }
}

// ---- The demonstration samples -------------------------------------------------

// (The sample "Setup.inf" is read through the checker below.)
TEST(ValueSamples, TheLanguageFilesCarryTheThreeTextsInCodePage1252) {
  const auto load = [](const std::string& name, cSprachContainer& table) {
    const std::string path = TestFile(name);
    WriteTestFile(path, Build(Sample(name + ".txt")));
    LoadLanguageFile(table, path);
  };
  cSprachContainer german, english;
  load("Deutsch.lng", german);
  EXPECT_EQ(german.GetText(1000), "Installation");
  std::string body = german.GetText(1001);
  EXPECT_EQ(body.find("%PRODUKTNAME% %PRODUKTVERSION%"), 0u);
  EXPECT_NE(body.find("\r\nBitte"), std::string::npos);
  EXPECT_NE(body.find("w\xE4hrend"), std::string::npos);
  EXPECT_EQ(german.GetText(1002), "Bitte warten \x85");
  load("English.lng", english);
  for (int32_t number : {1000, 1001, 1002}) EXPECT_NE(english.GetText(number), "") << number;
}

// ---- Checking medium files as Setup.exe reads them ---------------------------------

TEST(MediumCheck, ReportsTheSetupInformationHeadAndTheSilentFlag) {
  const std::string path = TestFile("check.inf");
  WriteTestFile(path, Build(Sample("Setup.inf.txt")));
  std::string report;
  EXPECT_TRUE(CheckSetupInfo(path, report));
  EXPECT_EQ(report,
            "format version: 5000\nlanguage file: \"Deutsch.lng\"\nproduct name: \"Demo Produkt\"\n"
            "product version: \"1.0\"\nsilent: no\n");
  WriteTestFile(path, Build("signature\nint 4003\ntrue\nstr \"\"\nstr \"E.lng\"\nstr \"P\"\nstr \"V\"\n"
                            "false\nstr \"\"\nstr \"\"\ntrue\n"));
  EXPECT_TRUE(CheckSetupInfo(path, report));
  EXPECT_NE(report.find("silent: yes"), std::string::npos) << report;
}

TEST(MediumCheck, NamesTheStepWhereSetupWouldFail) {
  const std::string path = TestFile("check_bad.inf");
  WriteTestFile(path, Build("signature\nstr \"a\"\nstr \"b\"\nint 5\n"));
  std::string report;
  EXPECT_FALSE(CheckSetupInfo(path, report));
  EXPECT_EQ(LastLine(report), "error (language file), reading stopped at offset 11: Ung\xC3\xBCltiger Eigenschaftswert");

  std::string language = Build(Sample("Deutsch.lng.txt"));
  WriteTestFile(path, language.substr(0, 60));
  EXPECT_FALSE(CheckLanguageFile(path, report));
  EXPECT_NE(report.find("1000: \"Installation\"\nerror (loading the texts), reading stopped at the end "
                        "of the data, offset 60: Stream-Lesefehler\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("text 1002 is missing"), std::string::npos);
}

TEST(MediumCheck, ListsLanguageTextsExpandedAndMarksShadowedNumbers) {
  const std::string path = TestFile("check.lng");
  WriteTestFile(path, Build("signature\nstr \"\"\nsym X\nint 0\nlist\nint 1000\nstr \"a\\nb\"\n"
                            "int 1000\nstr \"c\"\nend\n"));
  std::string report;
  EXPECT_TRUE(CheckLanguageFile(path, report));
  EXPECT_EQ(report.substr(0, report.find("note")),
            "1000: \"a\\r\\nb\"\n1000: \"c\" (never shown: an earlier text has this number)\n");
}
