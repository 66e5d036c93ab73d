// The zip component XceedZip.dll as the program drives it: registered from
// its DLL, created through COM by the program's own wrapper, set through
// IDispatch, called through the method table by position; and the
// wrapper's failures.
#include "FixturePaths.h"
#include "ZipClient.h"
#include "runtime/ProcAddress.h"
#include "runtime/core/Failures.h"
#include "zip/XceedZipContract.h"
#include "zip/core/XceedZipResults.h"
#include "../support/ZipBytes.h"

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace setup_test;

std::wstring Fixture(const char* unixPath) { return Wide(FixturePath(unixPath)); }
std::wstring Archive(const wchar_t* name) {
  return Fixture(FIXTURE_ARCHIVE_DIR) + L"\\" + name;
}
std::wstring Content(const wchar_t* name) {
  return Fixture(FIXTURE_ARCHIVE_DIR) + L"\\content\\" + name;
}

void WriteAll(const std::wstring& path, const std::string& data) {
  ASSERT_TRUE(WriteBytes(path, data));
}

// DllRegisterServer, DllUnregisterServer and DllCanUnloadNow share one type.
using ExportFn = decltype(&::DllRegisterServer);
static_assert(std::is_same_v<ExportFn, decltype(&::DllCanUnloadNow)>);

class XceedZip : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    module_ = LoadLibraryW(Fixture(FIXTURE_XCEEDZIP_DLL).c_str());
    ASSERT_NE(module_, nullptr);
    ASSERT_EQ(Export("DllRegisterServer")(), S_OK);
  }
  static void TearDownTestSuite() {
    CoFreeUnusedLibraries();
    FreeLibrary(module_);
    CoUninitialize();
  }
  static ExportFn Export(const char* name) {
    return ProcAddressAs<std::remove_pointer_t<ExportFn>>(module_, name);
  }

  std::string ContentOf(const wchar_t* name) { return ReadBytes(Content(name)); }

  static HMODULE module_;
};
HMODULE XceedZip::module_ = nullptr;

// ---------------------------------------------------------------------------

TEST_F(XceedZip, RegistrationNamesTheDllsOwnPathInTheMachinesClassesAndUnregisterRemovesIt) {
  wchar_t own[MAX_PATH];
  GetModuleFileNameW(module_, own, MAX_PATH);
  // A class key of the user's own does not divert the registration.
  const std::wstring userKey = L"Software\\Classes\\" + ComponentClassKey() + L"\\InprocServer32";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, userKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(Export("DllRegisterServer")(), S_OK);
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + ComponentClassKey()).c_str());
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          (L"Software\\Classes\\" + ComponentClassKey() + L"\\InprocServer32").c_str(), 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  wchar_t value[MAX_PATH] = L"";
  DWORD size = sizeof value;
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(lstrcmpiW(value, own), 0);
  size = sizeof value;
  EXPECT_EQ(RegQueryValueExW(key, L"ThreadingModel", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(value, L"Apartment");
  RegCloseKey(key);

  ASSERT_EQ(Export("DllUnregisterServer")(), S_OK);
  EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, ComponentClassKey().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(Export("DllUnregisterServer")(), S_OK) << "unregistering twice is no failure";
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_XceedZip, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  ASSERT_EQ(Export("DllRegisterServer")(), S_OK);
}

// An event sink that only counts its references.
struct CountedSink : IDispatch {
  LONG references = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_IXceedZipEvents ? this : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return S_OK;
  }
};

