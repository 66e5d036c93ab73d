// The one fence between the component's C++ code and its COM callers: a
// failure must not unwind through a caller's frames, so every export and
// every COM method runs its body through Fenced, which turns a failure into
// an HRESULT.
#pragma once

#include <windows.h>

#include <new>

template <typename Body>
HRESULT Fenced(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
