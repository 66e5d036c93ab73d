// The description parser (text to bytes).
#include "vswriter/Description.h"

#include "ToolError.h"
#include "vswriter/ValueWriter.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// A piece of quoted text: a character (UTF-8 decoded later) or a raw value.
struct Word {
  std::string text;   // the word, or the quoted text with raw values marked
  bool quoted = false;
};

// Inside quoted text raw values are kept apart from characters: the text is
// split into runs, each either UTF-8 characters or raw values.
struct Run {
  bool raw;
  std::string utf8;            // when !raw
  std::vector<uint32_t> units;  // when raw: bytes (\x) or code units (\u)
  bool unit16 = false;         // a \u value
};

struct Line {
  std::vector<Word> words;
  std::vector<std::vector<Run>> runs;  // per word; filled for quoted words
};

[[noreturn]] void Failure(const std::string& why) { throw ToolError{why}; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AddRaw(std::vector<Run>& runs, uint32_t value, bool unit16) {
  Run run{true, std::string(), {value}, unit16};
  runs.push_back(run);
}

void AddChar(std::vector<Run>& runs, char c) {
  if (runs.empty() || runs.back().raw) runs.push_back(Run{false, std::string(), {}, false});
  runs.back().utf8 += c;
}

// Splits a line into words; quoted words become runs.
Line Split(const std::string& line) {
  Line result;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') { ++i; continue; }
    if (c == '#') break;
    Word word;
    std::vector<Run> runs;
    if (c == '"') {
      word.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i];
        if (d == '"') { closed = true; ++i; break; }
        if (d == '\\' && i + 1 < line.size()) {
          char e = line[i + 1];
          if (e == '"' || e == '\\') { AddChar(runs, e); i += 2; continue; }
          if (e == 'x' && i + 3 < line.size() && HexDigit(line[i + 2]) >= 0 && HexDigit(line[i + 3]) >= 0) {
            AddRaw(runs, static_cast<uint32_t>(HexDigit(line[i + 2]) * 16 + HexDigit(line[i + 3])), false);
            i += 4;
            continue;
          }
          if (e == 'u' && i + 5 < line.size()) {
            uint32_t value = 0;
            bool ok = true;
            for (int k = 2; k < 6; ++k) {
              int h = HexDigit(line[i + k]);
              if (h < 0) ok = false;
              value = value * 16 + static_cast<uint32_t>(h < 0 ? 0 : h);
            }
            if (ok) { AddRaw(runs, value, true); i += 6; continue; }
          }
        }
        AddChar(runs, d);
        ++i;
      }
      if (!closed) Failure("quoted text without its closing quote");
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
        word.text += line[i++];
    }
    result.words.push_back(word);
    result.runs.push_back(runs);
  }
  return result;
}

