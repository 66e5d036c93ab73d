// One owner for every platform resource: a small template parameterised by
// the handle type, the invalid value and the function that closes it, plus
// one alias per kind of handle. Whoever holds the owner closes the handle.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <utility>

// What a kind of handle holds when it holds nothing. Most kinds: null.
template <typename T>
struct NullIsInvalid {
  static T Invalid() { return T(); }
  static bool IsValid(T handle) { return handle != T(); }
};

// File handles: "nothing" is INVALID_HANDLE_VALUE, and a null handle is
// taken as nothing too.
struct FileHandleIsInvalid {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
};

template <typename T, typename Closer, typename Policy = NullIsInvalid<T>>
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(Normal(handle)) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return Policy::IsValid(handle_); }
  T release() { return std::exchange(handle_, Policy::Invalid()); }
  // For out parameters: closes what is held and hands out the slot.
  T* put() {
    reset();
    return &handle_;
  }
  void reset(T handle = Policy::Invalid()) {
    T old = std::exchange(handle_, Normal(handle));
    if (Policy::IsValid(old)) Closer()(old);
  }

private:
  static T Normal(T handle) { return Policy::IsValid(handle) ? handle : Policy::Invalid(); }
  T handle_ = Policy::Invalid();
};

struct CloseHandleCloser { void operator()(HANDLE h) const { ::CloseHandle(h); } };
struct FreeLibraryCloser { void operator()(HMODULE h) const { ::FreeLibrary(h); } };
struct RegCloseKeyCloser { void operator()(HKEY h) const { ::RegCloseKey(h); } };
struct DeleteDCCloser { void operator()(HDC h) const { ::DeleteDC(h); } };
struct DeleteObjectCloser { void operator()(HGDIOBJ h) const { ::DeleteObject(h); } };
struct DeleteEnhMetaFileCloser { void operator()(HENHMETAFILE h) const { ::DeleteEnhMetaFile(h); } };
struct LocalFreeCloser { void operator()(void* p) const { ::LocalFree(p); } };
struct SysFreeStringCloser { void operator()(BSTR s) const { ::SysFreeString(s); } };
struct UnmapViewCloser { void operator()(void* view) const { ::UnmapViewOfFile(view); } };

struct DestroyWindowCloser { void operator()(HWND h) const { ::DestroyWindow(h); } };

// A file handle (CreateFile, FindFirstFile's kin): empty is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueHandle<HANDLE, CloseHandleCloser, FileHandleIsInvalid>;

// A mutex, event, file mapping or process: invalid is null.
using UniqueKernelObject = UniqueHandle<HANDLE, CloseHandleCloser>;
using UniqueView = UniqueHandle<void*, UnmapViewCloser>;         // MapViewOfFile
using UniqueModule = UniqueHandle<HMODULE, FreeLibraryCloser>;
using UniqueKey = UniqueHandle<HKEY, RegCloseKeyCloser>;
using UniqueMemDC = UniqueHandle<HDC, DeleteDCCloser>;            // CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectCloser>;
using UniquePalette = UniqueHandle<HPALETTE, DeleteObjectCloser>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObjectCloser>;
using UniqueFont = UniqueHandle<HFONT, DeleteObjectCloser>;
using UniqueEnhMetaFile = UniqueHandle<HENHMETAFILE, DeleteEnhMetaFileCloser>;
// Memory the system allocated with LocalAlloc for the caller (FormatMessage).
template <typename T>
using UniqueLocal = UniqueHandle<T, LocalFreeCloser>;
// A BSTR; null is the empty string.
using UniqueBstr = UniqueHandle<BSTR, SysFreeStringCloser>;
// A window this code created and destroys.
using UniqueWindow = UniqueHandle<HWND, DestroyWindowCloser>;

// A VARIANT that is cleared when it goes (VariantInit on the way in).
class UniqueVariant {
public:
  UniqueVariant() { ::VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { ::VariantClear(&value_); }
  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  // For out parameters: clears what is held and hands out the VARIANT.
  VARIANT* put() {
    ::VariantClear(&value_);
    return &value_;
  }
  // Hands the value over to the caller, who clears it; holds nothing after.
  VARIANT release() {
    VARIANT value = value_;
    ::VariantInit(&value_);
    return value;
  }
private:
  VARIANT value_;
};

// A device context from GetDC, given back with ReleaseDC.
class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() { if (dc_) ::ReleaseDC(window_, dc_); }
  HDC get() const { return dc_; }
private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and restores the old one.
class SelectionGuard {
public:
  SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;
  ~SelectionGuard() { if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_); }
private:
  HDC dc_;
  HGDIOBJ old_;
};

// Selects a palette into a device context and realises it; the old palette
// comes back when the guard goes.
class PaletteSelection {
public:
  PaletteSelection(HDC dc, HPALETTE palette, bool background)
      : dc_(dc), background_(background),
        old_(palette ? ::SelectPalette(dc, palette, background ? TRUE : FALSE) : nullptr) {
    if (old_) ::RealizePalette(dc);
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;
  ~PaletteSelection() {
    if (old_) ::SelectPalette(dc_, old_, background_ ? TRUE : FALSE);
  }
private:
  HDC dc_;
  bool background_;
  HPALETTE old_;
};

// A COM interface pointer that is released when it goes.
template <typename I>
class ComPtr {
public:
  ComPtr() = default;
  explicit ComPtr(I* p) : p_(p) {}  // takes over a reference
  // Shares a pointer someone else holds: adds a reference of its own.
  static ComPtr Share(I* p) {
    if (p) p->AddRef();
    return ComPtr(p);
  }
  ComPtr(const ComPtr& other) : p_(other.p_) { if (p_) p_->AddRef(); }
  ComPtr& operator=(ComPtr other) noexcept { std::swap(p_, other.p_); return *this; }
  ~ComPtr() { reset(); }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held and hands out the slot.
  I** put() { reset(); return &p_; }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  // Hands out a reference of the caller's own (an out parameter of a method).
  void CopyTo(I** out) const {
    *out = p_;
    if (p_) p_->AddRef();
  }
  void reset() { if (p_) { I* p = p_; p_ = nullptr; p->Release(); } }
private:
  I* p_ = nullptr;
};

// BeginPaint and EndPaint as one owner: the paint ends also when painting
// raises a failure.
class PaintSession {
public:
  explicit PaintSession(HWND window) : window_(window), dc_(::BeginPaint(window, &ps_)) {}
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  ~PaintSession() { ::EndPaint(window_, &ps_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }
private:
  HWND window_;
  PAINTSTRUCT ps_ = {};
  HDC dc_;
};
