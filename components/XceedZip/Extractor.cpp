#include "Extractor.h"

#include "BcryptCrypto.h"
#include "core/EntryPath.h"
#include "core/EntryStream.h"
#include "core/ResultCodes.h"
#include "core/Wildcard.h"

#include "runtime/Handles.h"

#include <zip.h>

#include <memory>

namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr int kTempNameAttempts = 8;

struct ZipCloser { void operator()(zip_t* za) const { zip_discard(za); } };
using UniqueZip = std::unique_ptr<zip_t, ZipCloser>;
using HeldFolder = UniqueHandle<HANDLE, CloseHandleCloser>;

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

// Renames the open file over `target` through its handle, replacing it.
bool RenameOpenFile(HANDLE file, const std::wstring& target) {
  size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  memcpy(info->FileName, target.c_str(), nameBytes);
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != FALSE;
}

// An entry selected for writing, with where it goes.
struct PlannedEntry {
  zip_uint64_t index;
  zip_stat_t st;
  std::vector<std::wstring> folders;  // below the unzip folder, outermost first
  std::wstring fileName;
  LONG refusal;                       // not written: the result code
};

class Extraction {
public:
  Extraction(const UnzipSettings& settings, bool write)
      : settings_(settings), write_(write), passwords_(PasswordCandidates(settings.password)) {}

  LONG Run();

private:
  LONG OpenArchive();
  void PlanEntry(zip_uint64_t index);
  LONG CheckFreeSpace() const;
  LONG PlaceEntry(const PlannedEntry& planned);
  LONG WriteEntry(const PlannedEntry& planned, const std::wstring& parent);
  UniqueFile CreateTempFile(const std::wstring& parent, std::wstring* path);
  void Note(LONG code) { if (result_ == kResultSuccess) result_ = code; }

  const UnzipSettings& settings_;
  bool write_;
  std::vector<std::string> passwords_;
  BcryptCrypto crypto_;
  UniqueZip zip_;
  std::wstring folder_;
  std::vector<PlannedEntry> planned_;
  std::vector<uint8_t> buffer_;
  LONG result_ = kResultSuccess;
};

// Plans every entry first (names, sizes), then writes them one by one.
LONG Extraction::Run() {
  if (LONG failure = OpenArchive()) return failure;
  if (write_) {
    if (settings_.unzipToFolder.empty()) return kResultNoTargetFolder;
    folder_ = FullFolderPath(settings_.unzipToFolder);
    if (!CreateFolderTree(folder_)) return kResultWriteFailed;
  }
  zip_int64_t count = zip_get_num_entries(zip_.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) PlanEntry(static_cast<zip_uint64_t>(i));
  if (write_) {
    if (LONG failure = CheckFreeSpace()) return failure;
  }
  buffer_.resize(kBufferSize);
  for (const PlannedEntry& planned : planned_) {
    if (LONG failure = PlaceEntry(planned)) Note(failure);
  }
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

void Extraction::PlanEntry(zip_uint64_t index) {
  PlannedEntry planned{index, {}, {}, {}, kResultSuccess};
  zip_stat_t& st = planned.st;
  if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
    planned.refusal = kResultDamagedEntry;
    planned_.push_back(std::move(planned));
    return;
  }
  std::wstring name = Widen(st.name);
  if (IsFolderEntry(name)) return;  // folders are made for the files in them
  std::wstring_view fileName = EntryFileName(name);
  if (!settings_.masks.empty() && !MatchesAnyMask(settings_.masks, fileName)) return;
  if (MatchesAnyMask(settings_.excludes, fileName)) return;

  std::optional<std::vector<std::wstring>> segments = SafeEntrySegments(name);
  if (!segments) {
    planned.refusal = kResultUnsafeName;
    planned_.push_back(std::move(planned));
    return;
  }
  planned.fileName = segments->back();
  if (settings_.preservePaths) planned.folders.assign(segments->begin(), segments->end() - 1);
  planned_.push_back(std::move(planned));
}

// The declared sizes of everything to be written must fit the free space of
// the target volume, before anything is written.
LONG Extraction::CheckFreeSpace() const {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW((folder_ + L"\\").c_str(), &available, nullptr, nullptr)) {
    return kResultSuccess;  // unknown: the writes will tell
  }
  zip_uint64_t needed = 0;
  for (const PlannedEntry& planned : planned_) {
    if (planned.refusal) continue;
    zip_uint64_t size = (planned.st.valid & ZIP_STAT_SIZE) ? planned.st.size : 0;
    needed = needed + size < needed ? ~zip_uint64_t(0) : needed + size;
  }
  return needed > available.QuadPart ? kResultDiskFull : kResultSuccess;
}

