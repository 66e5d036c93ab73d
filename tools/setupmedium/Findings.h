// What a check of a medium found: every finding with its severity, the part
// of the medium it concerns, what was seen and what to do. Printed for
// people (UTF-8) or as JSON for scripts, with the archive's entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace setupmedium {

enum class Severity { Ok, Warning, Error };

struct Finding {
  Severity severity;
  std::string topic;   // "component", "archive", "Setup.inf", ...
  std::string text;    // what was seen
  std::string advice;  // what to do; empty for Ok
};

// An entry of the medium's archive as the JSON report lists it.
struct ArchiveRecord {
  std::string name;  // UTF-8
  uint64_t size = 0;
  uint64_t packedSize = 0;
  std::string method;      // "stored", "deflated"
  std::string encryption;  // "none", "traditional", "aes-128", "aes-256", "unknown"
  uint32_t crc = 0;
};

class Findings {
public:
  // The version of the JSON report's layout; raised when a field changes
  // its meaning or goes.
  static constexpr int kJsonSchema = 1;

  void Ok(const std::string& topic, const std::string& text) { Add(Severity::Ok, topic, text, ""); }
  void Warning(const std::string& topic, const std::string& text, const std::string& advice) {
    Add(Severity::Warning, topic, text, advice);
  }
  void Error(const std::string& topic, const std::string& text, const std::string& advice) {
    Add(Severity::Error, topic, text, advice);
  }
  void Add(Severity severity, const std::string& topic, const std::string& text, const std::string& advice) {
    list_.push_back({severity, topic, text, advice});
  }

  void Record(const ArchiveRecord& entry) { entries_.push_back(entry); }

  const std::vector<Finding>& List() const { return list_; }
  bool Has(Severity severity) const;
  // 0 nothing to mend, 1 warnings, 2 errors.
  int ExitCode() const;

  std::string Text() const;
  std::string Json(const std::string& medium) const;

private:
  std::vector<Finding> list_;
  std::vector<ArchiveRecord> entries_;
};

}  // namespace setupmedium
