// Pixel access for the Windows-side tests: a 32-bit top-down DIB section to
// paint into, and a capture of a rectangle of the screen.
#pragma once

#include "runtime/Handles.h"

#include <cstdint>
#include <ostream>

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

inline Rgb FromColorRef(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

class PixelCanvas {
public:
  PixelCanvas(int width, int height, COLORREF background = RGB(1, 2, 3))
      : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS,
                                   reinterpret_cast<void**>(&bits_), nullptr, 0));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    UniqueBrush brush(CreateSolidBrush(background));
    RECT all = {0, 0, width, height};
    FillRect(dc_.get(), &all, brush.get());
    GdiFlush();
  }
  ~PixelCanvas() { SelectObject(dc_.get(), old_); }

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  Rgb At(int x, int y) const {
    GdiFlush();
    uint32_t v = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return Rgb{static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
               static_cast<int>(v & 0xFF)};
  }

  // Copies the screen's pixels at (left, top) into the canvas.
  void CaptureScreen(int left, int top) {
    WindowDC screen(nullptr);
    BitBlt(dc_.get(), 0, 0, width_, height_, screen.get(), left, top, SRCCOPY);
    GdiFlush();
  }

  // Writes the canvas as a 32-bit BMP (for a look at a failing test).
  void Save(const char* path) const {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = -height_;
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(width_) * static_cast<DWORD>(height_) * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    UniqueFile out(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out) return;
    DWORD written;
    GdiFlush();
    WriteFile(out.get(), &file, sizeof file, &written, nullptr);
    WriteFile(out.get(), &info, sizeof info, &written, nullptr);
    WriteFile(out.get(), bits_, bytes, &written, nullptr);
  }

private:
  int width_;
  int height_;
  UniqueMemDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

inline Rgb SysColor(int index) { return FromColorRef(GetSysColor(index)); }