// Walks down to the entry's folder, creating what is missing. Each folder is
// held open without delete sharing while the entry is written, so it cannot
// be swapped for a junction or link meanwhile; one that already is a
// reparse point (junction, symbolic link, mount point) refuses the entry.
LONG Extraction::PlaceEntry(const PlannedEntry& planned) {
  if (planned.refusal) return planned.refusal;
  if (!write_) return WriteEntry(planned, std::wstring());
  std::vector<HeldFolder> held;
  std::wstring parent = folder_;
  for (const std::wstring& folder : planned.folders) {
    parent += L'\\';
    parent += folder;
    if (!CreateDirectoryW(parent.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return kResultWriteFailed;
    }
    HANDLE handle = CreateFileW(parent.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return kResultWriteFailed;
    held.emplace_back(handle);
    DWORD attributes = GetFileAttributesW(parent.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return kResultWriteFailed;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return kResultLinkedFolder;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return kResultWriteFailed;
  }
  if (settings_.skipIfExisting && Exists(parent + L'\\' + planned.fileName)) return kResultSuccess;
  return WriteEntry(planned, parent);
}

// A new file beside the target under a name nobody can predict, created
// only if nothing has that name yet, and shared with nobody.
UniqueFile Extraction::CreateTempFile(const std::wstring& parent, std::wstring* path) {
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    uint8_t random[16];
    if (!crypto_.Random(random, sizeof random)) return UniqueFile();
    std::wstring name = L"~xz";
    for (uint8_t b : random) {
      name += L"0123456789abcdef"[b >> 4];
      name += L"0123456789abcdef"[b & 15];
    }
    *path = parent + L'\\' + name + L".tmp";
    UniqueFile file(CreateFileW(path->c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueFile();
}

// Writes the entry to a new temporary file beside the target and renames it
// over the target through its handle, so a failure never leaves a half file
// under the entry's name and the file written is the one that gets the
// name. An existing target is replaced, also when it is read-only; one that
// cannot be replaced (in use) keeps its content and attributes. Without a
// parent the data is only read and checked.
LONG Extraction::WriteEntry(const PlannedEntry& planned, const std::wstring& parent) {
  XceedZipResult opened = kResultSuccess;
  std::unique_ptr<EntryStream> entry =
      OpenEntryStream(zip_.get(), planned.index, planned.st, passwords_, crypto_, &opened);
  if (!entry) return opened;
  if (parent.empty()) {
    return DrainEntryStream(*entry, buffer_, [](const uint8_t*, size_t) { return true; });
  }

  std::wstring tempPath;
  UniqueFile out = CreateTempFile(parent, &tempPath);
  if (!out) return kResultWriteFailed;
  LONG failure = DrainEntryStream(*entry, buffer_, [&](const uint8_t* data, size_t size) {
    DWORD written = 0;
    return WriteFile(out.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
  });
  if (failure == kResultSuccess && (planned.st.valid & ZIP_STAT_MTIME)) {
    FILETIME modified = ToFileTime(planned.st.mtime);
    SetFileTime(out.get(), nullptr, nullptr, &modified);
  }
  if (failure == kResultSuccess) {
    std::wstring target = parent + L'\\' + planned.fileName;
    DWORD attributes = GetFileAttributesW(target.c_str());
    bool cleared = attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM)) &&
                   SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!RenameOpenFile(out.get(), target)) {
      failure = kResultWriteFailed;
      if (cleared) SetFileAttributesW(target.c_str(), attributes);
    }
  }
  if (failure != kResultSuccess) {
    FILE_DISPOSITION_INFO discard = {TRUE};
    bool discarded = SetFileInformationByHandle(out.get(), FileDispositionInfo, &discard,
                                                sizeof discard) != FALSE;
    out.reset();
    if (!discarded) DeleteFileW(tempPath.c_str());
  }
  return failure;
}

}  // namespace

LONG UnzipArchive(const UnzipSettings& settings) {
  return Extraction(settings, true).Run();
}

LONG TestArchive(const UnzipSettings& settings) {
  return Extraction(settings, false).Run();
}
