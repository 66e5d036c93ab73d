// Helpers of the Windows-side picture tests: files in a scratch folder,
// metafiles recorded through GDI, and rendering a picture into a 32-bit
// surface to read its pixels back.
#pragma once

#include "Files.h"
#include "Pixels.h"
#include "../../support/PictureWriter.h"
#include "ui/pictures/Graphic.h"

#include <windows.h>

#include <string>
#include <vector>

namespace picture_files {

// A scratch folder removed with its files at the end of the test.
class ScratchFolder : public setup_test::TempFolder {
public:
  std::string Write(const std::string& name, const picture_writer::Bytes& bytes) {
    const std::string file = Path() + "\\" + name;
    setup_test::WriteBytes(file, std::string(bytes.begin(), bytes.end()));
    return file;
  }
  std::string Path() const { return setup_test::Ansi(path()); }
};

// An enhanced metafile recorded with a frame in hundredths of a
// millimetre, its bytes as a file holds them.
template <typename Record>
picture_writer::Bytes RecordEnhanced(const RECT& frame, Record record) {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  record(dc);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  picture_writer::Bytes bytes(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
  DeleteEnhMetaFile(emf);
  return bytes;
}

// A Windows metafile (without any placeable header) recorded through GDI.
template <typename Record>
picture_writer::Bytes RecordWindows(Record record) {
  HDC dc = CreateMetaFileA(nullptr);
  record(dc);
  HMETAFILE wmf = CloseMetaFile(dc);
  picture_writer::Bytes bytes(GetMetaFileBitsEx(wmf, 0, nullptr));
  GetMetaFileBitsEx(wmf, static_cast<UINT>(bytes.size()), bytes.data());
  DeleteMetaFile(wmf);
  return bytes;
}

inline void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r = {left, top, right, bottom};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// Pixels drawn into a width x height surface first filled with background,
// as 0x00RRGGBB, row by row from the top.
class Rendering : public PixelCanvas {
public:
  using PixelCanvas::PixelCanvas;
  HDC Dc() const { return dc(); }
  void Draw(TGraphic& graphic) {
    RECT r = {0, 0, width(), height()};
    graphic.Draw(dc(), r);
    GdiFlush();
  }
  uint32_t At(int x, int y) const {
    const Rgb c = PixelCanvas::At(x, y);
    return static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b);
  }
};

}  // namespace picture_files
