#include "Extractor.h"

#include "EntryStream.h"
#include "ResultCodes.h"
#include "core/EntryPath.h"
#include "core/Wildcard.h"

#include "runtime/Handles.h"

#include <zip.h>

#include <memory>

namespace {

constexpr size_t kBufferSize = 1 << 20;

struct ZipCloser { void operator()(zip_t* za) const { zip_discard(za); } };
using UniqueZip = std::unique_ptr<zip_t, ZipCloser>;

std::wstring Widen(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring wide(n - 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string narrow(n - 1, '\0');
  WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &narrow[0], n, nullptr, nullptr);
  return narrow;
}

// Password bytes to try: UTF-8 first, then the ANSI and OEM code pages that
// Windows packers use for traditional encryption.
std::vector<std::string> PasswordCandidates(const std::wstring& password) {
  std::vector<std::string> candidates;
  if (password.empty()) return candidates;
  for (UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP),
                        static_cast<UINT>(CP_OEMCP)}) {
    std::string bytes = Narrow(password, codePage);
    bool known = false;
    for (const std::string& c : candidates) known = known || c == bytes;
    if (!known && !bytes.empty()) candidates.push_back(bytes);
  }
  return candidates;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the folder and any missing parents.
bool CreateFolderTree(const std::wstring& folder) {
  if (folder.empty() || IsFolder(folder)) return true;
  size_t slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':' &&
      !CreateFolderTree(folder.substr(0, slash))) {
    return false;
  }
  return CreateDirectoryW(folder.c_str(), nullptr) || IsFolder(folder);
}

std::wstring FullFolderPath(const std::wstring& folder) {
  DWORD n = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
  if (n == 0) return folder;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(folder.c_str(), n, &full[0], nullptr);
  full.resize(n);
  // No trailing backslash: a drive root becomes "C:", to which "\name" is joined.
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  if (full.size() == 3 && full[1] == L':') full.pop_back();
  return full;
}

FILETIME ToFileTime(time_t t) {
  ULONGLONG ticks = static_cast<ULONGLONG>(t) * 10000000ULL + 116444736000000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

class Extraction {
public:
  Extraction(const UnzipSettings& settings, bool write)
      : settings_(settings), write_(write), passwords_(PasswordCandidates(settings.password)) {}

  LONG Run();

private:
  LONG OpenArchive();
  void ProcessEntry(zip_uint64_t index);
  LONG CopyEntry(EntryStream* entry, HANDLE out);
  LONG WriteEntry(zip_uint64_t index, const zip_stat_t& st, const std::wstring& target);
  void Note(LONG code) { if (result_ == kResultSuccess) result_ = code; }

  const UnzipSettings& settings_;
  bool write_;
  std::vector<std::string> passwords_;
  UniqueZip zip_;
  std::wstring folder_;
  std::vector<uint8_t> buffer_;
  LONG result_ = kResultSuccess;
};

LONG Extraction::Run() {
  if (LONG failure = OpenArchive()) return failure;
  if (write_) {
    if (settings_.unzipToFolder.empty()) return kResultNoTargetFolder;
    folder_ = FullFolderPath(settings_.unzipToFolder);
    if (!CreateFolderTree(folder_)) return kResultWriteFailed;
  }
  buffer_.resize(kBufferSize);
  zip_int64_t count = zip_get_num_entries(zip_.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) ProcessEntry(static_cast<zip_uint64_t>(i));
  return result_;
}

LONG Extraction::OpenArchive() {
  if (settings_.zipFilename.empty()) return kResultArchiveMissing;
  DWORD share = FILE_SHARE_READ;
  if (settings_.zipOpenedFiles) share |= FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(settings_.zipFilename.c_str(), GENERIC_READ, share, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                   error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
                   error == ERROR_INVALID_DRIVE;
    return missing ? kResultArchiveMissing : kResultArchiveUnreadable;
  }
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_win32handle_create(file, 0, -1, &error);
  if (source) {
    // The source owns the handle now: freeing it closes the file.
    zip_.reset(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!zip_) zip_source_free(source);
  } else {
    CloseHandle(file);
  }
  zip_error_fini(&error);
  return zip_ ? kResultSuccess : kResultArchiveUnreadable;
}

void Extraction::ProcessEntry(zip_uint64_t index) {
  zip_stat_t st;
  if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
    Note(kResultDamagedEntry);
    return;
  }
  std::wstring name = Widen(st.name);
  if (IsFolderEntry(name)) return;  // folders are made for the files in them
  std::wstring_view fileName = EntryFileName(name);
  if (!settings_.masks.empty() && !MatchesAnyMask(settings_.masks, fileName)) return;
  if (MatchesAnyMask(settings_.excludes, fileName)) return;

  std::optional<std::vector<std::wstring>> segments = SafeEntrySegments(name);
  if (!segments) {
    Note(kResultUnsafeName);
    return;
  }
  if (!write_) {
    Note(WriteEntry(index, st, std::wstring()));
    return;
  }
  std::wstring target = folder_;
  size_t first = settings_.preservePaths ? 0 : segments->size() - 1;
  for (size_t i = first; i < segments->size(); ++i) {
    if (i + 1 == segments->size() && !CreateFolderTree(target)) {
      Note(kResultWriteFailed);
      return;
    }
    target += L'\\';
    target += (*segments)[i];
  }
  if (settings_.skipIfExisting && Exists(target)) return;
  if (LONG failure = WriteEntry(index, st, target)) Note(failure);
}

