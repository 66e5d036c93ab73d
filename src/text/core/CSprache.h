// The language text table: the texts of one language file, each under its
// number, handed out with "\n" and "\t" expanded.
//
// A language file is a value stream: the signature, a string and a symbol
// (both read and dropped), an integer n, then n + 1 lists of pairs
// (number, text). See LoadLanguageFile.
#pragma once

#include "text/core/StringList.h"

#include <cstdint>
#include <memory>
#include <string>

class TFileStream;
class TReader;

// One text of the table.
class cFremdsprache : public TObject {
public:
  std::string FText;
};

class cSprachContainer : public TStringList {
public:
  cSprachContainer();
  // Releases the entries, empties the list, then releases the reader and
  // after it the file (the reader gives its unread bytes back to the file
  // first).
  ~cSprachContainer() override;

  // Appends a text under the decimal text of number; earlier entries with
  // the same number stay and keep winning lookups.
  void AddText(int32_t number, const std::string& text);
  // Releases the previous reader and file, opens fileName for reading with
  // nobody else allowed to open it, and gives a reader with a 4096-byte chunk
  // standing at offset 0. Raises EFOpenError; the table then has no file.
  TReader& OpenFile(const std::string& fileName);
  // The first text added under number, or the empty string.
  std::string FindText(int32_t number) const;
  // FindText with every "\n" turned into CR LF, then every "\t" into TAB.
  std::string GetText(int32_t number) const;

  std::unique_ptr<TReader> FReader;
  std::unique_ptr<TFileStream> FFile;

private:
  void ReleaseFile();
};

// Opens fileName into the table and reads its texts: signature, the head's
// string and symbol, the list count, then every pair of every list. Failures
// of the file and the reader pass to the caller; entries read before a
// failure stay. The file stays open until the table goes.
void LoadLanguageFile(cSprachContainer& table, const std::string& fileName);

// The escape expansion of GetText, on its own.
std::string ExpandEscapes(const std::string& text);
