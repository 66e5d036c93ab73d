// The record a built medium keeps of what setupmedium wrote into it: every
// file with its size and CRC-32, and every folder. A build replaces only a
// folder whose every file is on the record and unchanged, so nothing an
// author put there or edited is ever lost; and a build's temporary folder
// carries a record of what it will write from its start, so the debris of
// a killed build is recognised as such.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace setupmedium {

inline constexpr char kRecordFile[] = ".setupmedium-record";

// The record of a build just begun in folder by this process: the names it
// will write, not written yet (folders end in '/').
void WritePlannedRecord(const std::filesystem::path& folder, const std::vector<std::string>& names);
// The record of everything folder holds now.
void WriteRecord(const std::filesystem::path& folder);

struct RecordState {
  bool recorded = false;      // the folder has a record
  long building = 0;          // the process id of the build still writing it, or 0
  std::vector<std::string> strangers;  // what is not on the record or changed, as "name (why)"
};
// What folder holds against its record; without a record, everything in it
// is a stranger.
RecordState CompareWithRecord(const std::filesystem::path& folder);

}  // namespace setupmedium
