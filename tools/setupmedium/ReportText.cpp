#include "ReportText.h"

#include "Archive.h"
#include "runtime/core/Messages.h"
#include "vswriter/ValueWriter.h"

#include <cstdio>
#include <cstring>

namespace setupmedium {
namespace {

bool StartsWith(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

// The head of a formatted text: what comes before its first "%".
std::string Head(const char* format) { return std::string(format, std::strcspn(format, "%")); }

const char* Reason(const std::string& text) {
  if (text == msg::ReadError) return "the data end too early";
  if (text == msg::InvalidStreamFormat) return "not a value stream: the signature is wrong";
  if (text == msg::InvalidPropertyValue) return "a value of another kind than expected there, or a negative length";
  if (text == msg::InvalidBitmap) return "not a bitmap that can be loaded";
  if (text == msg::InvalidMetafile) return "not a metafile that can be loaded";
  if (text == msg::PictureKindUnsupported) return "a picture format that is not supported";
  if (text == msg::RangeError) return "a value out of range";
  if (text == msg::OutOfMemory) return "out of memory";
  if (StartsWith(text, Head(msg::JPEGError).c_str())) return "the JPEG decoder stopped on the data";
  if (StartsWith(text, Head(msg::UnknownExtension).c_str())) return "an unknown picture file extension";
  if (StartsWith(text, Head(msg::FOpenError).c_str())) return "the file cannot be opened";
  if (StartsWith(text, Head(msg::OSError).c_str())) return "a system error";
  return nullptr;
}

}  // namespace

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    char escape[8];
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F || !Utf8FromCp1252Byte(c, out)) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    }
  }
  return out;
}

std::string Quoted(const std::string& cp1252) {
  std::string out = "\"";
  for (char c : Printable(cp1252)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string ReaderFailure(const std::string& cp1252) {
  const char* reason = Reason(cp1252);
  return Quoted(cp1252) + (reason ? std::string(" (") + reason + ")" : std::string());
}

std::string FailureBox() {
  return std::string("Setup.exe ends with the box \"") + msg::AppErrorCaption + "\" (exit code 1)";
}

std::string Size(uint64_t bytes) { return std::to_string(bytes) + " bytes"; }

std::string Shown(const archive::Entry& entry) {
  std::string out;
  for (unsigned char c : entry.componentName) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", c);
    out += c < 0x20 || c == 0x7F ? std::string(escape) : std::string(1, static_cast<char>(c));
  }
  return out;
}

}  // namespace setupmedium
