// Zip archives built in memory for the tests' media: stored entries,
// protected with the traditional zip encryption when a password is given.
// A thin front of archive::Writer (libzip), the writer of setupmedium.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TZipWriter {
public:
  // An empty password writes the entries unprotected.
  explicit TZipWriter(std::string password = std::string()) : password_(std::move(password)) {}

  void Add(const std::string& name, const std::string& bytes) { entries_.emplace_back(name, bytes); }

  // The whole archive.
  std::string Archive() const;

private:
  std::string password_;
  std::vector<std::pair<std::string, std::string>> entries_;
};