TEST_F(XceedZip, TheDllStaysLoadedWhileAnObjectLivesAndSinksAreReleased) {
  CountedSink sink;
  {
    ZipClient client;
    EXPECT_EQ(Export("DllCanUnloadNow")(), S_FALSE);
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(client.dispatch()->QueryInterface(IID_IConnectionPointContainer, points.put_void()),
              S_OK);
    ComPtr<IConnectionPoint> events;
    ASSERT_EQ(points->FindConnectionPoint(DIID_IXceedZipEvents, events.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(events->Advise(&sink, &cookie), S_OK);
    EXPECT_GT(sink.references, 1) << "the sink is held";
    EXPECT_EQ(events->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.references, 1) << "Unadvise lets go of it";
    EXPECT_EQ(events->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  }
  EXPECT_EQ(Export("DllCanUnloadNow")(), S_OK);
}

// A control whose class nobody registered.
class UnregisteredControl : public TOleControl {
public:
  UnregisteredControl()
      : TOleControl({0x5E7C0DE1, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}},
                    {0x5E7C0DE2, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}}) {}
};

TEST_F(XceedZip, TheWrappersCreationAndPutFailuresRaiseOleSysErrorWithATrimmedMessage) {
  try {
    UnregisteredControl control;
    FAIL() << "an unregistered class was created";
  } catch (const EOleSysError& failure) {
    EXPECT_STREQ(failure.ClassName(), "EOleSysError");
    ASSERT_FALSE(failure.Message().empty());
    EXPECT_NE(failure.Message().back(), '.');
    EXPECT_GT(static_cast<unsigned char>(failure.Message().back()), ' ');
  }
  ZipClient zip;
  EXPECT_THROW(zip.PutUnknown(), EOleSysError);
}

TEST_F(XceedZip, TheProgramsTwoExtractionsOnOneInstance) {
  TempFolder source, first, second;
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"medium.zip"), first.path());
  client.AddMask(L"*.lng");
  client.AddMask(L"Setup.inf");
  ASSERT_EQ(client.Unzip(), 0);
  EXPECT_EQ(FilesIn(first.path()),
            (std::set<std::wstring>{L"de.lng", L"EN.LNG", L"empty.lng", L"Setup.inf"}));
  for (const wchar_t* name : {L"de.lng", L"EN.LNG", L"empty.lng", L"Setup.inf"}) {
    EXPECT_EQ(ReadBytes(first / name), ContentOf(name)) << std::wstring(name);
  }

  // The program copies the archive and extracts the installer from the copy;
  // password and ZipOpenedFiles are not set again.
  ASSERT_TRUE(CopyFileW(Archive(L"medium.zip").c_str(), (source / L"_Setup.lib").c_str(), FALSE));
  client.PutString(kDispZipFilename, source / L"_Setup.lib");
  client.PutString(kDispUnzipToFolder, second.path());
  client.AddMask(L"_inst32d.exe");
  ASSERT_EQ(client.Unzip(), 0);
  EXPECT_EQ(ReadBytes(second / L"_inst32d.exe"), ContentOf(L"_inst32d.exe"));
  EXPECT_TRUE(DeleteFileW((source / L"_Setup.lib").c_str())) << "the archive is not held open";
  // Masks stay in force: the first extraction's files come along again.
  EXPECT_EQ(FilesIn(second.path()), (std::set<std::wstring>{L"de.lng", L"EN.LNG", L"empty.lng",
                                                            L"Setup.inf", L"_inst32d.exe"}));
}

TEST_F(XceedZip, MissingUnreadableAndForeignArchivesGiveTheirResults) {
  TempFolder target, scratch;
  ZipClient client;
  client.SetUpFirstExtraction(scratch / L"no such archive.lib", target.path());
  EXPECT_EQ(client.Unzip(), kResultArchiveMissing);
  client.PutString(kDispZipFilename, scratch / L"no such folder\\_Setup.lib");
  EXPECT_EQ(client.Unzip(), kResultArchiveMissing);
  client.PutString(kDispZipFilename, L"");
  EXPECT_EQ(client.Unzip(), kResultArchiveMissing);

  client.PutString(kDispZipFilename, Archive(L"not_a_zip.zip"));
  EXPECT_EQ(client.Unzip(), kResultArchiveUnreadable);
  WriteAll(scratch / L"empty.lib", "");
  client.PutString(kDispZipFilename, scratch / L"empty.lib");
  EXPECT_EQ(client.Unzip(), kResultArchiveUnreadable);
  // The archive's first half only: the directory at its end is missing.
  std::string whole = ReadBytes(Archive(L"medium.zip"));
  WriteAll(scratch / L"half.lib", whole.substr(0, whole.size() / 2));
  client.PutString(kDispZipFilename, scratch / L"half.lib");
  EXPECT_EQ(client.Unzip(), kResultArchiveUnreadable);
  client.PutString(kDispZipFilename, scratch.path());
  EXPECT_EQ(client.Unzip(), kResultArchiveUnreadable) << "a folder is no archive";
  EXPECT_TRUE(FilesIn(target.path()).empty());
}

