// Platform queries that fill a caller's buffer with a path: they give the
// length written, or the size needed (or, like GetModuleFileName, the size
// given) when the buffer was too short, or 0 on failure.
// QueryPath<std::string> or <std::wstring> calls query(size, buffer) with a
// growing buffer until it was large enough; empty on failure.
#pragma once

#include <windows.h>

template <typename String, typename Query>
String QueryPath(Query query) {
  String path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = query(static_cast<DWORD>(path.size()), &path[0]);
    if (n == 0) return String();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1 > 2 * path.size() ? n + 1 : 2 * path.size());
  }
}
