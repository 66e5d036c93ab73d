#include "MediumRecord.h"

#include "BuildProcess.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

constexpr char kHead[] = "setupmedium record 1";
constexpr char kUnknown[] = "-";

struct Recorded {
  bool folder = false;
  std::string size = kUnknown;  // decimal, or "-" while it is being written
  std::string crc = kUnknown;   // 8 hex digits
};

std::string Crc(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  uLong crc = crc32(0, nullptr, 0);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(in.gcount()));
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", crc);
  return in.bad() ? std::string("unreadable") : std::string(text);
}

void Write(const fs::path& folder, const std::string& head, const std::map<std::string, Recorded>& entries) {
  std::ofstream out(folder / kRecordFile, std::ios::binary);
  out << head << "\n";
  for (const auto& [name, entry] : entries)
    out << (entry.folder ? "folder" : "file") << " " << entry.size << " " << entry.crc << " " << name << "\n";
  if (!out.flush()) throw std::runtime_error("cannot write " + (folder / kRecordFile).u8string());
}

// The record's head and entries; false when there is no readable record.
bool Read(const fs::path& folder, std::string& head, std::map<std::string, Recorded>& entries) {
  std::ifstream in(folder / kRecordFile, std::ios::binary);
  if (!std::getline(in, head) || head.compare(0, sizeof kHead - 1, kHead) != 0) return false;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string kind;
    Recorded entry;
    if (!(fields >> kind >> entry.size >> entry.crc) || fields.get() != ' ') return false;
    std::string name;
    std::getline(fields, name);
    entry.folder = kind == "folder";
    entries[name] = entry;
  }
  return true;
}

std::string Relative(const fs::path& path, const fs::path& folder) {
  return path.lexically_relative(folder).generic_u8string();
}

}  // namespace

void WritePlannedRecord(const fs::path& folder, const std::vector<std::string>& names) {
  std::map<std::string, Recorded> entries;
  for (const std::string& name : names) {
    const bool folder = !name.empty() && name.back() == '/';
    entries[folder ? name.substr(0, name.size() - 1) : name] = Recorded{folder};
  }
  Write(folder, std::string(kHead) + " building " + std::to_string(CurrentProcessId()), entries);
}

void WriteRecord(const fs::path& folder) {
  std::map<std::string, Recorded> entries;
  for (fs::recursive_directory_iterator it(folder), end; it != end; ++it) {
    const std::string name = Relative(it->path(), folder);
    if (name == kRecordFile) continue;
    Recorded entry;
    entry.folder = it->is_directory();
    if (!entry.folder) entry.size = std::to_string(it->file_size()), entry.crc = Crc(it->path());
    entries[name] = entry;
  }
  Write(folder, kHead, entries);
}

RecordState CompareWithRecord(const fs::path& folder) {
  RecordState state;
  std::string head;
  std::map<std::string, Recorded> entries;
  state.recorded = Read(folder, head, entries);
  if (state.recorded && head.size() > sizeof kHead) {
    const long id = std::atol(head.c_str() + head.rfind(' ') + 1);
    if (ProcessIsRunning(id)) state.building = id;
  }
  // A file being written may still carry the temporary name its writer
  // gives it: the recorded name and a dot and six characters (libzip's).
  const auto planned = [&](const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 7) return false;
    const auto found = entries.find(name.substr(0, dot));
    return found != entries.end() && found->second.size == kUnknown;
  };
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = Relative(it->path(), folder);
    if (name == kRecordFile) continue;
    const auto found = entries.find(name);
    const bool link = it->is_symlink(error);
    const bool directory = !link && it->is_directory(error);
    std::string why;
    if (link) {
      why = "a link";
    } else if (found == entries.end() || found->second.folder != directory) {
      if (!planned(name)) why = state.recorded ? "not written by setupmedium" : "";
    } else if (!directory && found->second.size != kUnknown &&
               (std::to_string(it->file_size(error)) != found->second.size || Crc(it->path()) != found->second.crc)) {
      why = "changed since setupmedium wrote it";
    }
    if (!why.empty() || (!state.recorded && !planned(name))) {
      state.strangers.push_back(name + (directory ? "/" : "") + (why.empty() ? "" : " (" + why + ")"));
      if (directory) it.disable_recursion_pending();
    }
  }
  if (error) state.strangers.push_back(folder.u8string() + " (" + error.message() + ")");
  return state;
}

}  // namespace setupmedium