TEST_F(XceedZip, StoredAesAndStreamedArchivesExtractWithThePassword) {
  struct Case {
    const wchar_t* archive;
    size_t files;
  };
  for (Case c : {Case{L"medium_stored.zip", 9}, Case{L"medium_aes.zip", 9},
                 Case{L"medium_aes128.zip", 2}, Case{L"medium_descriptor.zip", 3}}) {
    TempFolder target;
    ZipClient client;
    client.SetUpFirstExtraction(Archive(c.archive), target.path());
    EXPECT_EQ(client.Unzip(), 0) << "no masks: every file of " << std::wstring(c.archive);
    std::set<std::wstring> files = FilesIn(target.path());
    EXPECT_EQ(files.size(), c.files);
    for (const std::wstring& name : files) {
      EXPECT_EQ(ReadBytes(target / name.c_str()), ContentOf(name.c_str())) << name;
    }
  }
}

TEST_F(XceedZip, AWrongOrMissingPasswordLeavesNoFileBehind) {
  for (const wchar_t* archive : {L"medium.zip", L"medium_aes.zip"}) {
    for (const wchar_t* password : {L"K470396", L""}) {
      TempFolder target;
      ZipClient client;
      client.SetUpFirstExtraction(Archive(archive), target.path());
      client.PutString(kDispEncryptionPassword, password);
      client.AddMask(L"*.lng");
      client.AddMask(L"_inst32d.exe");
      EXPECT_EQ(client.Unzip(), kResultPassword);
      // empty.lng has no data to decrypt; traditional encryption may or may
      // not produce it, but never a damaged or temporary file.
      std::set<std::wstring> files = FilesIn(target.path());
      files.erase(L"empty.lng");
      EXPECT_TRUE(files.empty()) << "left behind: " << files.size();
    }
  }
}

TEST_F(XceedZip, MasksIgnoreCaseAndQuestionMarkStandsForOneCharacter) {
  TempFolder target, excluding;
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"medium.zip"), target.path());
  client.AddMask(L"DATA?.BIN");
  client.AddMask(L"*.LnG");
  client.AddMask(L"setup.INF");
  client.AddMask(L"nothing*.matches");
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(FilesIn(target.path()), (std::set<std::wstring>{L"data1.bin", L"de.lng", L"EN.LNG",
                                                            L"empty.lng", L"Setup.inf"}));

  // Exclude masks win over the masks to process.
  client.AddExcludeMask(L"en.*");
  client.PutString(kDispUnzipToFolder, excluding.path());
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(FilesIn(excluding.path()),
            (std::set<std::wstring>{L"data1.bin", L"de.lng", L"empty.lng", L"Setup.inf"}));
}

// A copy of a fixture archive with one byte changed `offset` bytes after the
// first (local header) occurrence of an entry's name.
std::wstring DamagedCopy(const TempFolder& folder, const wchar_t* archive, const std::string& entry,
                         size_t offset) {
  std::string bytes = ReadBytes(Archive(archive));
  size_t at = bytes.find(entry);
  EXPECT_NE(at, std::string::npos);
  bytes[at + entry.size() + offset] ^= 0x55;
  std::wstring path = folder / L"damaged.zip";
  WriteAll(path, bytes);
  return path;
}

