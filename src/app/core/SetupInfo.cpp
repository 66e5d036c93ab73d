#include "app/core/SetupInfo.h"

#include "streams/core/Reader.h"

namespace setupinfo {

int32_t ReadFormatVersion(TReader& reader) {
  try {
    return reader.ReadIntValue();
  } catch (...) {
    reader.SetReadOffset(reader.ReadOffset() - 1);
    return 0;
  }
}

void ReadField(TReader& reader, const Field& field, Head& head) {
  switch (field.kind) {
    case Kind::Integer:
      reader.ReadIntValue();
      return;
    case Kind::Boolean: {
      const bool value = reader.ReadBoolValue();
      if (field.role == Role::Silent) head.silent = value;
      return;
    }
    case Kind::String: {
      std::string value = reader.ReadStrValue();
      if (field.role == Role::LanguageFile) head.languageFile = std::move(value);
      else if (field.role == Role::ProductName) head.productName = std::move(value);
      else if (field.role == Role::ProductVersion) head.productVersion = std::move(value);
      return;
    }
  }
}

std::string ProductText(std::string text) {
  if (text.size() > kMaxProductText) text.resize(kMaxProductText);
  return text;
}

}  // namespace setupinfo
