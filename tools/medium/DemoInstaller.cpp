// The installer of the demonstration medium: shows how it was started in a
// small window for a few seconds, then ends.
#include <windows.h>

#include <string>

namespace {

DWORD WINAPI EndLater(void*) {
  Sleep(4000);
  ExitProcess(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CreateThread(nullptr, 0, &EndLater, nullptr, 0, nullptr);
  std::string text = "Das Installationsprogramm wurde gestartet mit:\r\n\r\n";
  text += GetCommandLineA();
  MessageBoxA(nullptr, text.c_str(), "Demo-Installation", MB_OK | MB_ICONINFORMATION);
  return 0;
}
