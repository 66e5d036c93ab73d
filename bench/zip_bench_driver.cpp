// Times XceedZip.dll's Unzip on one archive, the way Setup drives it, without
// registration (the class factory comes straight from the DLL).
// Usage: zip_bench_driver DLL ARCHIVE FOLDER PASSWORD RUNS
// Prints one line per run: "run N: S seconds". With ZIP_BENCH_CHECK_ONLY set
// it calls TestZipFile instead (decrypt, inflate, check; nothing written).
#include "zip/XceedZipContract.h"

#include <ole2.h>

#include <cstdio>
#include <cwchar>

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

bool Put(IDispatch* dispatch, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  return SUCCEEDED(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                    nullptr, nullptr));
}

bool PutString(IDispatch* dispatch, DISPID id, const wchar_t* text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  bool ok = Put(dispatch, id, value);
  SysFreeString(value.bstrVal);
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: zip_bench_driver DLL ARCHIVE FOLDER PASSWORD RUNS\n");
    return 2;
  }
  CoInitialize(nullptr);
  HMODULE module = LoadLibraryW(argv[1]);
  auto getClassObject = module ? reinterpret_cast<GetClassObjectFn>(
                                     GetProcAddress(module, "DllGetClassObject"))
                               : nullptr;
  IClassFactory* factory = nullptr;
  if (!getClassObject ||
      FAILED(getClassObject(CLSID_XceedZip, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    std::fprintf(stderr, "cannot load the component\n");
    return 1;
  }
  IXceedZip* zip = nullptr;
  IDispatch* dispatch = nullptr;
  factory->CreateInstance(nullptr, IID_IXceedZip, reinterpret_cast<void**>(&zip));
  zip->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  VARIANT yes;
  yes.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  bool ok = PutString(dispatch, kDispZipFilename, argv[2]) && Put(dispatch, kDispZipOpenedFiles, yes) &&
            PutString(dispatch, kDispUnzipToFolder, argv[3]) &&
            PutString(dispatch, kDispEncryptionPassword, argv[4]);
  if (!ok) {
    std::fprintf(stderr, "cannot set the properties\n");
    return 1;
  }
  BSTR all = SysAllocString(L"*");
  zip->AddFilesToProcess(all);
  SysFreeString(all);

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  int runs = _wtoi(argv[5]);
  for (int run = 1; run <= runs; ++run) {
    LARGE_INTEGER start, end;
    LONG result = -1;
    QueryPerformanceCounter(&start);
    if (GetEnvironmentVariableW(L"ZIP_BENCH_CHECK_ONLY", nullptr, 0))
      zip->TestZipFile(&result);
    else
      zip->Unzip(&result);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("run %d: %.3f seconds (result %ld)\n", run, seconds, result);
    if (result != kResultSuccess) return 1;
  }
  dispatch->Release();
  zip->Release();
  factory->Release();
  CoUninitialize();
  return 0;
}
