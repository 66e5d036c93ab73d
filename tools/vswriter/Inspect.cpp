// The description printer (bytes to text): decodes a value stream through a
// bounded cursor, checking every length against what remains, and says
// where and why damaged data stops being readable.
#include "vswriter/Description.h"

#include "ToolError.h"
#include "streams/core/ValueTags.h"
#include "vswriter/ValueWriter.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Decoding stops: where and why.
[[noreturn]] void Damage(size_t offset, const std::string& why) {
  throw ToolError{"error at offset " + std::to_string(offset) + ": " + why};
}

class Inspector {
public:
  Inspector(const std::string& bytes, bool withOffsets)
      : data_(reinterpret_cast<const uint8_t*>(bytes.data())), size_(bytes.size()),
        withOffsets_(withOffsets) {}

  bool Run(std::string& text);

private:
  enum Level : uint8_t { kList, kCollection, kProperties };
  struct Open {
    Level level;
    size_t offset;
  };

  size_t Left() const { return size_ - pos_; }
  // Takes count bytes of the value that starts at `start`, or stops.
  const uint8_t* Take(size_t count, size_t start, const char* what) {
    if (Left() < count)
      Damage(pos_, std::string("the data ends inside ") + what + " that starts at offset " +
                       std::to_string(start) + " (" + std::to_string(count) + " bytes needed, " +
                       std::to_string(Left()) + " left)");
    const uint8_t* p = data_ + pos_;
    pos_ += count;
    return p;
  }
  template <typename T> T Number(size_t start, const char* what) {
    T value;
    std::memcpy(&value, Take(sizeof(T), start, what), sizeof(T));
    return value;
  }

  void Emit(size_t offset, const std::string& line) {
    if (withOffsets_) {
      char number[24];
      std::snprintf(number, sizeof number, "%8zu  ", offset);
      out_ += number;
    }
    out_.append(2 * open_.size(), ' ');
    out_ += line;
    out_ += '\n';
  }

  // One value; closesList when a plain end byte closes the open list.
  void Value(bool closesList);
  void CollectionStep();
  void PropertiesStep();
  // At the end tag of the open level: takes it, closes the level and shows
  // "end".
  bool AtEnd() {
    if (data_[pos_] != tgEnd) return false;
    open_.pop_back();
    Emit(pos_++, "end");
    return true;
  }
  std::string Int(uint8_t kind, size_t start);
  static void CheckLength(size_t start, int64_t length, const char* what);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool withOffsets_;
  std::vector<Open> open_;
  std::string out_;
};

// ---- Text of values ------------------------------------------------------------

void Escape(uint32_t value, const char* format, std::string& out) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, format, value);
  out += buffer;
}

std::string QuotedAnsi(const uint8_t* p, size_t n) {
  std::string out = "\"";
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = p[i];
    if (b == '"' || b == '\\') { out += '\\'; out += static_cast<char>(b); continue; }
    if (b < 0x20 || b == 0x7F || !Utf8FromCp1252Byte(b, out)) Escape(b, "\\x%02X", out);
  }
  return out + "\"";
}

// UTF-8 kept where it is well-formed, other bytes as \xHH.
std::string QuotedUtf8(const uint8_t* p, size_t n) {
  std::string out = "\"";
  for (size_t i = 0; i < n;) {
    uint8_t b = p[i];
    if (b == '"' || b == '\\') { out += '\\'; out += static_cast<char>(b); ++i; continue; }
    if (b < 0x20 || b == 0x7F) { Escape(b, "\\x%02X", out); ++i; continue; }
    if (b < 0x80) { out += static_cast<char>(b); ++i; continue; }
    size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    std::string one(reinterpret_cast<const char*>(p + i), i + length <= n ? length : 1);
    std::u16string check;
    if (length > 1 && i + length <= n && Utf16FromUtf8Text(one, check)) {
      out += one;
      i += length;
    } else {
      Escape(b, "\\x%02X", out);
      ++i;
    }
  }
  return out + "\"";
}

