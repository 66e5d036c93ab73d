// The registry of picture file formats: one process-wide list, created on
// first use, of (extension, description, picture kind). Extensions are
// stored lower-case without the dot. The list starts with the metafile,
// icon and bitmap entries; further kinds register themselves at program
// start, before any picture is loaded.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TGraphic;

using GraphicFactory = std::unique_ptr<TGraphic> (*)();

struct TFileFormat {
  std::string extension;
  std::string description;
  GraphicFactory factory;
};

class TFileFormatsList {
public:
  TFileFormatsList();

  void Add(const std::string& extension, const std::string& description, GraphicFactory factory);
  // The most recently registered entry with exactly this (lower-case)
  // extension, or nullptr.
  const TFileFormat* Find(const std::string& extension) const;
  const std::vector<TFileFormat>& Entries() const { return entries_; }

private:
  std::vector<TFileFormat> entries_;
};

TFileFormatsList& GetFileFormats();

// Adds an entry; the extension is lower-cased. The JPEG picture kind calls
// this for "jpeg" and "jpg" when it initialises.
void RegisterFileFormat(const std::string& extension, const std::string& description,
                        GraphicFactory factory);

// The entry with the empty extension for OLE pictures, registered after
// the JPEG kind. Its picture kind refuses to load.
void RegisterOleGraphicFormat();
