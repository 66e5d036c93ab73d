#include "Files.h"
#include "SetupFiles.h"
#include "WineTestSupport.h"

#include "app/Main.h"
#include "runtime/core/Failures.h"
#include "runtime/Handles.h"
#include "vswriter/ValueWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using setup_test::WriteBytes;

namespace {

const char kBody[] = "%PRODUKTNAME% %PRODUKTVERSION% wird vorbereitet.";

// The German language file: title, body and (unless left out) wait text.
std::string German(const std::string& body = kBody, bool withWait = true) {
  std::map<int32_t, std::string> texts = {{1000, "Willkommen"}, {1001, body}};
  if (withWait) texts[1002] = "Bitte warten ...";
  return LanguageFile("Deutsch", texts);
}

class PrepareWindow : public ::testing::Test {
protected:
  void SetUp() override { dir = setup_test::FreshFolder("prepare-test"); }
  void TearDown() override { setup_test::RemoveTree(dir); }

  void Write(const SetupInfo& info, const std::string& language = German()) {
    ASSERT_TRUE(WriteBytes(dir + "\\setup.inf", SetupInfoFile(info)));
    ASSERT_TRUE(WriteBytes(dir + "\\Deutsch.lng", language));
  }

  const FixedEnvironment design{16};
  ApplicationScope scope;
  TfrmMain form{design};
  std::string dir;
};

}  // namespace

TEST_F(PrepareWindow, EveryFormatVersionReadsItsOwnFieldsAndASilentRunIsNeverShown) {
  // Version 0: the file has no version value.
  for (int32_t version : {0, 4002, 4003, 4013, 4014, 4999, 5000}) {
    SCOPED_TRACE(version);
    SetupInfo info;
    info.version = version;
    info.silent = true;
    Write(info);
    TfrmMain window(design);
    window.PrepareWindow(dir);
    EXPECT_EQ(window.FSilent, version >= 4003);
    EXPECT_EQ(IsWindowVisible(window.Handle()) != FALSE, !window.FSilent);
    if (window.FSilent) {
      EXPECT_EQ(window.Position(), poScreenCenter) << "never placed";
    }
    EXPECT_EQ(window.lblTitel.Caption(), "Willkommen");
    EXPECT_EQ(window.lbText.Caption(), "Demo Produkt 1.0 wird vorbereitet.");
    EXPECT_EQ(window.lbWait.Caption(), "Bitte warten ...");
  }
}

// Centred by the window's own first showing; in the corner with a splash.
TEST_F(PrepareWindow, ShownOrInTheCornerWithASplashPicture) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  Write(SetupInfo());
  form.PrepareWindow(dir);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));

  TfrmMain cornered(design);
  cornered.FHasSplash = true;
  cornered.PrepareWindow(dir);
  EXPECT_TRUE(IsWindowVisible(cornered.Handle()));
  EXPECT_EQ(cornered.Left(), cx - 381 - 5);
  EXPECT_EQ(cornered.Top(), cy - 167 - 30);
}

// The body's placeholders, in capitals only, with name and version cut at
// 255 characters; without a wait text its label is empty.
TEST_F(PrepareWindow, TheBodysPlaceholdersAreFilledInAndAMissingWaitTextLeavesItsLabelEmpty) {
  SetupInfo info;
  info.productName = std::string(255, 'n') + std::string(45, 'X');
  info.productVersion = std::string(256, 'v');
  Write(info, German("%PRODUKTNAME%|%PRODUKTVERSION%|%produktname%", false));
  form.PrepareWindow(dir);
  EXPECT_EQ(form.lbText.Caption(),
            std::string(255, 'n') + "|" + std::string(255, 'v') + "|%produktname%");
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
  WriteBytes(dir + "\\setup.inf", SetupInfoFile(info));
  EXPECT_THROW(form.PrepareWindow(dir), EFOpenError);

  DeleteFileA((dir + "\\setup.inf").c_str());
  EXPECT_THROW(form.PrepareWindow(dir), EFOpenError);
}

TEST_F(PrepareWindow, ALanguageFileOutsideTheFolderFailsLikeAMissingOne) {
  // Each names a language file that is there, but not as a plain name in
  // the folder of "setup.inf".
  const std::string parent = dir.substr(0, dir.find_last_of('\\'));
  WriteBytes(parent + "\\prepare_planted.lng", German());
  for (const std::string& name :
       {std::string("..\\prepare_planted.lng"), dir + "\\Deutsch.lng", std::string("NUL"),
        std::string("con.lng"), std::string("COM1")}) {
    SetupInfo info;
    info.languageFile = name;
    Write(info);
    try {
      form.PrepareWindow(dir);
      ADD_FAILURE() << name << " was read";
    } catch (const EFOpenError& e) {
      EXPECT_NE(e.Message().find(dir + "\\" + name), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form.lblTitel.Caption(), "#") << name;
  }
  DeleteFileA((parent + "\\prepare_planted.lng").c_str());
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
