#include "WineTestSupport.h"

#include "app/Main.h"
#include "runtime/core/Failures.h"
#include "runtime/Handles.h"
#include "vswriter/ValueWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What goes into a setup information file; the writer lays the fields out
// the way the given format version has them.
struct SetupInfo {
  bool hasVersion = true;
  int32_t version = 5000;
  std::string languageFile = "Deutsch.lng";
  std::string productName = "Produkt";
  std::string productVersion = "1.0";
  bool silent = false;

  std::string Bytes() const {
    TValueWriter w;
    w.Signature();
    const int32_t v = hasVersion ? version : 0;
    if (hasVersion) w.Int(version);
    if (v < 4000) w.Str("field 2"); else w.Bool(true);
    w.Str("field 3");
    w.Str(languageFile);
    w.Str(productName);
    w.Str(productVersion);
    if (v >= 4014) w.Int(77);
    if (v >= 5000) {
      w.Bool(true);
      w.Bool(false);
    }
    w.Bool(true);
    w.Str("field 10");
    if (v >= 4003) {
      w.Str("field 11");
      w.Bool(silent);
    } else {
      // Not part of the head of these versions: never read.
      w.Str("trailing");
      w.Bool(true);
    }
    w.Str("the rest of the file");
    return w.Data();
  }
};

struct LanguageFile {
  std::string title = "Willkommen";
  std::string body = "%PRODUKTNAME% %PRODUKTVERSION% wird vorbereitet.";
  std::string wait = "Bitte warten ...";
  bool withWait = true;

  std::string Bytes() const {
    TValueWriter w;
    w.Signature();
    w.Str("Deutsch");
    w.Symbol("deu");
    w.Int(0);
    w.BeginList();
    w.Int(1000);
    w.Str(title);
    w.Int(1001);
    w.Str(body);
    if (withWait) {
      w.Int(1002);
      w.Str(wait);
    }
    w.End();
    return w.Data();
  }
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  UniqueFile out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(out) << path;
  DWORD written = 0;
  ::WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ASSERT_EQ(written, bytes.size());
}

class PrepareWindow : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    dir = std::string(temp, n) + "prepare_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  void TearDown() override {
    DeleteFileA((dir + "\\setup.inf").c_str());
    DeleteFileA((dir + "\\Deutsch.lng").c_str());
    RemoveDirectoryA(dir.c_str());
  }

  void Write(const SetupInfo& info, const LanguageFile& language = LanguageFile()) {
    WriteBytes(dir + "\\setup.inf", info.Bytes());
    WriteBytes(dir + "\\Deutsch.lng", language.Bytes());
  }

  const FixedEnvironment design{16};
  ApplicationScope scope;
  TfrmMain form{design};
  std::string dir;
};

}  // namespace

TEST_F(PrepareWindow, EveryFormatVersionReadsItsOwnFields) {
  struct Case {
    bool hasVersion;
    int32_t version;
  };
  for (Case c : {Case{false, 0}, Case{true, 4002}, Case{true, 4003}, Case{true, 4013},
                 Case{true, 4014}, Case{true, 4999}, Case{true, 5000}}) {
    SCOPED_TRACE(c.hasVersion ? std::to_string(c.version) : std::string("no version"));
    SetupInfo info;
    info.hasVersion = c.hasVersion;
    info.version = c.version;
    info.silent = true;
    Write(info);
    TfrmMain window(design);
    window.PrepareWindow(dir);
    EXPECT_EQ(window.FSilent, c.hasVersion && c.version >= 4003);
    EXPECT_EQ(IsWindowVisible(window.Handle()) != FALSE, !window.FSilent);
    EXPECT_EQ(window.lblTitel.Caption(), "Willkommen");
    EXPECT_EQ(window.lbText.Caption(), "Produkt 1.0 wird vorbereitet.");
    EXPECT_EQ(window.lbWait.Caption(), "Bitte warten ...");
  }
}

