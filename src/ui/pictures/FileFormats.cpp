#include "ui/pictures/FileFormats.h"

#include "runtime/core/Messages.h"
#include "ui/pictures/Bitmap.h"
#include "ui/pictures/core/FileExtension.h"
#include "ui/pictures/Metafile.h"
#include "ui/pictures/UnsupportedGraphic.h"

namespace {

template <typename Kind>
std::unique_ptr<TGraphic> Make() {
  return std::make_unique<Kind>();
}

}  // namespace

TFileFormatsList::TFileFormatsList() {
  Add("wmf", msg::FormatMetafiles, &Make<TMetafile>);
  Add("emf", msg::FormatEnhancedMetafiles, &Make<TMetafile>);
  Add("ico", msg::FormatIcons, &Make<TIcon>);
  Add("bmp", msg::FormatBitmaps, &Make<TBitmap>);
}

void TFileFormatsList::Add(const std::string& extension, const std::string& description,
                           GraphicFactory factory) {
  entries_.push_back(TFileFormat{LowerExtension(extension), description, factory});
}

const TFileFormat* TFileFormatsList::Find(const std::string& extension) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->extension == extension) return &*it;
  return nullptr;
}

TFileFormatsList& GetFileFormats() {
  static TFileFormatsList* list = new TFileFormatsList();  // lives until the process ends
  return *list;
}

void RegisterFileFormat(const std::string& extension, const std::string& description,
                        GraphicFactory factory) {
  GetFileFormats().Add(extension, description, factory);
}

void RegisterOleGraphicFormat() {
  GetFileFormats().Add("", "", &Make<TOleGraphic>);
}
