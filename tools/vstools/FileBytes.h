// Whole-file reading and writing for the authoring commands.
#pragma once

#include <cstdio>
#include <string>

inline bool ReadFileBytes(const char* path, std::string& bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bytes.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

inline bool WriteFileBytes(const char* path, const std::string& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  return ok;
}