TEST_F(PrepareWindow, ASilentRunKeepsTheWindowHiddenButSetsTheTexts) {
  SetupInfo info;
  info.version = 4003;
  info.silent = true;
  Write(info);
  form.PrepareWindow(dir);
  EXPECT_TRUE(form.FSilent);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.lblTitel.Caption(), "Willkommen");
  EXPECT_EQ(form.Position(), poScreenCenter) << "never placed";
}

TEST_F(PrepareWindow, ShownCentredOrInTheCornerWithASplashPicture) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  Write(SetupInfo());
  form.PrepareWindow(dir);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.Left(), (cx - 381) / 2);
  EXPECT_EQ(form.Top(), (cy - 167) / 2);

  TfrmMain cornered(design);
  cornered.FHasSplash = true;
  cornered.PrepareWindow(dir);
  EXPECT_EQ(cornered.Left(), cx - 381 - 5);
  EXPECT_EQ(cornered.Top(), cy - 167 - 30);
  if (cx == 1024 && cy == 768) {
    EXPECT_EQ(form.Left(), 321);
    EXPECT_EQ(form.Top(), 300);
    EXPECT_EQ(cornered.Left(), 638);
    EXPECT_EQ(cornered.Top(), 571);
  }
}

TEST_F(PrepareWindow, PlaceholdersAreReplacedNameFirstThenVersion) {
  SetupInfo info;
  info.productName = "Suite %PRODUKTVERSION% Pro";
  info.productVersion = "7.1";
  LanguageFile language;
  language.body = "%PRODUKTNAME% (%PRODUKTVERSION%) %produktname%";
  Write(info, language);
  form.PrepareWindow(dir);
  EXPECT_EQ(form.lbText.Caption(), "Suite 7.1 Pro (7.1) %produktname%");
  EXPECT_EQ(form.lblTitel.Caption(), "Willkommen") << "the title is taken as it is";
}

TEST_F(PrepareWindow, ProductNameAndVersionAreCutAt255Characters) {
  SetupInfo info;
  info.productName = std::string(255, 'n') + std::string(45, 'X');
  info.productVersion = std::string(256, 'v');
  LanguageFile language;
  language.body = "%PRODUKTNAME%|%PRODUKTVERSION%";
  Write(info, language);
  form.PrepareWindow(dir);
  EXPECT_EQ(form.lbText.Caption(), std::string(255, 'n') + "|" + std::string(255, 'v'));
}

TEST_F(PrepareWindow, AMissingWaitTextLeavesTheWaitLabelEmpty) {
  LanguageFile language;
  language.withWait = false;
  Write(SetupInfo(), language);
  form.PrepareWindow(dir);
  EXPECT_EQ(form.lbWait.Caption(), "");
}

TEST_F(PrepareWindow, FailuresOfTheFilesAreRaised) {
  WriteBytes(dir + "\\setup.inf", std::string("TPF0"));
  try {
    form.PrepareWindow(dir);
    ADD_FAILURE() << "a file of only the signature must fail";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream-Lesefehler");
  }
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.lblTitel.Caption(), "#");

  SetupInfo info;
  info.languageFile = "Fehlt.lng";
  WriteBytes(dir + "\\setup.inf", info.Bytes());
  EXPECT_THROW(form.PrepareWindow(dir), EFOpenError);

  DeleteFileA((dir + "\\setup.inf").c_str());
  EXPECT_THROW(form.PrepareWindow(dir), EFOpenError);
}

TEST_F(PrepareWindow, AFieldOfTheWrongKindFails) {
  TValueWriter w;
  w.Signature();
  w.Int(4014);
  w.Bool(true);
  w.Str("field 3");
  w.Int(12);  // where the language file's name belongs
  WriteBytes(dir + "\\setup.inf", w.Data());
  try {
    form.PrepareWindow(dir);
    ADD_FAILURE() << "an integer is no file name";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Ung\xFCltiger Eigenschaftswert");
  }
}
