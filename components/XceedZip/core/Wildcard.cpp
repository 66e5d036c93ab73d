#include "Wildcard.h"

namespace {

wchar_t FoldCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
  // Latin-1 small letters à..þ except the division sign; ÿ folds to Ÿ.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
  if (c == 0xFF) return static_cast<wchar_t>(0x178);
  return c;
}

bool Match(std::wstring_view mask, std::wstring_view name) {
  size_t m = 0, n = 0;
  size_t starMask = std::wstring_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == L'*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == L'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::wstring_view::npos) {
      // Let the last star take one more character and try again.
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == L'*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::wstring_view mask, std::wstring_view name) {
  if (Match(mask, name)) return true;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == L".*" &&
      name.find(L'.') == std::wstring_view::npos) {
    return Match(mask.substr(0, mask.size() - 2), name);
  }
  return false;
}

bool MatchesAnyMask(const std::vector<std::wstring>& masks, std::wstring_view name) {
  for (const std::wstring& mask : masks) {
    if (MatchesMask(mask, name)) return true;
  }
  return false;
}

std::vector<std::wstring> SplitMaskList(std::wstring_view list) {
  std::vector<std::wstring> masks;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(L'|', start);
    if (end == std::wstring_view::npos) end = list.size();
    if (end > start) masks.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return masks;
}
