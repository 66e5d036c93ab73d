// How Setup.exe reads a medium's setup information and the language file it
// names into the progress window's texts. The program, the medium checker
// and the tools read through this one description, so a change of the
// format (another text number, another placeholder) is made here alone.
#pragma once

#include "app/core/SetupInfo.h"
#include "text/core/CSprache.h"
#include "streams/core/FileStream.h"
#include "streams/core/Reader.h"

#include <cstdint>
#include <string>

namespace medium {

// How "setup.inf" is opened: others may go on reading and writing it. It is
// read through kValueChunkSize (Reader.h), as the language files are.
inline constexpr uint16_t kSetupInfoOpenMode = fmOpenRead | fmShareDenyNone;

// The language texts of the progress window, by number.
inline constexpr int32_t kTitleText = 1000;
inline constexpr int32_t kBodyText = 1001;
inline constexpr int32_t kWaitText = 1002;
inline constexpr int32_t kWindowTexts[] = {kTitleText, kBodyText, kWaitText};

// What the body text has replaced, and by what: the product's name and
// version from the head, cut as the program cuts them. Only the body's.
inline constexpr char kProductNamePlaceholder[] = "%PRODUKTNAME%";
inline constexpr char kProductVersionPlaceholder[] = "%PRODUKTVERSION%";

struct WindowTexts {
  std::string title;
  std::string body;
  std::string wait;
};

// The window's texts from a loaded table: escapes expanded, the body's
// placeholders replaced (left to right; replaced text is not looked at
// again).
WindowTexts WindowTextsOf(const cSprachContainer& table, const setupinfo::Head& head);

// Every occurrence of pattern replaced, exact and case-sensitive.
std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& with);

// Hears the values as reading comes to them, with the offset of each value in
// its file: the fields of the head, then the texts of the language file.
class TReadingListener : public TTextListener {
public:
  virtual void FieldAt(const setupinfo::Field& field, int32_t offset) = 0;

protected:
  ~TReadingListener() = default;
};

// One reading of "setup.inf", in the order the program reads it: the head
// up to the product version, then the texts from the language file (its
// table and file live only while they are read), then the rest of the head.
// Every failure is the one Setup.exe raises; Place() tells where it stood.
class TSetupInfoReading {
public:
  // Opens the file and checks the signature. listener, when given, hears
  // every field and text as it is come to.
  explicit TSetupInfoReading(const std::string& path, TReadingListener* listener = nullptr);

  // The format version and the fields before the texts.
  const setupinfo::Head& ReadUpToTexts();
  // Loads the language file at languageFilePath into table and returns the
  // texts.
  WindowTexts ReadTexts(const std::string& languageFilePath, cSprachContainer& table);
  WindowTexts ReadTexts(const std::string& languageFilePath);
  // The fields after the texts, the silent flag among them.
  const setupinfo::Head& ReadRest();

  const setupinfo::Head& Head() const { return head_; }
  // The value being read when a failure came ("signature", a field's name,
  // "language file") and its offset in "setup.inf".
  const char* Place() const { return place_; }
  int32_t PlaceOffset() const { return placeOffset_; }
  // For a checker that looks at a field's bytes before they are read.
  TReader& Reader() { return reader_; }

private:
  const setupinfo::Head& ReadPart(setupinfo::Part part);

  TFileStream stream_;
  TReader reader_;  // goes before the stream
  setupinfo::Head head_;
  TReadingListener* listener_;
  const char* place_ = "signature";
  int32_t placeOffset_ = 0;
};

}  // namespace medium
