// Libraries planted beside the program are not loaded by name once the
// search is restricted; libraries given by full path still are.
#include "FixturePaths.h"
#include "SetupRun.h"
#include "runtime/DllSearch.h"

#include <gtest/gtest.h>

using namespace setup_test;

TEST(DllSearch, ALibraryPlantedBesideTheProgramIsNoLongerLoadedByName) {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string folder(buffer, n);
  folder.erase(folder.find_last_of('\\'));
  const std::string planted = folder + "\\setup_planted_probe.dll";
  ASSERT_TRUE(WriteBytes(planted, ReadBytes(FixturePath(PLAIN_DLL_PATH))));

  // Before: the program's own folder is searched first.
  HMODULE before = LoadLibraryA("setup_planted_probe.dll");
  ASSERT_NE(before, nullptr);
  FreeLibrary(before);

  RestrictDllSearchToSystemFolder();
  EXPECT_EQ(LoadLibraryA("setup_planted_probe.dll"), nullptr);
  HMODULE byPath = LoadLibraryA(planted.c_str());
  EXPECT_NE(byPath, nullptr);
  if (byPath) FreeLibrary(byPath);
  // The platform's own libraries still load by name.
  EXPECT_NE(LoadLibraryA("version.dll"), nullptr);
  RemoveFile(planted);
}
