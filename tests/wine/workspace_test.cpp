// The run's workspace: its name, hold and access list, and the removal of
// what earlier runs left.
#include "Files.h"

#include "runtime/Workspace.h"

#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <regex>

using namespace setup_test;

namespace {

const char kTaken[] = "Setup.00000000000000aa";

std::string DrawTakenThenFresh() {
  static int draws = 0;
  return ++draws % 2 ? kTaken : "Setup.00000000000000bb";
}

class Workspace : public ::testing::Test {
protected:
  void SetUp() override { temp_ = FreshFolder("workspace-test"); }
  void TearDown() override { RemoveTree(temp_); }

  // A folder of an earlier run: its name, with or without the marker.
  std::string Earlier(const char* name, bool marker) {
    const std::string folder = temp_ + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    EXPECT_TRUE(WriteBytes(folder + "\\sub\\Deutsch.lng", "x"));
    EXPECT_TRUE(WriteBytes(folder + "\\setup.inf", "x"));
    SetFileAttributesA((folder + "\\setup.inf").c_str(), FILE_ATTRIBUTE_READONLY);
    if (marker) {
      EXPECT_TRUE(WriteBytes(folder + "\\" + kWorkspaceMarker, ""));
    }
    return folder;
  }

  std::string temp_;
};

TEST_F(Workspace, IsANewHeldFolderInsideTheTemporaryFolderWithTheMarkerAndATakenNameIsSkipped) {
  CreateDirectoryA((temp_ + "\\" + kTaken).c_str(), nullptr);
  TWorkspace workspace(temp_, &DrawTakenThenFresh);
  ASSERT_EQ(workspace.status(), TWorkspace::Ready);
  EXPECT_EQ(workspace.path(), temp_ + "\\Setup.00000000000000bb");
  EXPECT_TRUE(Exists(workspace.path() + "\\" + kWorkspaceMarker));
  EXPECT_TRUE(FilesIn(Wide(temp_ + "\\" + kTaken)).empty()) << "the taken one is not used";
  // Held without delete sharing: it cannot be renamed away.
  EXPECT_FALSE(MoveFileA(workspace.path().c_str(), (temp_ + "\\moved").c_str()));
  workspace.Remove();
  EXPECT_FALSE(Exists(workspace.path()));

  TWorkspace drawn(temp_);
  ASSERT_EQ(drawn.status(), TWorkspace::Ready);
  EXPECT_TRUE(std::regex_match(drawn.path(), std::regex(".*\\\\Setup\\.[0-9a-f]{16}")));
  for (const char* name : {"Setup.0123456789abcdef", "setup.0123456789ABCDEF"})
    EXPECT_TRUE(IsWorkspaceName(name)) << name;
  for (const char* name : {"Setup.0123456789abcde", "Setup.0123456789abcdefa", "Setup.0123456789abcdeg",
                           "Setup.inf", "XSetup.0123456789abcdef"})
    EXPECT_FALSE(IsWorkspaceName(name)) << name;
}

TEST_F(Workspace, AFolderThatCannotBeMadeIsReported) {
  TWorkspace workspace(temp_ + "\\missing");
  EXPECT_EQ(workspace.status(), TWorkspace::NotCreated);
}

TEST_F(Workspace, TheProtectedListGivesSystemAndAdministratorsFullControlAndTheUserReadAndExecute) {
  const std::string folder = temp_ + "\\protected";
  CreateDirectoryA(folder.c_str(), nullptr);
  {
    const UniqueFile handle(CreateFileA(folder.c_str(), READ_CONTROL | WRITE_DAC,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(handle);
    ASSERT_TRUE(ProtectFolder(handle.get()));
  }
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &dacl, nullptr, &descriptor),
            ERROR_SUCCESS);
  const UniqueLocal<void*> owned(descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  // Wine keeps an access list only where the file system holds extended
  // attributes; elsewhere it makes one up from the file's mode bits, which
  // carries no protection flag.
  if (!(control & SE_DACL_PROTECTED))
    GTEST_SKIP() << "the file system keeps no access lists (read back unprotected)";
  ASSERT_NE(dacl, nullptr);
  ASSERT_EQ(dacl->AceCount, 3u);

  BYTE system[SECURITY_MAX_SID_SIZE], administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof system;
  ASSERT_TRUE(CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size));
  size = sizeof administrators;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  const UniqueKernelObject ownedToken(token);
  BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &size));

  // Each grant once, in any order the platform keeps them.
  const PSID expectedSids[] = {system, administrators, reinterpret_cast<TOKEN_USER*>(user)->User.Sid};
  const DWORD expectedMasks[] = {FILE_ALL_ACCESS, FILE_ALL_ACCESS,
                                 FILE_GENERIC_READ | FILE_GENERIC_EXECUTE};
  for (DWORD e = 0; e < 3; ++e) {
    int found = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
      if (!EqualSid(&ace->SidStart, expectedSids[e])) continue;
      ++found;
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << e;
      EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
                OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << e;
      EXPECT_EQ(ace->Mask, expectedMasks[e]) << e;
    }
    EXPECT_EQ(found, 1) << "grant " << e;
  }
}

TEST_F(Workspace, EarlierRunsWorkspacesGoUnlessInUseOrNotOurs) {
  const std::string done = Earlier("Setup.0123456789abcdef", true);
  const std::string inUse = Earlier("Setup.1123456789abcdef", true);
  const std::string unmarked = Earlier("Setup.2123456789abcdef", false);
  const std::string otherName = Earlier("Setup.old", true);
  const UniqueFile held(CreateFileA((inUse + "\\sub\\Deutsch.lng").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);

  RemoveEarlierWorkspaces(temp_);
  EXPECT_FALSE(Exists(done));
  EXPECT_TRUE(Exists(inUse + "\\setup.inf")) << "a workspace in use is left whole";
  EXPECT_TRUE(Exists(unmarked + "\\setup.inf"));
  EXPECT_TRUE(Exists(otherName + "\\setup.inf"));
}

TEST(EarlierWorkspaces, ALinkInsideIsNeverFollowedAndGoesOnlyAsALink) {
  // C:\setup-earlier\Setup.00000000000000aa holds the marker and "link", a
  // symbolic link to C:\setup-earlier\outside (made by the fixture). Where
  // the platform opens the link as itself (Windows), it is deleted as a link
  // and the workspace goes; Wine hands out the link's target instead, so
  // the link stays, and its workspace with it.
  const std::string temp = "C:\\setup-earlier";
  ASSERT_TRUE(Exists(temp + "\\outside\\keep.txt")) << "fixture wine_earlier_workspace";
  RemoveEarlierWorkspaces(temp);
  EXPECT_TRUE(Exists(temp + "\\outside\\keep.txt"));
  EXPECT_TRUE(IsFolder(temp + "\\outside"));
  const std::string workspace = temp + "\\Setup.00000000000000aa";
  EXPECT_TRUE(!Exists(workspace) || Exists(workspace + "\\link\\keep.txt"));
}

}  // namespace
