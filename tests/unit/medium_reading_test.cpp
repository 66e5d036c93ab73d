#include "StreamTestSupport.h"

#include "SetupFiles.h"
#include "app/core/MediumReading.h"

#include <gtest/gtest.h>

namespace {

struct Read {
  medium::WindowTexts texts;
  setupinfo::Head head;
};

Read ReadMedium(const std::string& setupInfo, const std::string& language) {
  const std::string info = TestFile("setup.inf");
  const std::string lng = TestFile("Deutsch.lng");
  WriteTestFile(info, setupInfo);
  WriteTestFile(lng, language);
  medium::TSetupInfoReading reading(info);
  reading.ReadUpToTexts();
  Read result{reading.ReadTexts(lng), {}};
  result.head = reading.ReadRest();
  return result;
}

}  // namespace

TEST(MediumReading, TheWindowTextsAreTheLanguageFilesWithTheBodysPlaceholdersFilledIn) {
  SetupInfo info;
  info.productName = "Produkt %PRODUKTVERSION%";  // the name goes in first, then the version
  info.silent = true;
  const Read read = ReadMedium(
      SetupInfoFile(info),
      LanguageFile("Deutsch", {{1000, "%PRODUKTNAME%"}, {1001, "%PRODUKTNAME%\\n%PRODUKTVERSION%!"}, {1002, "W"}}));
  EXPECT_EQ(read.texts.title, "%PRODUKTNAME%");  // only the body's are replaced
  EXPECT_EQ(read.texts.body, "Produkt 1.0\r\n1.0!");
  EXPECT_EQ(read.texts.wait, "W");
  EXPECT_TRUE(read.head.silent);
}

TEST(MediumReading, AFailureTellsWhichValueWasBeingRead) {
  const std::string info = SetupInfoFile(SetupInfo{});
  const std::string path = TestFile("cut.inf");
  WriteTestFile(path, info.substr(0, info.find("Demo Produkt") + 3));  // cut inside the product name
  medium::TSetupInfoReading reading(path);
  EXPECT_THROW(reading.ReadUpToTexts(), EReadError);
  EXPECT_STREQ(reading.Place(), "product name");
  EXPECT_GT(reading.PlaceOffset(), 4);
}