std::string QuotedWide(const uint8_t* p, size_t units) {
  std::string out = "\"";
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      uint32_t v = p[2 * i + 2] | (p[2 * i + 3] << 8);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), out);
        ++i;
        continue;
      }
    }
    if (u == '"' || u == '\\') { out += '\\'; out += static_cast<char>(u); }
    else if (u < 0x20 || u == 0x7F) Escape(u, "\\x%02X", out);
    else if (u >= 0xD800 && u <= 0xDFFF) Escape(u, "\\u%04X", out);
    else AppendUtf8(u, out);
  }
  return out + "\"";
}

std::string Hex(const uint8_t* p, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) Escape(p[i], "%02X", out);
  return out;
}

// A number in decimal when that reads back to the same bits (NaN payloads
// and the like do not), otherwise "bits:" and the bytes in file order.
template <typename T>
std::string Real(const uint8_t* p) {
  T value;
  std::memcpy(&value, p, sizeof(T));
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*g", sizeof(T) == 4 ? 9 : 17, static_cast<double>(value));
  T back = static_cast<T>(std::strtod(buffer, nullptr));
  if (std::memcmp(&back, &value, sizeof(T)) == 0) return buffer;
  return "bits:" + Hex(p, sizeof(T));
}

// ---- Decoding --------------------------------------------------------------------

std::string Inspector::Int(uint8_t kind, size_t start) {
  char buffer[32];
  switch (kind) {
    case tgInt8: std::snprintf(buffer, sizeof buffer, "int8 %d", Number<int8_t>(start, "the int8 value")); break;
    case tgInt16: std::snprintf(buffer, sizeof buffer, "int16 %d", Number<int16_t>(start, "the int16 value")); break;
    default: std::snprintf(buffer, sizeof buffer, "int32 %" PRId32, Number<int32_t>(start, "the int32 value")); break;
  }
  return buffer;
}

void Inspector::CheckLength(size_t start, int64_t length, const char* what) {
  if (length < 0)
    Damage(start, std::string(what) + " has the negative length " + std::to_string(length) +
                      " (the program reads it as an invalid value)");
}

void Inspector::Value(bool closesList) {
  const size_t start = pos_;
  const uint8_t tag = *Take(1, start, "a value");
  const uint8_t kind = tag & 0x7F;
  std::string line = (tag & 0x80) ? "high " : "";
  char buffer[64];
  switch (kind) {
    case tgEnd:
      if (closesList && tag == tgEnd) open_.pop_back();
      line += "end";
      break;
    case tgList:
      Emit(start, line + "list");
      open_.push_back(Open{kList, start});
      return;
    case tgCollection:
      Emit(start, line + "collection");
      open_.push_back(Open{kCollection, start});
      return;
    case tgInt8: case tgInt16: case tgInt32: line += Int(kind, start); break;
    case tgInt64:
      std::snprintf(buffer, sizeof buffer, "int64 %" PRId64, Number<int64_t>(start, "the int64 value"));
      line += buffer;
      break;
    case tgFloat80: line += "float80 " + Hex(Take(10, start, "the float80 value"), 10); break;
    case tgFloat32: line += "float32 " + Real<float>(Take(4, start, "the float32 value")); break;
    case tgDate64: line += "date64 " + Real<double>(Take(8, start, "the date64 value")); break;
    case tgFixed64: {
      int64_t v = Number<int64_t>(start, "the fixed64 value");
      uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
      std::snprintf(buffer, sizeof buffer, "fixed64 %s%" PRIu64 ".%04" PRIu64, v < 0 ? "-" : "",
                    magnitude / 10000, magnitude % 10000);
      line += buffer;
      break;
    }
    case tgShortStr: case tgSymbol: {
      const char* what = kind == tgShortStr ? "the shortstr value" : "the sym value";
      uint8_t n = *Take(1, start, what);
      line += (kind == tgShortStr ? "shortstr " : "sym ") + QuotedAnsi(Take(n, start, what), n);
      break;
    }
    case tgLongStr: case tgUtf8Str: case tgBytes: {
      const char* what = kind == tgLongStr ? "the longstr value" : kind == tgUtf8Str ? "the utf8 value" : "the bytes value";
      int32_t n = Number<int32_t>(start, what);
      if (n < 0 && kind == tgBytes) {
        // Passed over as empty by the program: shown byte for byte.
        Emit(start, "tag " + std::to_string(tag));
        int32_t length = n;
        Emit(start + 1, "raw " + Hex(reinterpret_cast<const uint8_t*>(&length), 4));
        return;
      }
      CheckLength(start, n, what);
      const uint8_t* p = Take(static_cast<size_t>(n), start, what);
      line += kind == tgLongStr ? "longstr " + QuotedAnsi(p, n)
            : kind == tgUtf8Str ? "utf8 " + QuotedUtf8(p, n)
                                : "bytes " + Hex(p, n);
      break;
    }
    case tgWideStr: {
      int32_t n = Number<int32_t>(start, "the wstr value");
      CheckLength(start, n, "the wstr value");
      line += "wstr " + QuotedWide(Take(2 * static_cast<size_t>(n), start, "the wstr value"), n);
      break;
    }
    case tgSet: {
      line += "set";
      for (;;) {
        uint8_t n = *Take(1, start, "the set value");
        if (n == 0) break;
        line += " " + QuotedAnsi(Take(n, start, "the set value"), n);
      }
      break;
    }
    case tgFalse: line += "false"; break;
    case tgTrue: line += "true"; break;
    case tgNil: line += "nil"; break;
    default:
      line = "tag " + std::to_string(tag);
      break;
  }
  if (tag >= 0x80 && kind > kLastValueTag) line = "tag " + std::to_string(tag);
  Emit(start, line);
}

