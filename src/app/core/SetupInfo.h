// The head of the setup information file "Setup.inf": the values the
// start-up program reads, in file order, by format version. The program,
// the medium writer and the medium checker all read or write the head
// through this one description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

class TReader;

namespace setupinfo {

// Format versions from which a field is present or changes its kind.
inline constexpr int32_t kBooleanSecondField = 4000;  // field 2: boolean instead of string
inline constexpr int32_t kSilentFlagFields = 4003;    // fields 11 and 12
inline constexpr int32_t kSeventhField = 4014;        // field 7
inline constexpr int32_t kEighthFields = 5000;        // field 8, two booleans

// Product name and version are used up to this many characters.
inline constexpr size_t kMaxProductText = 255;

enum class Kind { Integer, String, Boolean };

// What the program does with a field's value.
enum class Role { Skipped, LanguageFile, ProductName, ProductVersion, Silent };

struct Field {
  const char* name;      // as a report names it
  Kind kind;
  Role role;
  int32_t fromVersion;   // present from this format version on
  int32_t belowVersion;  // and below this one
};

inline constexpr int32_t kAnyVersion = INT32_MIN;
inline constexpr int32_t kNoLimit = INT32_MAX;

// Fields 2 to 12 (field 1 is the format version itself, present when the
// first value is an integer). The language texts are set between the
// product version and field 7: kFieldsBeforeTexts entries come first.
inline constexpr Field kHead[] = {
    {"field 2", Kind::String, Role::Skipped, kAnyVersion, kBooleanSecondField},
    {"field 2", Kind::Boolean, Role::Skipped, kBooleanSecondField, kNoLimit},
    {"field 3", Kind::String, Role::Skipped, kAnyVersion, kNoLimit},
    {"language file", Kind::String, Role::LanguageFile, kAnyVersion, kNoLimit},
    {"product name", Kind::String, Role::ProductName, kAnyVersion, kNoLimit},
    {"product version", Kind::String, Role::ProductVersion, kAnyVersion, kNoLimit},
    {"field 7", Kind::Integer, Role::Skipped, kSeventhField, kNoLimit},
    {"field 8", Kind::Boolean, Role::Skipped, kEighthFields, kNoLimit},
    {"field 8", Kind::Boolean, Role::Skipped, kEighthFields, kNoLimit},
    {"field 9", Kind::Boolean, Role::Skipped, kAnyVersion, kNoLimit},
    {"field 10", Kind::String, Role::Skipped, kAnyVersion, kNoLimit},
    {"field 11", Kind::String, Role::Skipped, kSilentFlagFields, kNoLimit},
    {"silent flag", Kind::Boolean, Role::Silent, kSilentFlagFields, kNoLimit},
};
inline constexpr size_t kFieldsBeforeTexts = 6;

constexpr bool Present(const Field& field, int32_t version) {
  return version >= field.fromVersion && version < field.belowVersion;
}

// The values of the head the program uses, as read (not yet cut).
struct Head {
  int32_t version = 0;
  std::string languageFile;
  std::string productName;
  std::string productVersion;
  bool silent = false;
};

// Field 1: the format version when the first value is an integer, else 0
// with the reader put back onto the tag it did not accept.
int32_t ReadFormatVersion(TReader& reader);

// Which part of the head to read: fields 2 to 6, or 7 to 12.
enum class Part { BeforeTexts, AfterTexts };

// Reads one field's value into head (or passes over it). Raises the
// reader's failures.
void ReadField(TReader& reader, const Field& field, Head& head);

// Reads one part of the head for head.version into head, in file order.
// onField hears of each field before it is read (a checker names the field
// where reading stopped).
template <typename OnField>
void ReadHead(TReader& reader, Part part, Head& head, OnField&& onField) {
  const size_t first = part == Part::BeforeTexts ? 0 : kFieldsBeforeTexts;
  const size_t last = part == Part::BeforeTexts ? kFieldsBeforeTexts : std::size(kHead);
  for (size_t i = first; i < last; ++i) {
    if (!Present(kHead[i], head.version)) continue;
    onField(kHead[i]);
    ReadField(reader, kHead[i], head);
  }
}

inline void ReadHead(TReader& reader, Part part, Head& head) {
  ReadHead(reader, part, head, [](const Field&) {});
}

// The first kMaxProductText characters of a product name or version.
std::string ProductText(std::string text);

}  // namespace setupinfo
