// The zip component's entry name and mask rules on arbitrary names: whatever
// SafeEntrySegments lets through must stay below the target folder, and
// matching must neither crash nor miss a literal name.
#include "EntryPath.h"
#include "Wildcard.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Two bytes per character, low byte first, as names arrive in UTF-16.
std::wstring Characters(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring name = Characters(data, size);

  if (auto segments = SafeEntrySegments(name)) {
    Check(!segments->empty());
    for (const std::wstring& segment : *segments) {
      Check(!segment.empty() && segment != L"." && segment != L"..");
      Check(segment.back() != L'.' && segment.back() != L' ');
      Check(!IsDeviceName(segment));
      for (wchar_t c : segment) {
        Check(c >= 32 && c != L'/' && c != L'\\' && c != L':' && c != L'*' && c != L'?');
      }
    }
  }

  std::wstring_view fileName = EntryFileName(name);
  Check(fileName.find_first_of(L"/\\") == std::wstring_view::npos);
  if (name.find_first_of(L"*?") == std::wstring::npos) Check(MatchesMask(name, name));
  Check(MatchesMask(L"*", name));
  // The first half as a mask against the second half: only must not crash.
  MatchesMask(std::wstring_view(name).substr(0, name.size() / 2),
              std::wstring_view(name).substr(name.size() / 2));
  for (const std::wstring& mask : SplitMaskList(name)) Check(!mask.empty());
  return 0;
}