// Copies the entry's data to `out` (nothing is written when it is null).
LONG Extraction::CopyEntry(EntryStream* entry, HANDLE out) {
  for (;;) {
    zip_int64_t n = entry->Read(buffer_.data(), buffer_.size());
    if (n == 0) return kResultSuccess;
    if (n < 0) return entry->failure();
    if (out) {
      DWORD written = 0;
      if (!WriteFile(out, buffer_.data(), static_cast<DWORD>(n), &written, nullptr) ||
          written != static_cast<DWORD>(n)) {
        return kResultWriteFailed;
      }
    }
  }
}

// Writes the entry to a temporary file beside the target and renames it, so
// a failure never leaves a half file under the entry's name. An existing
// target is replaced, also when it is read-only. Without a target the data
// is only read and checked.
LONG Extraction::WriteEntry(zip_uint64_t index, const zip_stat_t& st, const std::wstring& target) {
  LONG failure = kResultSuccess;
  std::unique_ptr<EntryStream> entry = OpenEntryStream(zip_.get(), index, st, passwords_, &failure);
  if (!entry) return failure;
  if (target.empty()) return CopyEntry(entry.get(), nullptr);

  std::wstring parent = target.substr(0, target.find_last_of(L'\\'));
  wchar_t temp[MAX_PATH];
  if (!GetTempFileNameW(parent.c_str(), L"xz", 0, temp)) return kResultWriteFailed;
  UniqueFile out(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) {
    DeleteFileW(temp);
    return kResultWriteFailed;
  }
  failure = CopyEntry(entry.get(), out.get());
  if (failure == kResultSuccess && (st.valid & ZIP_STAT_MTIME)) {
    FILETIME modified = ToFileTime(st.mtime);
    SetFileTime(out.get(), nullptr, nullptr, &modified);
  }
  out.reset();
  if (failure == kResultSuccess) {
    if (Exists(target)) SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING)) failure = kResultWriteFailed;
  }
  if (failure != kResultSuccess) DeleteFileW(temp);
  return failure;
}

}  // namespace

LONG UnzipArchive(const UnzipSettings& settings) {
  return Extraction(settings, true).Run();
}

LONG TestArchive(const UnzipSettings& settings) {
  return Extraction(settings, false).Run();
}
