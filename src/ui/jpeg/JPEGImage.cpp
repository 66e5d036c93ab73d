#include "ui/jpeg/JPEGImage.h"

#include "runtime/core/Failures.h"
#include "runtime/Handles.h"
#include "runtime/core/Messages.h"
#include "streams/core/Stream.h"
#include "ui/jpeg/BitmapRowTarget.h"
#include "ui/jpeg/core/JpegDecoder.h"
#include "ui/pictures/Bitmap.h"
#include "ui/pictures/FileFormats.h"

namespace {

constexpr int32_t kLoadChunk = 1 << 20;

std::unique_ptr<TGraphic> MakeJPEGImage() { return std::make_unique<TJPEGImage>(); }

// Everything from the stream's position to its end.
std::vector<uint8_t> ReadRest(TStream& stream) {
  int64_t size = stream.Size() - stream.Position();
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  for (size_t done = 0; done < bytes.size();) {
    int32_t count = static_cast<int32_t>(std::min<size_t>(kLoadChunk, bytes.size() - done));
    stream.ReadBuffer(bytes.data() + done, count);
    done += count;
  }
  return bytes;
}

}  // namespace

JpegSettings& JPEGDefaults() {
  static JpegSettings defaults;
  return defaults;
}

void InitializeJPEGImage() {
  WindowDC screen(nullptr);
  int bitsPerPixel = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
  JPEGDefaults().pixelFormat = bitsPerPixel <= 8 ? JpegPixelFormat::Bits8 : JpegPixelFormat::Bits24;
  RegisterFileFormat("jpeg", msg::FormatJPEG, &MakeJPEGImage);
  RegisterFileFormat("jpg", msg::FormatJPEG, &MakeJPEGImage);
}

TJPEGImage::TJPEGImage() : data_(std::make_shared<TJPEGData>()), settings_(JPEGDefaults()) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromStream(TStream& stream) {
  // The old data are released and the new, empty data stay in place when
  // the header cannot be read.
  data_ = std::make_shared<TJPEGData>();
  bitmap_.reset();
  settings_.progressiveEncoding = false;
  auto data = std::make_shared<TJPEGData>();
  data->FData = ReadRest(stream);
  if (!data->FData.empty()) {
    JpegHeader header = ReadJpegHeader(data->FData.data(), data->FData.size());
    data->FWidth = header.width;
    data->FHeight = header.height;
    data->FGrayscale = header.grayscale;
    settings_.progressiveEncoding = header.progressive;
  }
  data_ = std::move(data);
  Changed();
}

int TJPEGImage::Width() {
  if (bitmap_) return bitmap_->Width();
  if (settings_.scale == JpegScale::Full || data_->FData.empty()) return data_->FWidth;
  int width = 0, height = 0;
  JpegOutputSize(data_->FData.data(), data_->FData.size(), settings_.scale, width, height);
  return width;
}

int TJPEGImage::Height() {
  if (bitmap_) return bitmap_->Height();
  if (settings_.scale == JpegScale::Full || data_->FData.empty()) return data_->FHeight;
  int width = 0, height = 0;
  JpegOutputSize(data_->FData.data(), data_->FData.size(), settings_.scale, width, height);
  return height;
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation(msg::JPEGResize); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation(msg::JPEGResize); }

bool TJPEGImage::Empty() { return data_->FData.empty(); }

TBitmap& TJPEGImage::DecodeToBitmap() {
  if (bitmap_) return *bitmap_;
  // Stored at once: a failure leaves it as the decoded bitmap.
  bitmap_ = std::make_unique<TBitmap>();
  BitmapRowTarget target(*bitmap_);
  TJPEGDataRef data = data_;  // kept alive even if the handler reloads
  DecodeJpeg(data->FData.data(), data->FData.size(), settings_, target);
  if (target.PaletteChanged()) Changed();
  return *bitmap_;
}

void TJPEGImage::Draw(HDC dc, const RECT& rect) {
  if (Empty()) return;
  DecodeToBitmap().Draw(dc, rect);
}
