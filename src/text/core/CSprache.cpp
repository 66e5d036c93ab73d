#include "text/core/CSprache.h"

#include "streams/core/FileStream.h"
#include "streams/core/Reader.h"

#include <new>

namespace {

// Replaces every pair backslash + letter that a scan from the left finds.
// The replacement holds no backslash, so no new pair can appear.
std::string ReplacePairs(const std::string& text, char letter, const char* replacement) {
  std::string result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == letter) {
      result += replacement;
      i += 2;
    } else {
      result += text[i];
      i += 1;
    }
  }
  return result;
}

}  // namespace

std::string ExpandEscapes(const std::string& text) {
  return ReplacePairs(ReplacePairs(text, 'n', "\r\n"), 't', "\t");
}

cSprachContainer::cSprachContainer() = default;
cSprachContainer::~cSprachContainer() = default;

void cSprachContainer::ReleaseFile() {
  FReader.reset();
  FFile.reset();
}

void cSprachContainer::AddText(int32_t number, const std::string& text) {
  FEntries.push_back(cFremdsprache{number, text});
}

int cSprachContainer::IndexOf(int32_t number) const {
  for (size_t i = 0; i < FEntries.size(); ++i)
    if (FEntries[i].FNumber == number) return static_cast<int>(i);
  return -1;
}

int64_t cSprachContainer::ReadOffset() const { return FReader ? FReader->ReadOffset() : 0; }
int64_t cSprachContainer::FileSize() const { return FFile ? FFile->Size() : 0; }

TReader& cSprachContainer::OpenFile(const std::string& fileName) {
  ReleaseFile();
  FFile = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareCompat);
  FReader = std::make_unique<TReader>(*FFile, kValueChunkSize);
  return *FReader;
}

std::string cSprachContainer::FindText(int32_t number) const {
  int index = IndexOf(number);
  return index < 0 ? std::string() : Entry(index).FText;
}

std::string cSprachContainer::GetText(int32_t number) const {
  std::string text = FindText(number);
  try {
    return ExpandEscapes(text);
  } catch (const std::bad_alloc&) {
    return text;
  }
}

void LoadLanguageFile(cSprachContainer& table, const std::string& fileName, TTextListener* listener) {
  TReader& reader = table.OpenFile(fileName);
  reader.CheckSignature();
  reader.ReadStrValue();
  reader.ReadSymbolValue();
  int32_t lastList = reader.ReadIntValue();
  for (int64_t list = 0; list <= lastList; ++list) {
    reader.EnterList();
    while (!reader.AtListEnd()) {
      int32_t number = reader.ReadIntValue();
      if (listener) listener->TextAt(number, reader.ReadOffset());
      std::string text = reader.ReadStrValue();
      table.AddText(number, text);
    }
    reader.LeaveList();
  }
}