int64_t Number(const std::string& word, int64_t low, int64_t high) {
  if (word.empty()) Failure("a number is missing");
  errno = 0;
  char* end = nullptr;
  bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  long long value = std::strtoll(word.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || value < low || value > high)
    Failure("\"" + word + "\" is not a number from " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

double Real(const std::string& word) {
  char* end = nullptr;
  double value = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0') Failure("\"" + word + "\" is not a number");
  return value;
}

// "12.5" as 125000; at most four places.
int64_t Scaled(const std::string& word) {
  size_t dot = word.find('.');
  std::string whole = word.substr(0, dot);
  std::string places = dot == std::string::npos ? "" : word.substr(dot + 1);
  if (places.size() > 4 || places.find_first_not_of("0123456789") != std::string::npos)
    Failure("\"" + word + "\" is not a decimal with up to four places");
  bool negative = !whole.empty() && whole[0] == '-';
  uint64_t units = static_cast<uint64_t>(Number(negative ? whole.substr(1) : whole, 0, INT64_MAX / 10000));
  places.append(4 - places.size(), '0');
  uint64_t magnitude = units * 10000 + static_cast<uint64_t>(Number(places, 0, 9999));
  const uint64_t limit = negative ? uint64_t(1) << 63 : static_cast<uint64_t>(INT64_MAX);
  if (magnitude > limit) Failure("\"" + word + "\" is out of range for fixed64");
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

std::string HexBytes(const std::string& word) {
  if (word.size() % 2 != 0) Failure("hexadecimal bytes need an even number of digits");
  std::string bytes;
  for (size_t i = 0; i < word.size(); i += 2) {
    int high = HexDigit(word[i]), low = HexDigit(word[i + 1]);
    if (high < 0 || low < 0) Failure("\"" + word + "\" is not hexadecimal");
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

// The bytes of a quoted word: \x runs as they are, the text between them as
// code page 1252 or as UTF-8.
std::string Bytes(const Line& line, size_t index, bool cp1252) {
  std::string bytes;
  for (const Run& run : line.runs[index]) {
    if (run.raw) {
      if (run.unit16) Failure("\\u is for wstr text only");
      bytes += static_cast<char>(run.units[0]);
    } else if (!cp1252) {
      bytes += run.utf8;
    } else {
      std::string part;
      if (!Cp1252FromUtf8Text(run.utf8, part)) Failure("text not in code page 1252");
      bytes += part;
    }
  }
  return bytes;
}

// The text of a word as code page 1252 bytes.
std::string Ansi(const Line& line, size_t index) {
  const Word& word = line.words[index];
  if (!word.quoted) {
    std::string bytes;
    if (!Cp1252FromUtf8Text(word.text, bytes)) Failure("text not in code page 1252");
    return bytes;
  }
  return Bytes(line, index, true);
}

std::string Utf8(const Line& line, size_t index) { return Bytes(line, index, false); }

std::u16string Wide(const Line& line, size_t index) {
  std::u16string text;
  for (const Run& run : line.runs[index]) {
    if (run.raw) {
      text += static_cast<char16_t>(run.units[0]);
    } else {
      std::u16string part;
      if (!Utf16FromUtf8Text(run.utf8, part)) Failure("text is not valid UTF-8");
      text += part;
    }
  }
  return text;
}

void Expect(const Line& line, size_t count) {
  if (line.words.size() != count)
    Failure("\"" + line.words[0].text + "\" takes " + std::to_string(count - 1) +
            (count == 2 ? " argument" : " arguments"));
}

void ExpectQuoted(const Line& line) {
  Expect(line, 2);
  if (!line.words[1].quoted) Failure("the text must be in quotes");
}

void Write(TValueWriter& w, const Line& line, size_t first);

void WriteInt(TValueWriter& w, const std::string& kind, const std::string& value) {
  if (kind == "int") w.Int(static_cast<int32_t>(Number(value, INT32_MIN, INT32_MAX)));
  else if (kind == "int8") w.Int8(static_cast<int8_t>(Number(value, INT8_MIN, INT8_MAX)));
  else if (kind == "int16") w.Int16(static_cast<int16_t>(Number(value, INT16_MIN, INT16_MAX)));
  else if (kind == "int32") w.Int32(static_cast<int32_t>(Number(value, INT32_MIN, INT32_MAX)));
  else Failure("\"" + kind + "\" is not an integer kind");
}

// Writes the value the words from `first` on describe.
void Write(TValueWriter& w, const Line& whole, size_t first) {
  Line line;
  line.words.assign(whole.words.begin() + first, whole.words.end());
  line.runs.assign(whole.runs.begin() + first, whole.runs.end());
  if (line.words.empty()) Failure("a value is missing");
  const std::string& k = line.words[0].text;
  if (line.words[0].quoted) Failure("a line starts with the kind of its value");
  if (k == "signature") { Expect(line, 1); w.Signature(); }
  else if (k == "int" || k == "int8" || k == "int16" || k == "int32") { Expect(line, 2); WriteInt(w, k, line.words[1].text); }
  else if (k == "int64") { Expect(line, 2); w.Int64(Number(line.words[1].text, INT64_MIN, INT64_MAX)); }
  else if (k == "str") { ExpectQuoted(line); w.Str(Ansi(line, 1)); }
  else if (k == "shortstr") {
    ExpectQuoted(line);
    std::string bytes = Ansi(line, 1);
    if (bytes.size() > 255) Failure("a short string holds at most 255 bytes");
    w.ShortStr(bytes);
  }
  else if (k == "longstr") { ExpectQuoted(line); w.LongStr(Ansi(line, 1)); }
  else if (k == "wstr") { ExpectQuoted(line); w.WideStr(Wide(line, 1)); }
  else if (k == "utf8") { ExpectQuoted(line); w.Utf8Str(Utf8(line, 1)); }
  else if (k == "true" || k == "false") { Expect(line, 1); w.Bool(k == "true"); }
  else if (k == "bool") {
    Expect(line, 2);
    const std::string& v = line.words[1].text;
    if (v != "true" && v != "false") Failure("bool takes true or false");
    w.Bool(v == "true");
  }
  else if (k == "sym") {
    Expect(line, 2);
    std::string name = Ansi(line, 1);
    if (name.size() > 255) Failure("a symbol holds at most 255 bytes");
    w.Symbol(name);
  }
  else if (k == "nil") { Expect(line, 1); w.Nil(); }
  else if (k == "list") { Expect(line, 1); w.BeginList(); }
  else if (k == "end") { Expect(line, 1); w.End(); }
  else if ((k == "float32" || k == "date64") && line.words.size() == 2 &&
           line.words[1].text.compare(0, 5, "bits:") == 0) {
    std::string bytes = HexBytes(line.words[1].text.substr(5));
    if (bytes.size() != (k == "float32" ? 4u : 8u)) Failure("bits: takes the value's bytes in hexadecimal");
    w.Tag(k == "float32" ? tgFloat32 : tgDate64);
    w.Raw(bytes);
  }
  else if (k == "float32") { Expect(line, 2); w.Float32(static_cast<float>(Real(line.words[1].text))); }
  else if (k == "date64") { Expect(line, 2); w.Date64(Real(line.words[1].text)); }
  else if (k == "fixed64") { Expect(line, 2); w.Fixed64(Scaled(line.words[1].text)); }
  else if (k == "float80") {
    Expect(line, 2);
    std::string bytes = HexBytes(line.words[1].text);
    if (bytes.size() != 10) Failure("float80 takes 20 hexadecimal digits");
    uint8_t ten[10];
    std::memcpy(ten, bytes.data(), 10);
    w.Float80(ten);
  }
  else if (k == "bytes") {
    if (line.words.size() > 2) Failure("bytes takes one hexadecimal word");
    w.Bytes(line.words.size() == 2 ? HexBytes(line.words[1].text) : std::string());
  }
  else if (k == "set") {
    std::vector<std::string> names;
    for (size_t i = 1; i < line.words.size(); ++i) {
      names.push_back(Ansi(line, i));
      if (names.back().empty() || names.back().size() > 255)
        Failure("set names hold 1 to 255 bytes");
    }
    w.Set(names);
  }
  else if (k == "collection") { Expect(line, 1); w.BeginCollection(); }
  else if (k == "item") {
    size_t i = 1;
    if (i < line.words.size() && line.words[i].text != "start") {
      if (i + 1 >= line.words.size()) Failure("item takes an integer kind and a value");
      WriteInt(w, line.words[i].text, line.words[i + 1].text);
      i += 2;
    }
    uint8_t start = tgList;
    if (i < line.words.size()) {
      if (line.words[i].text != "start" || i + 2 != line.words.size())
        Failure("item takes [INTKIND N] [start N]");
      start = static_cast<uint8_t>(Number(line.words[i + 1].text, 0, 255));
    }
    w.Tag(start);
  }
  else if (k == "prop") {
    Expect(line, 2);
    std::string name = Ansi(line, 1);
    if (name.empty() || name.size() > 255) Failure("property names hold 1 to 255 bytes");
    w.Property(name);
  }
  else if (k == "high") {
    size_t before = w.Size();
    Write(w, line, 1);
    if (w.Size() == before) Failure("high needs a value");
    std::string data = w.Data();
    // The tag is the first byte written for the value.
    TValueWriter rebuilt;
    rebuilt.Raw(data.substr(0, before));
    rebuilt.Tag(static_cast<uint8_t>(data[before] | 0x80));
    rebuilt.Raw(data.substr(before + 1));
    w = rebuilt;
  }
  else if (k == "tag") { Expect(line, 2); w.Tag(static_cast<uint8_t>(Number(line.words[1].text, 0, 255))); }
  else if (k == "raw") {
    for (size_t i = 1; i < line.words.size(); ++i) w.Raw(HexBytes(line.words[i].text));
  }
  else Failure("unknown kind \"" + k + "\"");
}

}  // namespace

bool BuildValueStream(const std::string& description, std::string& bytes, std::string& error) {
  TValueWriter w;
  size_t start = 0;
  int number = 0;
  while (start <= description.size()) {
    size_t stop = description.find('\n', start);
    if (stop == std::string::npos) stop = description.size();
    ++number;
    try {
      Line line = Split(description.substr(start, stop - start));
      if (!line.words.empty()) Write(w, line, 0);
    } catch (const ToolError& e) {
      error = "line " + std::to_string(number) + ": " + e.text;
      return false;
    } catch (const std::exception& e) {
      error = "line " + std::to_string(number) + ": " + e.what();
      return false;
    }
    start = stop + 1;
  }
  bytes = w.Data();
  return true;
}
