#include "Extractor.h"

#include "BcryptCrypto.h"
#include "core/EntryPath.h"
#include "core/EntryStream.h"
#include "zip/core/XceedZipResults.h"
#include "core/Wildcard.h"

#include "runtime/FolderTree.h"
#include "runtime/Handles.h"

#include <zip.h>

#include <memory>

namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr int kTempNameAttempts = 8;

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

// A folder or file opened as itself (a link as the link), sharing with
// others everything but deleting: it cannot be renamed or replaced while
// it is held.
UniqueFile OpenHeld(const std::wstring& path, DWORD access, DWORD flags) {
  return UniqueFile(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

DWORD AttributesOf(HANDLE handle) {
  FILE_BASIC_INFO info = {};
  return GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info)
             ? info.FileAttributes
             : INVALID_FILE_ATTRIBUTES;
}

bool SetAttributesOf(HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO info = {};
  info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info) != FALSE;
}

// The final path of what the handle names, every link resolved.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
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
  LONG WriteEntry(const PlannedEntry& planned, const std::wstring& parent, HANDLE parentHandle);
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

// Walks down to the entry's folder, creating what is missing. The unzip
// folder and each folder below it are held open without delete sharing
// while the entry is written, so none can be swapped for a junction or link
// meanwhile; one below the unzip folder that already is a reparse point
// (junction, symbolic link, mount point) refuses the entry. What a folder
// is, is asked of its handle, not of its name.
LONG Extraction::PlaceEntry(const PlannedEntry& planned) {
  if (planned.refusal) return planned.refusal;
  if (!write_) return WriteEntry(planned, std::wstring(), nullptr);
  std::vector<UniqueFile> held;
  held.push_back(OpenHeld(folder_, FILE_READ_ATTRIBUTES, 0));
  if (!held.back()) return kResultWriteFailed;
  std::wstring parent = folder_;
  for (const std::wstring& folder : planned.folders) {
    parent += L'\\';
    parent += folder;
    if (!CreateDirectoryW(parent.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return kResultWriteFailed;
    }
    held.push_back(OpenHeld(parent, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!held.back()) return kResultWriteFailed;
    // Both looks count: where the platform opens a symbolic link's target
    // for the link (Wine), only the folder's listing shows the link.
    const DWORD own = AttributesOf(held.back().get());
    const DWORD listed = GetFileAttributesW(parent.c_str());
    if (own == INVALID_FILE_ATTRIBUTES || listed == INVALID_FILE_ATTRIBUTES) return kResultWriteFailed;
    const DWORD attributes = own | listed;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return kResultLinkedFolder;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return kResultWriteFailed;
  }
  if (settings_.skipIfExisting && Exists(parent + L'\\' + planned.fileName)) return kResultSuccess;
  return WriteEntry(planned, parent, held.back().get());
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
LONG Extraction::WriteEntry(const PlannedEntry& planned, const std::wstring& parent,
                            HANDLE parentHandle) {
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
    // The file written must lie in the held folder, and it gets its name
    // there: the target is named by the held folder's final path, which no
    // link re-points.
    const std::wstring parentFinal = FinalPath(parentHandle);
    const std::wstring tempName = tempPath.substr(tempPath.find_last_of(L'\\'));
    if (parentFinal.empty() ||
        CompareStringOrdinal(FinalPath(out.get()).c_str(), -1, (parentFinal + tempName).c_str(),
                             -1, TRUE) != CSTR_EQUAL) {
      failure = kResultLinkedFolder;
    }
    const std::wstring target = parentFinal + L'\\' + planned.fileName;
    // A read-only target is made writable through its own handle (closed
    // again before the rename replaces it), and given its attributes back
    // when it could not be replaced.
    const auto openTarget = [&] {
      return UniqueFile(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    };
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    bool cleared = false;
    if (failure == kResultSuccess) {
      const UniqueFile existing = openTarget();
      attributes = existing ? AttributesOf(existing.get()) : INVALID_FILE_ATTRIBUTES;
      cleared = attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM)) &&
                SetAttributesOf(existing.get(), FILE_ATTRIBUTE_NORMAL);
    }
    if (failure == kResultSuccess && !RenameOpenFile(out.get(), target)) {
      failure = kResultWriteFailed;
      if (cleared) {
        const UniqueFile existing = openTarget();
        if (existing) SetAttributesOf(existing.get(), attributes);
      }
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
