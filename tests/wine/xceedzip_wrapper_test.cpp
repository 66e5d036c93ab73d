// The wrapper of the zip component driving our XceedZip.dll: creation,
// property puts, masks and two extractions on one instance, release, and
// the failures of creation and puts.
#include "FixturePaths.h"
#include "SetupRun.h"
#include "ZipWriter.h"
#include "app/core/MediumNames.h"
#include "runtime/ProcAddress.h"
#include "runtime/core/Failures.h"
#include "zip/XceedZip.h"

#include <olectl.h>

#include <gtest/gtest.h>

using namespace setup_test;

namespace {

class ComponentTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    HMODULE library = LoadLibraryA(FixturePath(FIXTURE_XCEEDZIP_DLL).c_str());
    ASSERT_NE(library, nullptr);
    auto registerServer = PROC_ADDRESS(library, DllRegisterServer);
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);
    FreeLibrary(library);
  }
  void SetUp() override {
    CoInitialize(nullptr);
    base_ = FreshFolder(std::string("setup-zip-") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    RemoveTree(base_);
    CoUninitialize();
  }
  std::string base_;
};

// A control whose class nobody registered.
class UnregisteredControl : public TOleControl {
public:
  UnregisteredControl()
      : TOleControl({0x5E7C0DE1, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}},
                    {0x5E7C0DE2, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}}) {}
};

// The zip component with a put of a property it does not have.
class ZipWithUnknownProperty : public TXceedZip {
public:
  void PutUnknown() { SetStringProp(4711, "x"); }
};

}  // namespace

TEST_F(ComponentTest, TwoExtractionsOnOneInstanceTheSecondWithoutThePasswordAgain) {
  TZipWriter archive(medium::kArchivePassword);
  archive.Add("Setup.inf", "information");
  archive.Add("Deutsch.lng", "deutsch");
  archive.Add("ENGLISH.LNG", "english");
  archive.Add("readme.txt", "not asked for");
  archive.Add("_inst32d.exe", "installer");
  const std::string source = base_ + "\\_Setup.lib";
  const std::string copy = base_ + "\\copy";
  const std::string temp = base_ + "\\temp";
  ASSERT_TRUE(WriteBytes(source, archive.Archive()));
  CreateDirectoryA(copy.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(copy + "\\_Setup.lib", archive.Archive()));
  CreateDirectoryA(temp.c_str(), nullptr);

  TXceedZip zip;
  zip.SetZipFilename(source);
  zip.SetZipOpenedFiles(true);
  zip.SetUnzipToFolder(temp);
  zip.SetEncryptionPassword(medium::kArchivePassword);
  zip.AddFilesToProcess("*.lng");
  zip.AddFilesToProcess("Setup.inf");
  EXPECT_EQ(zip.Unzip(), 0);
  EXPECT_EQ(ReadBytes(temp + "\\Setup.inf"), "information");
  EXPECT_EQ(ReadBytes(temp + "\\Deutsch.lng"), "deutsch");
  EXPECT_EQ(ReadBytes(temp + "\\ENGLISH.LNG"), "english");
  EXPECT_FALSE(Exists(temp + "\\readme.txt"));
  EXPECT_FALSE(Exists(temp + "\\_inst32d.exe"));

  zip.SetZipFilename(copy + "\\_Setup.lib");
  zip.AddFilesToProcess("_inst32d.exe");
  zip.SetUnzipToFolder(temp);
  EXPECT_EQ(zip.Unzip(), 0);
  EXPECT_EQ(ReadBytes(temp + "\\_inst32d.exe"), "installer");
  EXPECT_FALSE(Exists(temp + "\\readme.txt"));
}

TEST_F(ComponentTest, MissingArchiveIsAResultNotAFailureAndEmptyTextGoesAsNull) {
  TXceedZip zip;
  zip.SetZipFilename(base_ + "\\_Setup.lib");
  zip.SetUnzipToFolder(base_);
  zip.AddFilesToProcess("Setup.inf");
  const long missing = zip.Unzip();
  EXPECT_TRUE(missing == 503 || missing == 505) << missing;
  zip.SetZipFilename("");
  EXPECT_EQ(zip.Unzip(), 503);
}

TEST_F(ComponentTest, CreationAndPutFailuresRaiseOleSysErrorWithATrimmedMessage) {
  try {
    UnregisteredControl control;
    FAIL() << "an unregistered class was created";
  } catch (const EOleSysError& failure) {
    EXPECT_STREQ(failure.ClassName(), "EOleSysError");
    ASSERT_FALSE(failure.Message().empty());
    EXPECT_NE(failure.Message().back(), '.');
    EXPECT_GT(static_cast<unsigned char>(failure.Message().back()), ' ');
  }
  ZipWithUnknownProperty zip;
  EXPECT_THROW(zip.PutUnknown(), EOleSysError);
}
