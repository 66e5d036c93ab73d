// The contract between the program and the zip component in "XceedZip.dll":
// the class, the dual interface IXceedZip with its property table, and the
// event interface, and the result codes of Unzip and TestZipFile
// (core/XceedZipResults.h, portable). The program (src/zip), our own component
// (components/XceedZip) and the benchmark driver all build on this one header.
//
// Method table of IXceedZip (slots from 0):
//    0- 2  IUnknown
//    3- 6  IDispatch
//    7-88  get_/put_ pairs of the first 41 properties, in the order of
//          XZ_PROPERTIES_FIRST (get at the even offset, put right after it)
//   89     AddFilesToExclude(BSTR mask)
//   90     AddFilesToProcess(BSTR mask)
//   91     ClearFilesToProcess()
//   92     Zip(LONG* result)            not supported: E_NOTIMPL
//   93     TestZipFile(LONG* result)
//   94     ListZipContents()            not supported: E_NOTIMPL
//   95     Unzip(LONG* result)
//   96-105 get_/put_ pairs of the last 5 properties (XZ_PROPERTIES_LAST)
#pragma once

#include "zip/core/XceedZipResults.h"

#include <windows.h>
#include <oaidl.h>

// {DB797690-40E0-11D2-9BD5-0060082AE372}
inline constexpr CLSID CLSID_XceedZip = {
    0xDB797690, 0x40E0, 0x11D2, {0x9B, 0xD5, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};
// {07189400-00F2-11D5-802D-0060082AE372}
inline constexpr IID IID_IXceedZip = {
    0x07189400, 0x00F2, 0x11D5, {0x80, 0x2D, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};
// {DB797691-40E0-11D2-9BD5-0060082AE372}: the event interface (never fired).
inline constexpr IID DIID_IXceedZipEvents = {
    0xDB797691, 0x40E0, 0x11D2, {0x9B, 0xD5, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};

// P(name, C type, variant type, dispatch id, default for numbers and booleans)
#define XZ_PROPERTIES_FIRST(P)                                   \
  P(Abort, VARIANT_BOOL, VT_BOOL, 400, 0)                        \
  P(BasePath, BSTR, VT_BSTR, 101, 0)                             \
  P(CompressionLevel, LONG, VT_I4, 300, 6)                       \
  P(EncryptionPassword, BSTR, VT_BSTR, 402, 0)                   \
  P(RequiredFileAttributes, LONG, VT_I4, 209, 0)                 \
  P(ExcludedFileAttributes, LONG, VT_I4, 210, 0)                 \
  P(FilesToProcess, BSTR, VT_BSTR, 200, 0)                       \
  P(FilesToExclude, BSTR, VT_BSTR, 201, 0)                       \
  P(MinDateToProcess, DATE, VT_DATE, 211, 0)                     \
  P(MaxDateToProcess, DATE, VT_DATE, 212, 0)                     \
  P(MinSizeToProcess, LONG, VT_I4, 213, 0)                       \
  P(MaxSizeToProcess, LONG, VT_I4, 214, 0)                       \
  P(SplitSize, LONG, VT_I4, 102, 0)                              \
  P(PreservePaths, VARIANT_BOOL, VT_BOOL, 202, VARIANT_TRUE)     \
  P(ProcessSubfolders, VARIANT_BOOL, VT_BOOL, 204, 0)            \
  P(SkipIfExisting, VARIANT_BOOL, VT_BOOL, 205, 0)               \
  P(SkipIfNotExisting, VARIANT_BOOL, VT_BOOL, 206, 0)            \
  P(SkipIfOlderDate, VARIANT_BOOL, VT_BOOL, 207, 0)              \
  P(SkipIfOlderVersion, VARIANT_BOOL, VT_BOOL, 208, 0)           \
  P(TempFolder, BSTR, VT_BSTR, 106, 0)                           \
  P(UseTempFile, VARIANT_BOOL, VT_BOOL, 107, VARIANT_TRUE)       \
  P(UnzipToFolder, BSTR, VT_BSTR, 203, 0)                        \
  P(ZipFilename, BSTR, VT_BSTR, 100, 0)                          \
  P(SpanMultipleDisks, LONG, VT_I4, 103, 0)                      \
  P(ExtraHeaders, LONG, VT_I4, 108, 0)                           \
  P(ZipOpenedFiles, VARIANT_BOOL, VT_BOOL, 403, 0)               \
  P(BackgroundProcessing, VARIANT_BOOL, VT_BOOL, 401, 0)         \
  P(SfxBinaryModule, BSTR, VT_BSTR, 500, 0)                      \
  P(SfxDefaultPassword, BSTR, VT_BSTR, 501, 0)                   \
  P(SfxDefaultUnzipToFolder, BSTR, VT_BSTR, 502, 0)              \
  P(SfxExistingFileBehavior, LONG, VT_I4, 503, 0)                \
  P(SfxReadmeFile, BSTR, VT_BSTR, 504, 0)                        \
  P(SfxExecuteAfter, BSTR, VT_BSTR, 505, 0)                      \
  P(SfxInstallMode, VARIANT_BOOL, VT_BOOL, 506, 0)               \
  P(SfxProgramGroup, BSTR, VT_BSTR, 507, 0)                      \
  P(SfxProgramGroupItems, BSTR, VT_BSTR, 508, 0)                 \
  P(SfxExtensionsToAssociate, BSTR, VT_BSTR, 509, 0)             \
  P(SfxIconFilename, BSTR, VT_BSTR, 510, 0)                      \
  P(SfxFilesToCopy, BSTR, VT_BSTR, 511, 0)                       \
  P(SfxFilesToRegister, BSTR, VT_BSTR, 512, 0)                   \
  P(SfxRegistryKeys, BSTR, VT_BSTR, 513, 0)

#define XZ_PROPERTIES_LAST(P)                                    \
  P(DeleteZippedFiles, VARIANT_BOOL, VT_BOOL, 215, 0)            \
  P(FirstDiskFreeSpace, LONG, VT_I4, 104, 0)                     \
  P(MinDiskFreeSpace, LONG, VT_I4, 105, 0)                       \
  P(EventsToTrigger, LONG, VT_I4, 404, 0)                        \
  P(CompressionMethod, LONG, VT_I4, 301, 8)

#define XZ_PROPERTIES(P) XZ_PROPERTIES_FIRST(P) XZ_PROPERTIES_LAST(P)

#define XZ_PROPERTY_DISPID(name, ctype, vt, dispid, init) kDisp##name = dispid,
// Dispatch ids of the properties.
enum XceedZipPropertyId : DISPID { XZ_PROPERTIES(XZ_PROPERTY_DISPID) };
#undef XZ_PROPERTY_DISPID

// Dispatch ids of the methods.
enum XceedZipMethodId : DISPID {
  kDispAddFilesToExclude = 600,
  kDispAddFilesToProcess = 601,
  kDispClearFilesToProcess = 602,
  kDispZip = 603,
  kDispTestZipFile = 604,
  kDispListZipContents = 605,
  kDispUnzip = 606,
};

#define XZ_DECLARE_ACCESSORS(name, ctype, vt, dispid, init)          \
  virtual HRESULT STDMETHODCALLTYPE get_##name(ctype* value) = 0;    \
  virtual HRESULT STDMETHODCALLTYPE put_##name(ctype value) = 0;

struct IXceedZip : public IDispatch {
  XZ_PROPERTIES_FIRST(XZ_DECLARE_ACCESSORS)
  virtual HRESULT STDMETHODCALLTYPE AddFilesToExclude(BSTR mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddFilesToProcess(BSTR mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearFilesToProcess() = 0;
  virtual HRESULT STDMETHODCALLTYPE Zip(LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE TestZipFile(LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE ListZipContents() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unzip(LONG* result) = 0;
  XZ_PROPERTIES_LAST(XZ_DECLARE_ACCESSORS)
};
