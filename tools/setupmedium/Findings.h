// What a check of a medium found: every finding with its severity, the part
// of the medium it concerns, what was seen and what to do. Printed for
// people (UTF-8) or as JSON for scripts.
#pragma once

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

class Findings {
public:
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

  const std::vector<Finding>& List() const { return list_; }
  bool Has(Severity severity) const;
  // 0 nothing to mend, 1 warnings, 2 errors.
  int ExitCode() const;

  std::string Text() const;
  std::string Json(const std::string& medium) const;

private:
  std::vector<Finding> list_;
};

}  // namespace setupmedium
