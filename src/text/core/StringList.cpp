#include "text/core/StringList.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

int TStringList::AddObject(const std::string& key, TObject* object) {
  FItems.push_back(Item{key, object});
  return Count() - 1;
}

int TStringList::IndexOf(const std::string& key) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i].key, key)) return static_cast<int>(i);
  return -1;
}
