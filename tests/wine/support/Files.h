// Files and folders for the Windows-side tests, by wide or ANSI path.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace setup_test {

inline std::wstring Wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
  return wide;
}

inline std::string Ansi(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], n, nullptr, nullptr);
  return ansi;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}
inline std::string ReadBytes(const std::string& path) { return ReadBytes(Wide(path)); }

// Replaces the file, also a read-only one.
inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}
inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  return WriteBytes(Wide(path), bytes);
}

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
inline bool Exists(const std::string& path) { return Exists(Wide(path)); }

inline bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Calls visit(path, relative name, is folder) for every entry below folder,
// a folder's entries before the folder itself.
template <typename Visit>
void WalkTree(const std::wstring& folder, const std::wstring& prefix, Visit&& visit) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder) WalkTree(folder + L"\\" + name, prefix + name + L"\\", visit);
    visit(folder + L"\\" + name, prefix + name, isFolder);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

// Every file below folder, as relative paths.
inline std::set<std::wstring> FilesIn(const std::wstring& folder) {
  std::set<std::wstring> files;
  WalkTree(folder, L"", [&](const std::wstring&, const std::wstring& name, bool isFolder) {
    if (!isFolder) files.insert(name);
  });
  return files;
}

inline void RemoveTree(const std::wstring& folder) {
  WalkTree(folder, L"", [](const std::wstring& path, const std::wstring&, bool isFolder) {
    if (isFolder) {
      RemoveDirectoryW(path.c_str());
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path.c_str());
    }
  });
  RemoveDirectoryW(folder.c_str());
}
inline void RemoveTree(const std::string& folder) { RemoveTree(Wide(folder)); }

// Removes a file even when it is read-only.
inline void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

inline std::string SystemFolderPath() {
  char buffer[MAX_PATH];
  UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
  return std::string(buffer, n);
}

// A fresh, empty folder for one test, under the prefix's temporary folder.
inline std::string FreshFolder(const std::string& name) {
  char buffer[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, buffer);
  std::string path = std::string(buffer, n) + name;
  RemoveTree(path);
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
public:
  TempFolder() {
    static int counter = 0;
    path_ = Wide(FreshFolder("xzt" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(++counter)));
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
  std::wstring path_;
};

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace setup_test
