// Helpers shared by the stream, reader and language table tests; portable,
// so the same tests run natively and in the Windows build under Wine.
#pragma once

#include "runtime/core/Failures.h"
#include "streams/core/MemoryStream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

inline std::string Bytes(std::initializer_list<uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

inline const std::string kSig = Bytes({0x54, 0x50, 0x46, 0x30});

// A memory stream that counts how often it is asked for data and moved.
class TCountingStream : public TMemoryStream {
public:
  using TMemoryStream::TMemoryStream;
  int32_t Read(void* buffer, int32_t count) override {
    ++reads;
    return TMemoryStream::Read(buffer, count);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    if (!(offset == 0 && origin == soCurrent)) ++moves;
    return TMemoryStream::Seek(offset, origin);
  }
  int reads = 0;
  int moves = 0;
};

// The message of the EStreamError that f raises, or "(none)".
template <typename F>
std::string FailureOf(F f) {
  try {
    f();
  } catch (const EStreamError& e) {
    return e.Message();
  }
  return "(none)";
}

// The files made through TestFile, removed with their folder at exit.
// Both live until after the exit handler ran: never destroyed.
inline std::vector<std::string>& TestFiles() {
  static auto* files = new std::vector<std::string>;
  return *files;
}

inline void RemoveTestFiles();

// A folder for test files that exists for the test binary's lifetime.
inline const std::string& TestFolder() {
  static const std::string& folder = *new std::string([] {
    std::atexit(RemoveTestFiles);
#ifdef _WIN32
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string base(temp, n);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    std::string path = base + "\\streams_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
#else
    char pattern[] = "/tmp/streams_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
#endif
  }());
  return folder;
}

inline std::string TestFile(const std::string& name) {
#ifdef _WIN32
  std::string path = TestFolder() + "\\" + name;
#else
  std::string path = TestFolder() + "/" + name;
#endif
  TestFiles().push_back(path);
  return path;
}

inline void RemoveTestFiles() {
  for (const std::string& path : TestFiles()) std::remove(path.c_str());
#ifdef _WIN32
  RemoveDirectoryA(TestFolder().c_str());
#else
  rmdir(TestFolder().c_str());
#endif
}

inline void WriteTestFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}
