// The language text table: the texts of one language file, each under its
// number, handed out with "\n" and "\t" expanded.
//
// A language file is a value stream: the signature, a string and a symbol
// (both read and dropped), an integer n, then n + 1 lists of pairs
// (number, text). See LoadLanguageFile.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFileStream;
class TReader;

// One text of the table, under its number.
struct cFremdsprache {
  int32_t FNumber;
  std::string FText;
};

// The texts in the order they were added, held by value. Going, the table
// releases its entries, then the reader and after it the file (the reader
// gives its unread bytes back to the file first).
class cSprachContainer {
public:
  cSprachContainer();
  ~cSprachContainer();

  // Appends a text under number; earlier entries with the same number stay
  // and keep winning lookups.
  void AddText(int32_t number, const std::string& text);
  int Count() const { return static_cast<int>(FEntries.size()); }
  const cFremdsprache& Entry(int index) const { return FEntries[static_cast<size_t>(index)]; }
  // Index of the first entry under number, or -1.
  int IndexOf(int32_t number) const;
  // Releases the previous reader and file, opens fileName for reading with
  // nobody else allowed to open it, and gives a reader with a 4096-byte chunk
  // standing at offset 0. Raises EFOpenError; the table then has no file.
  TReader& OpenFile(const std::string& fileName);
  // The first text added under number, or the empty string.
  std::string FindText(int32_t number) const;
  // FindText with every "\n" turned into CR LF, then every "\t" into TAB.
  std::string GetText(int32_t number) const;

  // Where reading the file stands: the reader's offset and the file's size
  // (both 0 without a file), for a report of where loading stopped.
  bool HasFile() const { return FFile != nullptr; }
  int64_t ReadOffset() const;
  int64_t FileSize() const;

private:
  void ReleaseFile();

  // Declared in this order so that they go in the reverse one.
  std::unique_ptr<TFileStream> FFile;
  std::unique_ptr<TReader> FReader;
  std::vector<cFremdsprache> FEntries;
};

// Hears each text's number and the file offset of its value before the value
// is read: for a checker that looks at a text's stored bytes.
class TTextListener {
public:
  virtual void TextAt(int32_t number, int32_t offset) = 0;

protected:
  ~TTextListener() = default;
};

// Opens fileName into the table and reads its texts: signature, the head's
// string and symbol, the list count, then every pair of every list. Failures
// of the file and the reader pass to the caller; entries read before a
// failure stay. The file stays open until the table goes. listener, when
// given, hears every text as it is come to.
void LoadLanguageFile(cSprachContainer& table, const std::string& fileName, TTextListener* listener = nullptr);

// The escape expansion of GetText, on its own.
std::string ExpandEscapes(const std::string& text);
