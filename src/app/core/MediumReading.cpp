#include "app/core/MediumReading.h"

#include "text/core/CSprache.h"

namespace medium {

std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& with) {
  std::string result;
  size_t from = 0;
  for (size_t at; (at = text.find(pattern, from)) != std::string::npos; from = at + pattern.size()) {
    result.append(text, from, at - from);
    result += with;
  }
  result.append(text, from, std::string::npos);
  return result;
}

WindowTexts WindowTextsOf(const cSprachContainer& table, const setupinfo::Head& head) {
  std::string body = table.GetText(kBodyText);
  body = ReplaceAll(body, kProductNamePlaceholder, setupinfo::ProductText(head.productName));
  body = ReplaceAll(body, kProductVersionPlaceholder, setupinfo::ProductText(head.productVersion));
  return {table.GetText(kTitleText), std::move(body), table.GetText(kWaitText)};
}

TSetupInfoReading::TSetupInfoReading(const std::string& path, TReadingListener* listener)
    : stream_(path, kSetupInfoOpenMode), reader_(stream_, kValueChunkSize), listener_(listener) {
  reader_.CheckSignature();
}

const setupinfo::Head& TSetupInfoReading::ReadPart(setupinfo::Part part) {
  setupinfo::ReadHead(reader_, part, head_, [this](const setupinfo::Field& field) {
    place_ = field.name;
    placeOffset_ = reader_.ReadOffset();
    if (listener_) listener_->FieldAt(field, placeOffset_);
  });
  return head_;
}

const setupinfo::Head& TSetupInfoReading::ReadUpToTexts() {
  place_ = "format version";
  placeOffset_ = reader_.ReadOffset();
  head_.version = setupinfo::ReadFormatVersion(reader_);
  return ReadPart(setupinfo::Part::BeforeTexts);
}

WindowTexts TSetupInfoReading::ReadTexts(const std::string& languageFilePath, cSprachContainer& table) {
  place_ = "language file";
  LoadLanguageFile(table, languageFilePath, listener_);
  return WindowTextsOf(table, head_);
}

WindowTexts TSetupInfoReading::ReadTexts(const std::string& languageFilePath) {
  cSprachContainer table;
  return ReadTexts(languageFilePath, table);
}

const setupinfo::Head& TSetupInfoReading::ReadRest() {
  return ReadPart(setupinfo::Part::AfterTexts);
}

}  // namespace medium