TEST_F(XceedZip, DamagedDataIsReportedWithoutAFileAndTheOtherEntriesStillComeOut) {
  TempFolder scratch, plain, aes;
  ZipClient client;
  client.SetUpFirstExtraction(DamagedCopy(scratch, L"plain.zip", "top.lng", 40), plain.path());
  EXPECT_EQ(client.Unzip(), kResultDamagedEntry) << "CRC of a stored entry";
  VARIANT checked;
  VariantInit(&checked);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(client.dispatch()->Invoke(kDispTestZipFile, IID_NULL, 0, DISPATCH_METHOD, &none, &checked,
                                      nullptr, nullptr),
            S_OK);
  EXPECT_EQ(checked.lVal, kResultDamagedEntry) << "the check finds it too";
  std::set<std::wstring> files = FilesIn(plain.path());
  EXPECT_EQ(files.count(L"top.lng"), 0u);
  EXPECT_EQ(files.count(L"docs\\guide.lng"), 1u);

  // AES: the MAC catches the change (AE-2 entries carry no CRC).
  client.PutString(kDispZipFilename, DamagedCopy(scratch, L"medium_aes.zip", "_inst32d.exe", 5000));
  client.PutString(kDispUnzipToFolder, aes.path());
  EXPECT_EQ(client.Unzip(), kResultDamagedEntry);
  files = FilesIn(aes.path());
  EXPECT_EQ(files.count(L"_inst32d.exe"), 0u);
  EXPECT_EQ(files.count(L"de.lng"), 1u);
  EXPECT_EQ(files.size(), 8u) << "no temporary file is left";
}

TEST_F(XceedZip, TargetFolderIsCreatedAndWriteFailuresAreReported) {
  TempFolder target;
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"medium.zip"), target / L"new\\nested");
  client.AddMask(L"Setup.inf");
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(ReadBytes(target / L"new\\nested\\Setup.inf"), ContentOf(L"Setup.inf"));

  // A folder where a file should go cannot be replaced.
  CreateDirectoryW((target / L"blocked").c_str(), nullptr);
  CreateDirectoryW((target / L"blocked\\de.lng").c_str(), nullptr);
  client.PutString(kDispUnzipToFolder, target / L"blocked");
  client.AddMask(L"*.lng");
  EXPECT_EQ(client.Unzip(), kResultWriteFailed);
  EXPECT_EQ(ReadBytes(target / L"blocked\\Setup.inf"), ContentOf(L"Setup.inf"));
  EXPECT_EQ(ReadBytes(target / L"blocked\\EN.LNG"), ContentOf(L"EN.LNG"));

  client.PutString(kDispUnzipToFolder, L"");
  EXPECT_EQ(client.Unzip(), kResultNoTargetFolder);
}

TEST_F(XceedZip, HostileNamesAreRefusedAndNothingLandsOutsideTheFolder) {
  TempFolder parent;
  std::wstring target = parent / L"target";
  CreateDirectoryW(target.c_str(), nullptr);
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  std::vector<std::wstring> outside = {
      parent / L"evil1.txt", parent / L"evil2.txt", parent / L"evil7.txt", L"C:\\evil3.txt",
      std::wstring(current) + L"\\evil4.txt", L"C:\\evil4.txt", L"C:\\evil5.txt",
      L"C:\\evil6.txt", target.substr(0, 3) + L"evil5.txt", target.substr(0, 3) + L"evil6.txt",
      std::wstring(current, 3) + L"evil5.txt", std::wstring(current, 3) + L"evil6.txt"};

  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"hostile.zip"), target);
  EXPECT_EQ(client.Unzip(), kResultUnsafeName);
  EXPECT_EQ(FilesIn(target), (std::set<std::wstring>{L"ok.txt", L"sub\\ok2.txt"}))
      << "the harmless entries still come out";
  EXPECT_EQ(FilesIn(parent.path()), (std::set<std::wstring>{L"target\\ok.txt",
                                                            L"target\\sub\\ok2.txt"}));
  for (const std::wstring& path : outside) {
    EXPECT_FALSE(Exists(path)) << "written outside";
    DeleteFileW(path.c_str());
  }
}

