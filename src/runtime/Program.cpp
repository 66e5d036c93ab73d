#include "runtime/Program.h"

#include "runtime/Application.h"
#include "runtime/Folders.h"
#include "runtime/core/FailureReport.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

// Every failure is reported by RunProgram; what would still reach the
// library's terminate handler ends the process without the handler's
// name demangling, which would weigh more than the rest of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

bool comInitialized = false;
// The program's application object: made as the program starts, gone when it
// halts. Application points at it meanwhile.
std::unique_ptr<TApplication> application;

}  // namespace

void InitializeCom() {
  if (SUCCEEDED(CoInitialize(nullptr))) comInitialized = true;
}

void Halt(unsigned exitCode) {
  application.reset();  // destroys the hidden window and every window it owns
  Application = nullptr;
  if (comInitialized) CoUninitialize();
  comInitialized = false;
  ExitProcess(exitCode);
}

void ShowDefaultFailureReport(const Exception& failure) {
  HMODULE module = nullptr;
  const void* address = failure.Address();
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    module = GetModuleHandleA(nullptr);
  const uint64_t offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module);
  const std::string text = DefaultFailureReportText(failure.ClassName(), ModuleFileName(module),
                                                    offset, failure.Message());
  MessageBoxA(nullptr, text.c_str(), msg::AppErrorCaption, MB_TASKMODAL | MB_ICONSTOP | MB_OK);
}

void RunProgram(void (*body)()) {
  application = std::make_unique<TApplication>();
  Application = application.get();
  unsigned exitCode = 0;
  try {
    body();
  } catch (const EAbort&) {
    exitCode = 1;
  } catch (const Exception& failure) {
    ShowDefaultFailureReport(failure);
    exitCode = 1;
  } catch (const std::bad_alloc&) {
    ShowDefaultFailureReport(EOutOfMemory(msg::OutOfMemory));
    exitCode = 1;
  }
  Halt(exitCode);
}