void Inspector::CollectionStep() {
  const size_t start = pos_;
  if (AtEnd()) return;
  std::string line = "item";
  uint8_t kind = data_[pos_] & 0x7F;
  if (kind == tgInt8 || kind == tgInt16 || kind == tgInt32) {
    if (data_[pos_] & 0x80) line += " high";
    ++pos_;
    line += " " + Int(kind, start);
  }
  uint8_t marker = *Take(1, start, "the collection item");
  if (marker != tgList) line += " start " + std::to_string(marker);
  if (line.find(" high") != std::string::npos) {
    // Not expressible as an item line: show the item's bytes as they are.
    line = "raw " + Hex(data_ + start, pos_ - start);
  }
  Emit(start, line);
  open_.push_back(Open{kProperties, start});
}

void Inspector::PropertiesStep() {
  const size_t start = pos_;
  if (AtEnd()) return;
  uint8_t n = *Take(1, start, "the property name");
  const uint8_t* name = Take(n, start, "the property name");
  Emit(start, "prop " + QuotedAnsi(name, n));
  if (Left() == 0) Damage(pos_, "the data ends before the value of the property at offset " + std::to_string(start));
  Value(false);
}

bool Inspector::Run(std::string& text) {
  bool ok = true;
  try {
    if (size_ < 4) Damage(0, "the data ends inside the signature (" + std::to_string(size_) + " of 4 bytes)");
    if (std::memcmp(data_, "TPF0", 4) != 0)
      Damage(0, "the signature is " + Hex(data_, 4) + ", not TPF0 (54504630)");
    Emit(0, "signature");
    pos_ = 4;
    while (pos_ < size_) {
      if (open_.empty() || open_.back().level == kList) Value(!open_.empty());
      else if (open_.back().level == kCollection) CollectionStep();
      else PropertiesStep();
    }
    if (!open_.empty()) {
      static const char* const names[] = {"list", "collection", "collection item"};
      Damage(pos_, std::string("the data ends inside the ") + names[open_.back().level] +
                       " that starts at offset " + std::to_string(open_.back().offset));
    }
  } catch (const ToolError& damage) {
    out_ += damage.text + "\n";
    ok = false;
  }
  text = out_;
  return ok;
}

}  // namespace

bool DescribeValueStream(const std::string& bytes, bool withOffsets, std::string& text) {
  Inspector inspector(bytes, withOffsets);
  return inspector.Run(text);
}
