// The installer stand-in that tests of the hand-off start: it must record
// exactly how it was started.
#include "FixturePaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ReadLog(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) data.append(buffer, n);
  CloseHandle(file);
  return data;
}

TEST(TestInstaller, LogsItsCommandLineAndTheArgumentsAsTheRuntimeSplitsThem) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string log = std::string(temp) + "test_installer_" + std::to_string(GetCurrentProcessId()) +
                    ".log";
  std::string program = FixturePath(FIXTURE_TEST_INSTALLER);
  std::string commandLine = "\"" + program + "\" D:\\Setup \"C:\\My Files\" *.lng \"\" last";

  SetEnvironmentVariableA("SETUP_TEST_INSTALLER_LOG", log.c_str());
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  SetEnvironmentVariableA("SETUP_TEST_INSTALLER_LOG", nullptr);
  WaitForSingleObject(process.hProcess, 30000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ReadLog(log), commandLine + "\n" + program + "\nD:\\Setup\nC:\\My Files\n*.lng\n\nlast\n")
      << "no wildcard expansion; an empty quoted argument stays";
  DeleteFileA(log.c_str());
}

}  // namespace
