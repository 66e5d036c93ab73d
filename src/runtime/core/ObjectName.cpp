#include "runtime/core/ObjectName.h"

#include <cstdint>

namespace {

const char16_t kLocalNamespace[] = u"Local\\";
constexpr std::size_t kHashDigits = 16;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::uint64_t Fnv1a64(const std::u16string& text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (char16_t unit : text) {
    for (int shift = 0; shift < 16; shift += 8) {
      hash ^= (unit >> shift) & 0xFFu;
      hash *= 0x100000001b3u;
    }
  }
  return hash;
}

std::u16string Hex(std::uint64_t value) {
  std::u16string digits(kHashDigits, u'0');
  for (std::size_t i = kHashDigits; i-- > 0; value >>= 4)
    digits[i] = u"0123456789abcdef"[value & 0xF];
  return digits;
}

}  // namespace

std::u16string LocalObjectName(const std::u16string& kind, const std::u16string& folder) {
  std::u16string key = folder;
  while (!key.empty() && IsSeparator(key.back())) key.pop_back();
  for (char16_t& c : key)
    if (c == u'\\') c = u'/';

  std::u16string name = kLocalNamespace + kind;
  const std::size_t room = kMaxObjectNameLength - name.size();
  if (key.size() <= room) return name + key;
  const std::size_t tail = room - kHashDigits - 1;
  return name + Hex(Fnv1a64(key)) + u'~' + key.substr(key.size() - tail);
}
