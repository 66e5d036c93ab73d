// Names of the platform's named objects (mutexes, shared memory) in the
// session's local namespace, derived from a folder path, so that every run
// working in one folder meets the same objects and runs in other folders
// meet others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The longest name handed to the platform, "Local\" included: the documented
// limit is MAX_PATH characters with the terminating null.
constexpr std::size_t kMaxObjectNameLength = 259;

namespace object_name_detail {

// 64-bit FNV-1a over the key's UTF-16 code units, low byte first.
template <typename String>
std::uint64_t Fnv1a64(const String& text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const auto unit : text) {
    const auto code = static_cast<std::uint32_t>(unit);
    for (int shift = 0; shift < 16; shift += 8) {
      hash ^= (code >> shift) & 0xFFu;
      hash *= 0x100000001b3u;
    }
  }
  return hash;
}

}  // namespace object_name_detail

// "Local\" + kind + the folder's key. The key is the folder path as given
// (folding its letter case is the caller's part) without trailing
// separators, each backslash (which would name a sub-namespace) written as
// '/'. A key that would make the name longer than kMaxObjectNameLength is
// cut: 16 hexadecimal digits of the 64-bit FNV-1a hash of the whole key, '~',
// then as much of the key's end as fits. String is a string of UTF-16 code
// units (std::wstring on Windows, std::u16string elsewhere), so the program
// instantiates only the string type it already uses.
template <typename String>
String LocalObjectName(const String& kind, const String& folder) {
  using Char = typename String::value_type;
  constexpr std::size_t kHashDigits = 16;
  String key = folder;
  while (!key.empty() && (key.back() == Char('\\') || key.back() == Char('/'))) key.pop_back();
  for (Char& c : key)
    if (c == Char('\\')) c = Char('/');

  String name;
  for (const char c : {'L', 'o', 'c', 'a', 'l', '\\'}) name += Char(c);
  name += kind;
  const std::size_t room = kMaxObjectNameLength - name.size();
  if (key.size() <= room) return name + key;
  std::uint64_t hash = object_name_detail::Fnv1a64(key);
  String digits(kHashDigits, Char('0'));
  for (std::size_t i = kHashDigits; i-- > 0; hash >>= 4) digits[i] = Char("0123456789abcdef"[hash & 0xF]);
  const std::size_t tail = room - kHashDigits - 1;
  return name + digits + Char('~') + key.substr(key.size() - tail);
}

// The same for UTF-16 strings given as text (the portable build's tests).
inline std::u16string LocalObjectName(std::u16string kind, std::u16string folder) {
  return LocalObjectName<std::u16string>(kind, folder);
}
