#include "EntryPath.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 0x20) : c; }

bool EqualsUpper(std::wstring_view text, std::wstring_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (UpperAscii(text[i]) != upper[i]) return false;
  }
  return true;
}

bool IsRefusedCharacter(wchar_t c) {
  return c < 32 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*' ||
         c == L':';
}

bool IsSafeSegment(std::wstring_view segment) {
  if (segment == L"..") return false;
  wchar_t last = segment.back();
  if (last == L'.' || last == L' ') return false;
  for (wchar_t c : segment) {
    if (IsRefusedCharacter(c)) return false;
  }
  return !IsDeviceName(segment);
}

}  // namespace

bool IsFolderEntry(std::wstring_view name) {
  return !name.empty() && IsSeparator(name.back());
}

std::wstring_view EntryFileName(std::wstring_view name) {
  size_t slash = name.find_last_of(L"/\\");
  return slash == std::wstring_view::npos ? name : name.substr(slash + 1);
}

bool IsDeviceName(std::wstring_view segment) {
  // Windows ignores the extension and blanks before it.
  std::wstring_view base = segment.substr(0, segment.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (EqualsUpper(base, device)) return true;
  }
  if (base.size() == 4 && (EqualsUpper(base.substr(0, 3), L"COM") ||
                           EqualsUpper(base.substr(0, 3), L"LPT"))) {
    wchar_t digit = base[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
  }
  return false;
}

std::optional<std::vector<std::wstring>> SafeEntrySegments(std::wstring_view name) {
  if (name.empty() || IsSeparator(name.front())) return std::nullopt;
  std::vector<std::wstring> segments;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    std::wstring_view segment = name.substr(start, end - start);
    if (!segment.empty() && segment != L".") {
      if (!IsSafeSegment(segment)) return std::nullopt;
      segments.emplace_back(segment);
    }
    start = end + 1;
  }
  if (segments.empty()) return std::nullopt;
  return segments;
}