TEST_F(XceedZip, EntryNamesInUtf8AndCp437AndFoldersWithOrWithoutPaths) {
  TempFolder kept, flat;
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"plain.zip"), kept.path());
  client.PutString(kDispEncryptionPassword, L"");
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(FilesIn(kept.path()),
            (std::set<std::wstring>{L"docs\\guide.lng", L"top.lng", L"Gr\u00f6\u00dfe.lng",
                                    L"M\u00fcller.txt"}));
  EXPECT_EQ(ReadBytes(kept / L"M\u00fcller.txt"), "cp437 name");

  client.PutBool(kDispPreservePaths, false);
  client.PutString(kDispUnzipToFolder, flat.path());
  client.AddMask(L"*.lng");
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(FilesIn(flat.path()),
            (std::set<std::wstring>{L"guide.lng", L"top.lng", L"Gr\u00f6\u00dfe.lng"}));
}

TEST_F(XceedZip, DispatchKeepsAllPropertiesByNameAndRefusesUnknownIds) {
  const wchar_t* names[] = {
      L"Abort", L"BasePath", L"CompressionLevel", L"EncryptionPassword", L"RequiredFileAttributes",
      L"ExcludedFileAttributes", L"FilesToProcess", L"FilesToExclude", L"MinDateToProcess",
      L"MaxDateToProcess", L"MinSizeToProcess", L"MaxSizeToProcess", L"SplitSize",
      L"PreservePaths", L"ProcessSubfolders", L"SkipIfExisting", L"SkipIfNotExisting",
      L"SkipIfOlderDate", L"SkipIfOlderVersion", L"TempFolder", L"UseTempFile", L"UnzipToFolder",
      L"ZipFilename", L"SpanMultipleDisks", L"ExtraHeaders", L"ZipOpenedFiles",
      L"BackgroundProcessing", L"SfxBinaryModule", L"SfxDefaultPassword",
      L"SfxDefaultUnzipToFolder", L"SfxExistingFileBehavior", L"SfxReadmeFile",
      L"SfxExecuteAfter", L"SfxInstallMode", L"SfxProgramGroup", L"SfxProgramGroupItems",
      L"SfxExtensionsToAssociate", L"SfxIconFilename", L"SfxFilesToCopy", L"SfxFilesToRegister",
      L"SfxRegistryKeys", L"DeleteZippedFiles", L"FirstDiskFreeSpace", L"MinDiskFreeSpace",
      L"EventsToTrigger", L"CompressionMethod"};
  ZipClient client;
  std::set<DISPID> ids;
  for (const wchar_t* name : names) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR text = const_cast<LPOLESTR>(name);
    ASSERT_EQ(client.dispatch()->GetIDsOfNames(IID_NULL, &text, 1, 0, &id), S_OK);
    ids.insert(id);
    // A put of 1 converts to the property's type and reads back as 1 / "1" / true.
    VARIANT one;
    VariantInit(&one);
    one.vt = VT_I4;
    one.lVal = 1;
    EXPECT_EQ(client.Put(id, one), S_OK) << std::wstring(name);
    VARIANT back = client.Get(id);
    EXPECT_EQ(VariantChangeType(&back, &back, 0, VT_I4), S_OK);
    EXPECT_NE(back.lVal, 0);
    VariantClear(&back);
  }
  EXPECT_EQ(ids.size(), 46u) << "every property has its own dispatch id";
  EXPECT_TRUE(ids.count(kDispZipFilename) && ids.count(kDispUnzipToFolder) &&
              ids.count(kDispEncryptionPassword) && ids.count(kDispZipOpenedFiles));

  client.PutString(kDispZipFilename, L"");  // null BSTR: the empty string
  VARIANT name = client.Get(kDispZipFilename);
  EXPECT_EQ(name.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(name.bstrVal), 0u);
  VariantClear(&name);

  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  EXPECT_EQ(client.Put(4711, value), DISP_E_MEMBERNOTFOUND);
}

// A copy of a fixture archive in which `entry` declares `size` bytes
// although its data holds more.
std::wstring WithDeclaredSize(const TempFolder& folder, const wchar_t* archive,
                              const std::string& entry, uint32_t size) {
  std::string bytes = ReadBytes(Archive(archive));
  EXPECT_EQ(SetDeclaredSize(bytes, entry, size), 1) << entry;
  std::wstring path = folder / L"declared.zip";
  WriteAll(path, bytes);
  return path;
}

