#include "MediumChecker.h"

#include "ReportText.h"
#include "app/core/MediumNames.h"
#include "app/core/SplashDesign.h"
#include "runtime/core/Failures.h"
#include "ui/jpeg/core/JpegBufferTarget.h"
#include "ui/jpeg/core/JpegDecoder.h"
#include "ui/pictures/core/BitmapHeader.h"
#include "ui/pictures/core/MetafileHeader.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

// The splash window before a picture is loaded: its design size at 96 dots
// per inch, centred once on a 1024 x 768 screen; a picture then sizes it
// from that corner.
constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kDesignWidth = splash::kDesignClientWidth, kDesignHeight = splash::kDesignClientHeight;
constexpr int kSplashLeft = (kScreenWidth - kDesignWidth) / 2, kSplashTop = (kScreenHeight - kDesignHeight) / 2;

}  // namespace

void Checker::CheckSplash() {
  std::vector<fs::path> present;
  for (const char* extension : medium::kSplashExtensions)
    if (auto path = FindInFolder(folder_, std::string(medium::kSplashBaseName) + extension)) present.push_back(*path);
  if (present.empty()) {
    f_.Ok("splash picture", "none: the progress window comes up centred");
    return;
  }
  for (size_t i = 1; i < present.size(); ++i)
    f_.Warning("splash picture", present[i].filename().u8string() + " is never shown: " +
                                     present[0].filename().u8string() + " comes first",
               "remove " + present[i].filename().u8string());
  const fs::path& picture = present[0];
  const std::string name = picture.filename().u8string();
  const auto bytes = ReadWholeFile(picture);
  if (!bytes) {
    f_.Error(name, "cannot be read", "copy the picture again");
    return;
  }
  int width = 0, height = 0;
  const std::string extension = Lower(picture.extension().u8string());
  try {
    if (extension == ".bmp") {
      MemoryByteSource source(bytes->data(), bytes->size());
      BitmapHeader header;
      if (ReadBitmapHeader(source, header)) {
        width = header.width;
        height = header.height < 0 ? -header.height : header.height;
      }
    } else if (extension == ".jpg") {
      if (!bytes->empty() && !CheckJpeg(name, *bytes, width, height)) return;
    } else {
      MemoryByteSource source(bytes->data(), bytes->size());
      const MetafileData data = ReadMetafile(source);
      const MetafileReference reference = EnhancedReference(data);
      width = MetafilePixelWidth(data, 96, reference);
      height = MetafilePixelHeight(data, 96, reference);
    }
  } catch (const Exception& e) {
    f_.Error(name, "does not load (" + ReaderFailure(e.Message()) + "): the splash window stays empty at " +
                       std::to_string(kDesignWidth) + " x " + std::to_string(kDesignHeight),
             "save the picture again as a plain " + extension.substr(1) + " file");
    return;
  }
  SplashWindow(name, width, height);
}

// Loads and decodes as the splash window does: the header at loading,
// the whole picture at the first paint.
bool Checker::CheckJpeg(const std::string& name, const std::string& bytes, int& width, int& height) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const JpegHeader header = ReadJpegHeader(data, bytes.size());
  width = header.width;
  height = header.height;
  JpegBufferTarget target(true, int64_t(1) << 28);
  try {
    if (const int warnings = DecodeJpeg(data, bytes.size(), JpegSettings(), target))
      f_.Warning(name, "damaged data decoded anyway (" + std::to_string(warnings) + " warning(s) of the decoder)",
                 "save the picture again");
  } catch (const Exception& e) {
    f_.Error(name, "fails at its first paint: Setup.exe shows the box " + ReaderFailure(e.Message()) +
                       " and waits for OK",
             "save the picture again as a baseline JPEG");
    return false;
  }
  return true;
}

void Checker::SplashWindow(const std::string& name, int width, int height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width <= 0 || height <= 0) {
    f_.Warning(name, "an empty picture (" + size + "): nothing of the splash window shows",
               "give a picture or leave it out");
    return;
  }
  const int right = kSplashLeft + width, bottom = kSplashTop + height;
  const std::string window = "the window takes " + size + " from (" + std::to_string(kSplashLeft) + ", " +
                             std::to_string(kSplashTop) + ")";
  if (right > kScreenWidth || bottom > kScreenHeight) {
    f_.Warning(name, window + " and runs past the edge of a 1024 x 768 screen by " +
                         std::to_string(std::max(0, right - kScreenWidth)) + " x " +
                         std::to_string(std::max(0, bottom - kScreenHeight)) + " pixels",
               "make the picture at most " + std::to_string(kScreenWidth - kSplashLeft) + " x " +
                   std::to_string(kScreenHeight - kSplashTop));
  } else {
    f_.Ok(name, "loads; " + window + " and fits a 1024 x 768 screen");
  }
}

}  // namespace setupmedium
