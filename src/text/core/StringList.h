// An ordered list of pairs: an 8-bit key string and an object. Kept
// unsorted: pairs are appended, equal keys may repeat, and a search stops at
// the first key that compares equal (ignoring letter case). The list does
// not own its objects.
#pragma once

#include <string>
#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
};

class TStringList : public TObject {
public:
  // Appends a pair; gives its index.
  int AddObject(const std::string& key, TObject* object);
  // Index of the first pair whose key equals key (ignoring case), or -1.
  int IndexOf(const std::string& key) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const { return FItems[index].key; }
  TObject* Objects(int index) const { return FItems[index].object; }
  // Removes every pair (the objects are not released).
  void Clear() { FItems.clear(); }

private:
  struct Item {
    std::string key;
    TObject* object;
  };
  std::vector<Item> FItems;
};
