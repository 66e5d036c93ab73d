#include "runtime/Workspace.h"

#include <windows.h>
#include <aclapi.h>
#include <ntsecapi.h>

namespace {

constexpr char kPrefix[] = "Setup.";
constexpr int kPrefixLength = 6;
constexpr int kHexDigits = 16;   // 64 random bits
constexpr int kNameAttempts = 16;
constexpr int kDepthLimit = 64;  // deeper folders are left, not walked

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    &wide[0], static_cast<int>(wide.size()));
  wide.resize(n > 0 ? n : 0);
  return wide;
}

// The folder's final path as the platform resolves it, every link followed;
// empty when it cannot say.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
}

// A folder or file opened as itself: a link is opened as the link.
UniqueFile OpenEntry(const std::wstring& path, DWORD access, DWORD share) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
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

}  // namespace

std::string RandomWorkspaceName() {
  unsigned char bits[kHexDigits / 2] = {};
  if (!RtlGenRandom(bits, sizeof bits)) return std::string();
  std::string name = kPrefix;
  for (unsigned char b : bits) {
    name += "0123456789abcdef"[b >> 4];
    name += "0123456789abcdef"[b & 15];
  }
  return name;
}

namespace {

// Walks one entry as itself: a folder after what is in it, a link as the
// link, never through what it points to. The entry was listed with
// listedAttributes; either look seeing a link keeps the walk out of it.
// Probing only asks whether every file could go now (nobody has one open);
// removing deletes, skipping what fails.
bool WalkEntry(const std::wstring& path, DWORD listedAttributes, int depth, bool probe) {
  const bool listedAsFile = !(listedAttributes & FILE_ATTRIBUTE_DIRECTORY);
  UniqueFile entry = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                               probe && listedAsFile ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!entry) return false;
  const DWORD attributes = AttributesOf(entry.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool link = (attributes | listedAttributes) & FILE_ATTRIBUTE_REPARSE_POINT;
  bool all = true;
  if (!link && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (depth >= kDepthLimit) return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
          all = WalkEntry(path + L"\\" + name, found.dwFileAttributes, depth + 1, probe) && all;
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
  }
  if (probe) return all;
  if (link) {
    entry.reset();
    return listedAsFile ? DeleteFileW(path.c_str()) : RemoveDirectoryW(path.c_str());
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO info = {};
    info.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_ARCHIVE;
    SetFileInformationByHandle(entry.get(), FileBasicInfo, &info, sizeof info);
  }
  FILE_DISPOSITION_INFO dispose = {TRUE};
  return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

}  // namespace

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
  return WalkEntry(Wide(folder), FILE_ATTRIBUTE_DIRECTORY, 0, false);
}

void RemoveEarlierWorkspaces(const std::string& tempDir) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((tempDir + "\\Setup.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsWorkspaceName(found.cFileName) || !IsPlainFolder(found.dwFileAttributes)) continue;
    const std::string folder = tempDir + "\\" + found.cFileName;
    // Ours only when it holds our marker, a plain file.
    const UniqueFile marker =
        OpenEntry(Wide(folder + "\\" + kWorkspaceMarker), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    const DWORD markerAttributes = marker ? AttributesOf(marker.get()) : INVALID_FILE_ATTRIBUTES;
    if (markerAttributes == INVALID_FILE_ATTRIBUTES ||
        (markerAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      continue;
    // A workspace still in use (its installer running) is left whole.
    const std::wstring wide = Wide(folder);
    if (WalkEntry(wide, found.dwFileAttributes, 0, true))
      WalkEntry(wide, found.dwFileAttributes, 0, false);
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
  const UniqueFile temp = OpenEntry(Wide(tempDir), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const std::wstring tempFinal = temp ? FinalPath(temp.get()) : std::wstring();
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
  folder_ = OpenEntry(Wide(path_), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL |
                                       WRITE_DAC,
                      FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!folder_ || !IsPlainFolder(AttributesOf(folder_.get()))) return;
  final_ = FinalPath(folder_.get());
  if (tempFinal.empty() ||
      CompareStringOrdinal(final_.c_str(), -1, (tempFinal + L"\\" + Wide(name)).c_str(), -1,
                           TRUE) != CSTR_EQUAL)
    return;
  if (RunIsElevated() && !ProtectFolder(folder_.get())) return;
  const UniqueFile marker(CreateFileA((path_ + "\\" + kWorkspaceMarker).c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!marker) return;
  status_ = Ready;
}

bool TWorkspace::Holds(HANDLE file, const char* name) const {
  return !final_.empty() &&
         CompareStringOrdinal(FinalPath(file).c_str(), -1, (final_ + L"\\" + Wide(name)).c_str(),
                              -1, TRUE) == CSTR_EQUAL;
}

void TWorkspace::Remove() {
  folder_.reset();
  RemoveFolderTree(path_);
}
