#include "runtime/Workspace.h"

#include "runtime/WideText.h"

#include <windows.h>
#include <aclapi.h>
#include <ntsecapi.h>

namespace {

constexpr char kPrefix[] = "Setup.";
constexpr int kPrefixLength = 6;
constexpr int kHexDigits = 16;  // 64 random bits
constexpr int kNameAttempts = 16;
constexpr int kDepthLimit = 64;  // deeper folders are left, not walked
// Paths the workspace code handles: the temporary folder is at most 224
// characters long (TempFolder.h); deeper entries of an earlier run's
// workspace that do not fit are left.
constexpr int kPathChars = 1024;

// A wide path in a buffer of the caller's; false when it does not fit.
bool ToWide(const std::string& text, wchar_t* wide) {
  const std::wstring converted = WideFromAnsi(text);
  if (converted.empty() || converted.size() >= kPathChars) return false;
  converted.copy(wide, converted.size());
  wide[converted.size()] = L'\0';
  return true;
}

// The final path of what the handle names, every link resolved.
bool FinalPath(HANDLE handle, wchar_t* path) {
  const DWORD n = GetFinalPathNameByHandleW(handle, path, kPathChars, 0);
  return n > 0 && n < kPathChars;
}

// A folder or file opened as itself: a link is opened as the link.
UniqueFile OpenEntry(const wchar_t* path, DWORD access, DWORD share) {
  return UniqueFile(CreateFileW(path, access, share, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

DWORD AttributesOf(HANDLE handle) {
  FILE_BASIC_INFO info = {};
  if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info))
    return INVALID_FILE_ATTRIBUTES;
  return info.FileAttributes;
}

bool IsPlainFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Walks one entry as itself: a folder after what is in it, a link as the
// link, never through what it points to. path holds the entry's path in a
// buffer of kPathChars that the walk extends and gives back; the entry was
// listed with listedAttributes, and either look seeing a link keeps the walk
// out of it. Probing only asks whether every file could go now (nobody has
// one open); removing deletes, skipping what fails.
bool WalkEntry(wchar_t* path, DWORD listedAttributes, int depth, bool probe) {
  const bool listedAsFile = !(listedAttributes & FILE_ATTRIBUTE_DIRECTORY);
  // A folder is held without delete access (its listing would be refused)
  // and removed by name once it is empty.
  const bool listedAsLink = listedAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
  UniqueFile entry = OpenEntry(path,
                               listedAsFile || listedAsLink
                                   ? DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES
                                   : FILE_READ_ATTRIBUTES,
                               probe && listedAsFile ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!entry) return false;
  // Both looks count: a handle opened for deleting may report no attributes
  // (seen under Wine).
  DWORD attributes = AttributesOf(entry.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // A link is deleted only through a handle that is the link itself (one
  // reporting the reparse point); where the platform hands out its target
  // instead (Wine's symbolic links), it is left, and its workspace with it.
  const bool linkItself = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  attributes |= listedAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                    FILE_ATTRIBUTE_READONLY);
  const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  bool all = true;
  if (!link && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const size_t length = lstrlenW(path);
    if (depth >= kDepthLimit || length + 2 + MAX_PATH >= kPathChars) return false;
    lstrcpyW(path + length, L"\\*");
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path, &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const wchar_t* name = found.cFileName;
        if (lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0) continue;
        lstrcpyW(path + length + 1, name);
        all = WalkEntry(path, found.dwFileAttributes, depth + 1, probe) && all;
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    path[length] = L'\0';
  }
  if (link && !linkItself) return false;
  if (probe) return all;
  if (!link && !listedAsFile) {
    entry.reset();
    return RemoveDirectoryW(path);
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO info = {};
    info.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_ARCHIVE;
    SetFileInformationByHandle(entry.get(), FileBasicInfo, &info, sizeof info);
  }
  FILE_DISPOSITION_INFO dispose = {TRUE};
  return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

// The final path of the workspace's entry name must be the final path of
// the folder it was made in, that name joined.
bool SameFinalPath(HANDLE handle, const wchar_t* folder, const char* name) {
  wchar_t expected[kPathChars], final[kPathChars];
  const size_t length = lstrlenW(folder);
  const std::wstring wideName = WideFromAnsi(name);
  if (!FinalPath(handle, final) || length + 2 + wideName.size() >= kPathChars) return false;
  lstrcpyW(expected, folder);
  expected[length] = L'\\';
  lstrcpyW(expected + length + 1, wideName.c_str());
  return CompareStringOrdinal(final, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string RandomWorkspaceName() {
  unsigned char bits[kHexDigits / 2] = {};
  if (!RtlGenRandom(bits, sizeof bits)) return std::string();
  char name[kPrefixLength + kHexDigits + 1];
  lstrcpyA(name, kPrefix);
  for (int i = 0; i < kHexDigits; ++i)
    name[kPrefixLength + i] = "0123456789abcdef"[(bits[i / 2] >> (i % 2 ? 0 : 4)) & 15];
  name[kPrefixLength + kHexDigits] = '\0';
  return name;
}

bool IsWorkspaceName(const char* name) {
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, kPrefixLength, kPrefix,
                     kPrefixLength) != CSTR_EQUAL)
    return false;
  int digits = 0;
  for (const char* c = name + kPrefixLength; *c; ++c, ++digits) {
    const char lower = static_cast<char>(*c | 0x20);
    if (!((*c >= '0' && *c <= '9') || (lower >= 'a' && lower <= 'f'))) return false;
  }
  return digits == kHexDigits;
}

bool RemoveFolderTree(const std::string& folder) {
  wchar_t path[kPathChars];
  return ToWide(folder, path) && WalkEntry(path, FILE_ATTRIBUTE_DIRECTORY, 0, false);
}

void RemoveEarlierWorkspaces(const std::string& tempDir) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((tempDir + "\\Setup.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsWorkspaceName(found.cFileName) || !IsPlainFolder(found.dwFileAttributes)) continue;
    const std::string folder = tempDir + "\\" + found.cFileName;
    // Ours only when it holds our marker, a plain file.
    wchar_t path[kPathChars];
    if (!ToWide(folder + "\\" + kWorkspaceMarker, path)) continue;
    DWORD markerAttributes = INVALID_FILE_ATTRIBUTES;
    if (const UniqueFile marker = OpenEntry(path, FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
      markerAttributes = AttributesOf(marker.get());
    if (markerAttributes == INVALID_FILE_ATTRIBUTES ||
        (markerAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      continue;
    // A workspace still in use (its installer running) is left whole.
    ToWide(folder, path);
    if (WalkEntry(path, found.dwFileAttributes, 0, true))
      WalkEntry(path, found.dwFileAttributes, 0, false);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

bool ProtectFolder(HANDLE folder) {
  UniqueKernelObject token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } tokenUser;
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenUser, &tokenUser, sizeof tokenUser, &size))
    return false;
  BYTE system[SECURITY_MAX_SID_SIZE], administrators[SECURITY_MAX_SID_SIZE];
  DWORD systemSize = sizeof system, administratorsSize = sizeof administrators;
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize) ||
      !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators,
                          &administratorsSize))
    return false;
  union {
    ACL acl;
    BYTE bytes[512];
  } list;
  constexpr DWORD kInherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  if (!InitializeAcl(&list.acl, sizeof list, ACL_REVISION) ||
      !AddAccessAllowedAceEx(&list.acl, ACL_REVISION, kInherit, FILE_ALL_ACCESS, system) ||
      !AddAccessAllowedAceEx(&list.acl, ACL_REVISION, kInherit, FILE_ALL_ACCESS, administrators) ||
      !AddAccessAllowedAceEx(&list.acl, ACL_REVISION, kInherit,
                             FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, tokenUser.user.User.Sid))
    return false;
  return SetSecurityInfo(folder, SE_FILE_OBJECT,
                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                         nullptr, &list.acl, nullptr) == ERROR_SUCCESS;
}

bool RunIsElevated() {
  UniqueKernelObject token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated;
}

TWorkspace::TWorkspace(const std::string& tempDir, std::string (*drawName)()) {
  wchar_t path[kPathChars];
  if (!ToWide(tempDir, path)) return;
  const UniqueFile temp = OpenEntry(path, FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  wchar_t tempFinal[kPathChars];
  if (!temp || !FinalPath(temp.get(), tempFinal)) return;
  std::string name;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = drawName ? drawName() : RandomWorkspaceName();
    path_ = tempDir + "\\" + name;
    if (name.empty() || CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;  // NotCreated
    name.clear();
  }
  if (name.empty()) return;
  // Held at once, without delete sharing: it cannot be renamed, removed or
  // swapped for a link while the run works in it.
  status_ = NotSafe;
  ToWide(path_, path);
  folder_ = OpenEntry(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | WRITE_DAC,
                      FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!folder_ || !IsPlainFolder(AttributesOf(folder_.get())) ||
      !SameFinalPath(folder_.get(), tempFinal, name.c_str()) || !FinalPath(folder_.get(), final_))
    return;
  if (RunIsElevated() && !ProtectFolder(folder_.get())) return;
  const UniqueFile marker(CreateFileA((path_ + "\\" + kWorkspaceMarker).c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!marker) return;
  status_ = Ready;
}

bool TWorkspace::Holds(HANDLE file, const char* name) const {
  return folder_ && SameFinalPath(file, final_, name);
}

void TWorkspace::Remove() {
  folder_.reset();
  RemoveFolderTree(path_);
}
