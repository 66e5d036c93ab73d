#include "Findings.h"

#include <cstdio>

namespace setupmedium {
namespace {

const char* Name(Severity severity) {
  switch (severity) {
    case Severity::Ok: return "ok";
    case Severity::Warning: return "warning";
    case Severity::Error: return "error";
  }
  return "";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

bool Findings::Has(Severity severity) const {
  for (const Finding& f : list_)
    if (f.severity == severity) return true;
  return false;
}

int Findings::ExitCode() const { return Has(Severity::Error) ? 2 : Has(Severity::Warning) ? 1 : 0; }

std::string Findings::Text() const {
  std::string out;
  int errors = 0, warnings = 0;
  for (const Finding& f : list_) {
    std::string head = Name(f.severity);
    head.resize(9, ' ');
    out += head + f.topic + ": " + f.text + "\n";
    if (!f.advice.empty()) out += "         -> " + f.advice + "\n";
    errors += f.severity == Severity::Error;
    warnings += f.severity == Severity::Warning;
  }
  out += std::to_string(errors) + " error(s), " + std::to_string(warnings) + " warning(s)\n";
  return out;
}

std::string Findings::Json(const std::string& medium) const {
  std::string out = "{\"schema\": " + std::to_string(kJsonSchema) + ", \"medium\": " + JsonString(medium) +
                    ", \"status\": " + std::to_string(ExitCode()) + ", \"findings\": [";
  for (size_t i = 0; i < list_.size(); ++i) {
    const Finding& f = list_[i];
    out += std::string(i ? ",\n  " : "\n  ") + "{\"severity\": \"" + Name(f.severity) +
           "\", \"topic\": " + JsonString(f.topic) + ", \"text\": " + JsonString(f.text) +
           ", \"advice\": " + JsonString(f.advice) + "}";
  }
  out += "\n], \"entries\": [";
  for (size_t i = 0; i < entries_.size(); ++i) {
    const ArchiveRecord& e = entries_[i];
    char crc[12];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(e.crc));
    out += std::string(i ? ",\n  " : "\n  ") + "{\"name\": " + JsonString(e.name) +
           ", \"size\": " + std::to_string(e.size) + ", \"packed_size\": " + std::to_string(e.packedSize) +
           ", \"method\": " + JsonString(e.method) + ", \"encryption\": " + JsonString(e.encryption) +
           ", \"crc32\": \"" + crc + "\"}";
  }
  return out + "\n]}\n";
}

}  // namespace setupmedium