TEST_F(XceedZip, AnEntryGoingOnBeyondItsDeclaredSizeFailsWithoutAFile) {
  struct Case {
    const wchar_t* archive;
    const char* entry;
    std::set<std::wstring> left;  // the other "*.lng" entries, and no temporary file
  };
  const Case cases[] = {
      {L"plain.zip", "top.lng", {L"docs\\guide.lng", L"Gr\u00f6\u00dfe.lng"}},  // stored
      {L"plain.zip", "docs/guide.lng", {L"top.lng", L"Gr\u00f6\u00dfe.lng"}},    // deflated
      {L"medium.zip", "de.lng", {L"EN.LNG", L"empty.lng"}},              // traditional
      {L"medium_aes.zip", "de.lng", {L"EN.LNG", L"empty.lng"}}};         // AES
  for (const Case& c : cases) {
    TempFolder scratch, target;
    ZipClient client;
    client.SetUpFirstExtraction(WithDeclaredSize(scratch, c.archive, c.entry, 100), target.path());
    client.AddMask(L"*.lng");
    EXPECT_EQ(client.Unzip(), kResultEntryTooLong) << c.entry;
    EXPECT_EQ(FilesIn(target.path()), c.left) << c.entry;
  }
}

TEST_F(XceedZip, DeclaredSizesBeyondTheFreeSpaceFailBeforeAnythingIsWritten) {
  TempFolder target;
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"huge_declared.zip"), target.path());
  EXPECT_EQ(client.Unzip(), kResultDiskFull);
  EXPECT_TRUE(FilesIn(target.path()).empty()) << "not even the small entry";
  client.AddMask(L"small.txt");
  EXPECT_EQ(client.Unzip(), 0) << "what is not selected does not count";
  EXPECT_EQ(ReadBytes(target / L"small.txt"), "small");
}

TEST_F(XceedZip, ALockedTargetIsLeftAloneAReadOnlyOneReplacedAndSkipIfExistingKeepsIt) {
  TempFolder target;
  const std::wstring locked = target / L"Setup.inf";
  const std::string planted(1000, 'p');  // longer than the entry
  WriteAll(locked, planted);
  SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"medium.zip"), target.path());
  client.AddMask(L"*.lng");
  client.AddMask(L"Setup.inf");
  EXPECT_EQ(client.Unzip(), kResultWriteFailed);
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(locked), planted);
  EXPECT_TRUE(GetFileAttributesW(locked.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(FilesIn(target.path()),
            (std::set<std::wstring>{L"de.lng", L"EN.LNG", L"empty.lng", L"Setup.inf"}))
      << "the other entries, and no temporary file";

  EXPECT_EQ(client.Unzip(), 0) << "once the lock is gone, though read-only";
  EXPECT_EQ(ReadBytes(locked), ContentOf(L"Setup.inf")) << "replaced, nothing of the old tail";

  WriteAll(locked, "kept");
  client.PutBool(kDispSkipIfExisting, true);
  EXPECT_EQ(client.Unzip(), 0);
  EXPECT_EQ(ReadBytes(locked), "kept") << "SkipIfExisting leaves it alone";
}

TEST_F(XceedZip, NothingIsWrittenThroughALinkedFolderBelowTheTarget) {
  // Made by the wine_linked_folder test fixture: target\link leads to outside.
  const std::wstring links = L"C:\\setup-links";
  DWORD link = GetFileAttributesW((links + L"\\target\\link").c_str());
  ASSERT_TRUE(link != INVALID_FILE_ATTRIBUTES && (link & FILE_ATTRIBUTE_REPARSE_POINT));
  ZipClient client;
  client.SetUpFirstExtraction(Archive(L"linked.zip"), links + L"\\target");
  EXPECT_EQ(client.Unzip(), kResultLinkedFolder);
  EXPECT_TRUE(FilesIn(links + L"\\outside").empty());
  EXPECT_EQ(ReadBytes(links + L"\\target\\fine.txt"), "fine");
  DeleteFileW((links + L"\\target\\fine.txt").c_str());
}

}  // namespace
