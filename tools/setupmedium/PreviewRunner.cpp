// The Windows side of "setupmedium preview": starts Setup.exe in the medium
// folder given, reads every message box it shows (caption and text, as
// UTF-8), answers each with OK once the screen has been shot, and prints one
// line per event on standard output:
//   box <TAB> caption <TAB> text     (line breaks in the text as \n)
//   exit <TAB> code                  (the whole code, 259 included)
//   timeout                          (Setup.exe still ran after 120 s and was ended)
//   cannot-start <TAB> error
// The preview script takes its report from these lines.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kBoxShownMs = 1500;  // a box stays up this long, for its screenshot
constexpr DWORD kLimitMs = 120000;

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::string TextOf(HWND window) {
  wchar_t buffer[4096] = {};
  if (window) GetWindowTextW(window, buffer, 4096);
  return Utf8(buffer);
}

// Tabs and line breaks would break the line format.
std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += ' ';
    else out += c;
  }
  return out;
}

struct Box {
  HWND window;
  DWORD seenAt;
  bool read = false;
};

struct Search {
  DWORD processId;
  std::vector<HWND> boxes;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[16] = {};
  if (process == search->processId && IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
      std::string(name) == "#32770")
    search->boxes.push_back(window);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: preview-runner MEDIUM_FOLDER\n", stderr);
    return 2;
  }
  const std::wstring folder = argv[1];
  std::wstring command = L"\"" + folder + L"\\Setup.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    std::printf("cannot-start\t%lu\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  std::vector<Box> boxes;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_TIMEOUT) {
    const DWORD now = GetTickCount();
    if (now - start > kLimitMs) {
      TerminateProcess(process.hProcess, 1);
      std::puts("timeout");
      break;
    }
    Search search{process.dwProcessId, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    // A box that has gone is forgotten: its handle may come back for another.
    for (size_t i = boxes.size(); i-- > 0;) {
      bool present = false;
      for (HWND window : search.boxes) present = present || window == boxes[i].window;
      if (!present) boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (HWND window : search.boxes) {
      bool known = false;
      for (Box& box : boxes) {
        if (box.window != window) continue;
        known = true;
        if (now - box.seenAt < kBoxShownMs) continue;
        // Read once it has been up a while (its text is in place by then),
        // then OK at every poll: an early answer can be lost.
        if (!box.read) {
          box.read = true;
          std::printf("box\t%s\t%s\n", OneLine(TextOf(window)).c_str(),
                      OneLine(TextOf(GetDlgItem(window, 0xFFFF))).c_str());
          std::fflush(stdout);
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
      }
      if (!known) boxes.push_back({window, now});
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit\t%lu\n", code);
  CloseHandle(process.hProcess);
  return 0;
}
