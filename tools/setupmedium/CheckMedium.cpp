#include "CheckMedium.h"

#include "Archive.h"
#include "CheckSignatures.h"
#include "EntryPath.h"
#include "MediumFiles.h"
#include "ReaderFailures.h"
#include "app/core/MediumNames.h"
#include "app/core/MediumReading.h"
#include "app/core/SetupInfo.h"
#include "runtime/core/CodePage1252.h"
#include "runtime/core/Failures.h"
#include "streams/core/FileStream.h"
#include "streams/core/MemoryStream.h"
#include "streams/core/Reader.h"
#include "streams/core/ValueTags.h"
#include "text/core/CSprache.h"
#include "ui/jpeg/core/JpegBufferTarget.h"
#include "ui/jpeg/core/JpegDecoder.h"
#include "ui/pictures/core/BitmapHeader.h"
#include "ui/pictures/core/MetafileHeader.h"
#include "vswriter/MediumCheck.h"
#include "vswriter/ValueWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

// The splash window before a picture is loaded: 239 x 118 at 96 dots per
// inch, centred once on a 1024 x 768 screen; a picture then sizes it from
// that corner.
constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kDesignWidth = 239, kDesignHeight = 118;
constexpr int kSplashLeft = (kScreenWidth - kDesignWidth) / 2, kSplashTop = (kScreenHeight - kDesignHeight) / 2;

const std::string kFailureBox = "Setup.exe ends with the box \"Anwendungsfehler\" (exit code 1)";

std::string Size(uint64_t bytes) { return std::to_string(bytes) + " bytes"; }

std::string Lower(std::string text) {
  for (char& c : text) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// A folder in the temporary folder, as Setup.exe extracts into its own.
class ScratchFolder {
public:
  ScratchFolder() {
    std::random_device random;
    std::error_code error;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      fs::path candidate = fs::temp_directory_path(error) / ("setupmedium-" + std::to_string(random() % 1000000));
      if (fs::create_directory(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) throw archive::Error{"cannot make a folder in the temporary folder"};
  }
  ~ScratchFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  // Writes the entry to a file of the folder under a scratch name (never
  // the entry's own: that could point anywhere), piece by piece; the path
  // as the program's file streams take it (ANSI on Windows).
  // also hears every piece as it is written.
  fs::path Place(const archive::Reader& zip, int index,
                 const std::function<void(const char*, size_t)>& also = {}) const {
    const fs::path path = path_ / ("entry-" + std::to_string(index));
    std::ofstream out(path, std::ios::binary);
    zip.Stream(index, medium::kArchivePassword, [&](const char* data, size_t size) {
      out.write(data, static_cast<std::streamsize>(size));
      if (also) also(data, size);
    });
    if (!out.flush()) throw archive::Error{"cannot write " + path.u8string()};
    return path;
  }

private:
  fs::path path_;
};

// Whether the string value at offset of a value stream loses characters on
// its way to code page 1252: wide and UTF-8 strings are converted, other
// strings are bytes already.
bool LosesCharacters(const std::string& bytes, int64_t offset) {
  if (offset < 0 || static_cast<size_t>(offset) + 5 > bytes.size()) return false;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + offset;
  const uint8_t tag = p[0];
  const int64_t length = static_cast<int32_t>(p[1] | (p[2] << 8) | (p[3] << 16) | (uint32_t(p[4]) << 24));
  const size_t rest = bytes.size() - static_cast<size_t>(offset) - 5;
  if (tag == tgWideStr) {
    if (length < 0 || static_cast<uint64_t>(length) * 2 > rest) return false;
    for (int64_t i = 0; i < length; ++i) {
      uint8_t unused;
      if (!Cp1252FromUnicode(static_cast<char32_t>(p[5 + 2 * i] | (p[6 + 2 * i] << 8)), unused)) return true;
    }
  } else if (tag == tgUtf8Str) {
    if (length < 0 || static_cast<uint64_t>(length) > rest) return false;
    std::string unused;
    return !Cp1252FromUtf8Text(std::string(reinterpret_cast<const char*>(p + 5), static_cast<size_t>(length)), unused);
  }
  return false;
}

// Hears the product name and version of "Setup.inf" and the texts of the
// language file as the reading comes to them, and notes those that lose
// characters.
class LossListener : public medium::TReadingListener {
public:
  const std::string* bytes = nullptr;  // of the file being read
  std::vector<std::string> fields;
  std::vector<int32_t> texts;

  void FieldAt(const setupinfo::Field& field, int32_t offset) override {
    if (field.role == setupinfo::Role::ProductName || field.role == setupinfo::Role::ProductVersion)
      if (LosesCharacters(*bytes, offset)) fields.push_back(field.name);
  }
  void TextAt(int32_t number, int32_t offset) override {
    if (LosesCharacters(*bytes, offset)) texts.push_back(number);
  }
};

// An entry of the first extraction: where it lies and its bytes (empty when
// it is too large to hold: then its texts are read from the file only).
struct Extracted {
  std::string path;
  std::string bytes;
};
constexpr uint64_t kHeldBytes = 16u << 20;

// The head of an installer: where a Windows program's headers lie.
constexpr size_t kInstallerHead = 64u << 10;

// An entry's name as the component reads it, control characters escaped.
std::string Shown(const archive::Entry& entry) {
  std::string out;
  for (unsigned char c : entry.componentName) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", c);
    out += c < 0x20 || c == 0x7F ? std::string(escape) : std::string(1, static_cast<char>(c));
  }
  return out;
}

std::wstring Wide(const std::string& utf8) {
  std::u16string text;
  Utf16FromUtf8Text(utf8, text);
  return std::wstring(text.begin(), text.end());
}

class Checker {
public:
  Checker(fs::path folder, const std::function<void(double)>& progress)
      : folder_(std::move(folder)), progress_(progress) {}

  Findings Run() {
    std::error_code error;
    if (!fs::is_directory(folder_, error)) {
      f_.Error("medium", folder_.u8string() + " is not a folder that can be read", "give the medium's folder or drive");
      return f_;
    }
    CheckProgram();
    CheckComponent();
    CheckSplash();
    // Scratch files live until the signatures are read.
    ScratchFolder scratch;
    scratch_ = &scratch;
    CheckArchive();
    CheckSignatures(f_, setupPath_, componentPath_, installerPath_);
    return f_;
  }

private:
  void CheckProgram() {
    const auto path = FindInFolder(folder_, "Setup.exe");
    const auto bytes = path ? ReadWholeFile(*path) : std::nullopt;
    if (!bytes) {
      f_.Error("Setup.exe", "missing", "put Setup.exe (the i686 build) into the medium's folder");
      return;
    }
    const WindowsImage image = ReadWindowsImage(*bytes);
    if (!image.valid || image.library) {
      f_.Error("Setup.exe", "not a Windows program", "copy Setup.exe from the build again");
      return;
    }
    machine_ = image.machine;
    setupPath_ = path;
    f_.Ok("Setup.exe", "Windows program for " + MachineName(image.machine));
  }

  void CheckComponent() {
    const auto path = FindInFolder(folder_, medium::kComponentFile);
    const auto bytes = path ? ReadWholeFile(*path) : std::nullopt;
    if (!bytes) {
      f_.Error(medium::kComponentFile, "missing: Setup.exe ends at once without a message (exit code 0)",
               "put XceedZip.dll into the medium's folder");
      return;
    }
    const WindowsImage image = ReadWindowsImage(*bytes);
    if (!image.valid || !image.library) {
      f_.Error(medium::kComponentFile, "not a Windows DLL: it cannot be registered and the archive is never opened",
               "copy XceedZip.dll from the build again");
    } else if (image.machine != machine_) {
      f_.Error(medium::kComponentFile,
               "a DLL for " + MachineName(image.machine) + ", but Setup.exe is for " + MachineName(machine_) +
                   ": it cannot be loaded, the zip component is never created",
               "take XceedZip.dll from the same build as Setup.exe");
    } else {
      componentPath_ = path;
      f_.Ok(medium::kComponentFile, "Windows DLL for " + MachineName(image.machine) + ", " + Size(bytes->size()));
    }
  }

  void CheckSplash() {
    std::vector<fs::path> present;
    for (const char* extension : medium::kSplashExtensions)
      if (auto path = FindInFolder(folder_, std::string(medium::kSplashBaseName) + extension)) present.push_back(*path);
    if (present.empty()) {
      f_.Ok("splash picture", "none: the progress window comes up centred");
      return;
    }
    for (size_t i = 1; i < present.size(); ++i)
      f_.Warning("splash picture", present[i].filename().u8string() + " is never shown: " +
                                       present[0].filename().u8string() + " comes first",
                 "remove " + present[i].filename().u8string());
    const fs::path& picture = present[0];
    const std::string name = picture.filename().u8string();
    const auto bytes = ReadWholeFile(picture);
    if (!bytes) {
      f_.Error(name, "cannot be read", "copy the picture again");
      return;
    }
    int width = 0, height = 0;
    const std::string extension = Lower(picture.extension().u8string());
    try {
      if (extension == ".bmp") {
        MemoryByteSource source(bytes->data(), bytes->size());
        BitmapHeader header;
        if (ReadBitmapHeader(source, header)) {
          width = header.width;
          height = header.height < 0 ? -header.height : header.height;
        }
      } else if (extension == ".jpg") {
        if (!bytes->empty() && !CheckJpeg(name, *bytes, width, height)) return;
      } else {
        MemoryByteSource source(bytes->data(), bytes->size());
        const MetafileData data = ReadMetafile(source);
        MetafileReference reference{0, 0, 0, 0};
        if (data.enhanced) {
          const uint8_t* h = data.bytes.data();
          reference = {LoadI32(h + 72), LoadI32(h + 76), LoadI32(h + 80), LoadI32(h + 84)};
        }
        width = MetafilePixelWidth(data, 96, reference);
        height = MetafilePixelHeight(data, 96, reference);
      }
    } catch (const Exception& e) {
      f_.Error(name, "does not load (" + ReaderFailure(e.Message()) + "): the splash window stays empty at " +
                         std::to_string(kDesignWidth) + " x " + std::to_string(kDesignHeight),
               "save the picture again as a plain " + extension.substr(1) + " file");
      return;
    }
    SplashWindow(name, width, height);
  }

  // Loads and decodes as the splash window does: the header at loading,
  // the whole picture at the first paint.
  bool CheckJpeg(const std::string& name, const std::string& bytes, int& width, int& height) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const JpegHeader header = ReadJpegHeader(data, bytes.size());
    width = header.width;
    height = header.height;
    JpegBufferTarget target(true, int64_t(1) << 28);
    try {
      if (const int warnings = DecodeJpeg(data, bytes.size(), JpegSettings(), target))
        f_.Warning(name, "damaged data decoded anyway (" + std::to_string(warnings) + " warning(s) of the decoder)",
                   "save the picture again");
    } catch (const Exception& e) {
      f_.Error(name, "fails at its first paint: Setup.exe shows the box " + ReaderFailure(e.Message()) +
                         " and waits for OK",
               "save the picture again as a baseline JPEG");
      return false;
    }
    return true;
  }

  void SplashWindow(const std::string& name, int width, int height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) {
      f_.Warning(name, "an empty picture (" + size + "): nothing of the splash window shows",
                 "give a picture or leave it out");
      return;
    }
    const int right = kSplashLeft + width, bottom = kSplashTop + height;
    const std::string window = "the window takes " + size + " from (" + std::to_string(kSplashLeft) + ", " +
                               std::to_string(kSplashTop) + ")";
    if (right > kScreenWidth || bottom > kScreenHeight) {
      f_.Warning(name, window + " and runs past the edge of a 1024 x 768 screen by " +
                           std::to_string(std::max(0, right - kScreenWidth)) + " x " +
                           std::to_string(std::max(0, bottom - kScreenHeight)) + " pixels",
                 "make the picture at most " + std::to_string(kScreenWidth - kSplashLeft) + " x " +
                     std::to_string(kScreenHeight - kSplashTop));
    } else {
      f_.Ok(name, "loads; " + window + " and fits a 1024 x 768 screen");
    }
  }

  void CheckArchive() {
    const auto path = FindInFolder(folder_, medium::kArchiveFile);
    if (!path) {
      f_.Error(medium::kArchiveFile, "missing: the extraction fails and Setup.exe ends (exit code 0)",
               "build the medium with setupmedium build");
      return;
    }
    std::unique_ptr<archive::Reader> zip;
    try {
      zip = std::make_unique<archive::Reader>(path->u8string());
      zip->OnProgress(progress_);
    } catch (const archive::Error& e) {
      f_.Error(medium::kArchiveFile, "cannot be opened as a zip archive (" + e.text + ")",
               "build the medium with setupmedium build");
      return;
    }
    std::string list;
    for (const archive::Entry& entry : zip->Entries()) {
      static const char* const kinds[] = {"not encrypted", "traditional encryption", "AES-128", "AES-256"};
      list += "\n           " + Shown(entry) + ", " + Size(entry.size) + ", " +
              (entry.unknownEncryption ? "unknown encryption" : kinds[static_cast<int>(entry.encryption)]);
      static const char* const methods[] = {"none", "traditional", "aes-128", "aes-256"};
      f_.Record({Printable(entry.name), entry.size, entry.packedSize, entry.deflated ? "deflated" : "stored",
                 entry.unknownEncryption ? "unknown" : methods[static_cast<int>(entry.encryption)], entry.crc});
    }
    f_.Ok(medium::kArchiveFile, std::to_string(zip->Entries().size()) + " entries:" + list);

    // Every entry must open with the medium's password. Entries are read as
    // streams: an entry of any size takes no more memory than a small one.
    // Names are taken as the component takes them; the first extraction
    // writes the entries in the folder's top into the temporary folder,
    // where Setup.exe finds them by their code page 1252 names.
    const ScratchFolder& scratch = *scratch_;
    zip_ = zip.get();
    bool opened = true;
    bool installer = false;
    for (size_t i = 0; i < zip->Entries().size(); ++i) {
      const archive::Entry& entry = zip->Entries()[i];
      if (entry.folder) continue;
      const auto segments = SafeEntrySegments(Wide(entry.componentName));
      std::string cp1252;
      if (!segments) {
        f_.Warning(medium::kArchiveFile, "entry \"" + Shown(entry) + "\" is never extracted: the component "
                                             "refuses its name (it leaves the folder, names a device or holds a "
                                             "character Windows forbids)",
                   "pack the file under a plain name");
      } else if (segments->size() == 1 && Cp1252FromUtf8Text(entry.componentName, cp1252)) {
        topEntries_.emplace(CaseFolded(cp1252), static_cast<int>(i));
      }
      const bool isInstaller = CaseFolded(cp1252) == CaseFolded(medium::kInstallerFile);
      std::string head;
      try {
        if (isInstaller) {
          // Written out for its signature, its head kept for its kind.
          const fs::path written = scratch.Place(*zip, static_cast<int>(i), [&](const char* data, size_t size) {
            if (head.size() < kInstallerHead) head.append(data, std::min(size, kInstallerHead - head.size()));
          });
          if (CheckInstaller(head, entry.size)) installerPath_ = written;
          installer = true;
        } else {
          zip->Stream(static_cast<int>(i), medium::kArchivePassword, [](const char*, size_t) {});
        }
      } catch (const archive::Error& e) {
        opened = false;
        if (e.damaged)
          f_.Error(medium::kArchiveFile, "entry " + Shown(entry) + " is damaged (" + e.text + ")",
                   "copy the medium again, or build it again");
        else
          f_.Error(medium::kArchiveFile, "entry " + Shown(entry) + " does not open with the medium's password (" +
                                             e.text + ")",
                   "pack the archive with setupmedium build, which uses the medium's password");
      }
    }
    if (opened) f_.Ok(medium::kArchiveFile, "every entry opens with the medium's password");
    if (!installer && topEntries_.count(CaseFolded(medium::kInstallerFile)) == 0)
      f_.Error(medium::kInstallerFile, "missing from the archive: Setup.exe has nothing to start",
               "name the installer in medium.installer");
    CheckSetupInfo();
  }

  // The entry the first extraction writes as name (code page 1252), placed
  // in the scratch folder; none when the archive has no such entry (or it
  // does not open, which is reported already).
  std::optional<Extracted> Extract(const std::string& name) {
    const std::string folded = CaseFolded(name);
    const bool first = folded == CaseFolded(medium::kSetupInfoMask) || medium::IsLanguageFileName(name);
    const auto found = topEntries_.find(folded);
    if (!first || found == topEntries_.end()) return std::nullopt;
    try {
      Extracted extracted{scratch_->Place(*zip_, found->second).string(), ""};
      if (zip_->Entries()[static_cast<size_t>(found->second)].size <= kHeldBytes)
        extracted.bytes = ReadWholeFile(fs::path(extracted.path)).value_or("");
      return extracted;
    } catch (const archive::Error&) {
      return std::nullopt;
    }
  }

  // Whether the installer is a Windows program.
  bool CheckInstaller(const std::string& head, uint64_t size) {
    const WindowsImage image = ReadWindowsImage(head);
    if (!image.valid || image.library) {
      f_.Error(medium::kInstallerFile, "not a Windows program: starting it fails without a message",
               "name the installer program in medium.installer");
      return false;
    }
    f_.Ok(medium::kInstallerFile, "Windows program for " + MachineName(image.machine) + ", " + Size(size));
    return true;
  }

  void CheckSetupInfo() {
    const std::string topic = medium::kSetupInfoMask;
    const auto found = Extract(medium::kSetupInfoMask);
    if (!found) {
      f_.Error(topic, "not in the archive (or not readable): Setup.exe ends after the first extraction (exit code 0)",
               "give [setup] in the description");
      return;
    }
    LossListener losses;
    losses.bytes = &found->bytes;
    std::optional<medium::TSetupInfoReading> reading;
    bool versionShown = false;
    try {
      reading.emplace(found->path, &losses);
      const setupinfo::Head& head = reading->ReadUpToTexts();
      f_.Ok(topic, "format version " + std::to_string(head.version) + (head.version == 0 ? " (no version value)" : ""));
      versionShown = true;
      reading->ReadRest();
    } catch (const Exception& e) {
      const bool signature = !reading;
      const setupinfo::Head none;
      const setupinfo::Head& head = signature ? none : reading->Head();
      if (!signature && !versionShown && std::string(reading->Place()) != "format version")
        f_.Ok(topic, "format version " + std::to_string(head.version) + (head.version == 0 ? " (no version value)" : ""));
      f_.Error(topic, "unreadable at " + std::string(signature ? "signature" : reading->Place()) + " (offset " +
                          std::to_string(signature ? 0 : reading->PlaceOffset()) + "): " + ReaderFailure(e.Message()) +
                          "; " + kFailureBox,
               "write Setup.inf for its format version " + std::to_string(head.version) +
                   " (setupmedium inspect shows its values)");
      return;
    }
    const setupinfo::Head& head = reading->Head();
    for (const std::string& name : losses.fields)
      f_.Warning(topic, name + " has characters that code page 1252 cannot hold: Setup.exe shows \"?\"",
                 "use only characters of code page 1252");
    f_.Ok(topic, "language file " + Quoted(head.languageFile) + ", product " + Quoted(head.productName) + " " +
                     Quoted(head.productVersion) + (head.silent ? ", silent: the progress window stays hidden" : ""));
    for (const std::string* text : {&head.productName, &head.productVersion})
      if (text->size() > setupinfo::kMaxProductText)
        f_.Warning(topic, Quoted(setupinfo::ProductText(*text)) + "... is longer than 255 characters and is cut",
                   "shorten the product name or version");
    CheckLanguage(*reading, losses);
  }

  void CheckLanguage(medium::TSetupInfoReading& reading, LossListener& losses) {
    const std::string& name = reading.Head().languageFile;
    const std::string topic = "language file";
    if (name.empty()) {
      f_.Error(topic, "Setup.inf names none: " + kFailureBox, "name the language file in setup.language_file");
      return;
    }
    if (name.find_first_of("\\/:") != std::string::npos) {
      f_.Error(topic, Quoted(name) + " is not a plain file name; the language files are extracted flat",
               "name the file without a folder");
      return;
    }
    const auto found = Extract(name);
    if (!found) {
      f_.Error(topic, Quoted(name) + (medium::IsLanguageFileName(name) ? " is not in the archive"
                                                                        : " does not end in .lng and is never extracted") +
                          ": " + kFailureBox,
               "pack the language file as NAME.lng and name it in Setup.inf");
      return;
    }
    losses.bytes = &found->bytes;
    cSprachContainer table;
    medium::WindowTexts shown;
    try {
      shown = reading.ReadTexts(found->path, table);
    } catch (const Exception& e) {
      f_.Error(Printable(name), "unreadable: " + ReaderFailure(e.Message()) + "; " + kFailureBox,
               "write the language file again (setupmedium inspect shows where it breaks)");
      return;
    }
    for (int32_t number : losses.texts)
      f_.Warning(Printable(name), "text " + std::to_string(number) +
                                      " has characters that code page 1252 cannot hold: Setup.exe shows \"?\"",
                 "use only characters of code page 1252");
    for (int32_t number : medium::kWindowTexts) {
      if (table.IndexOf(number) < 0) {
        f_.Warning(Printable(name), "text " + std::to_string(number) + " is missing: its label stays empty",
                   "give the text " + std::to_string(number));
        continue;
      }
      CheckPlaceholders(Printable(name), number, table.FindText(number));
    }
    f_.Ok(Printable(name), "title " + Quoted(shown.title) + ", body " + Quoted(shown.body) + ", wait " +
                               Quoted(shown.wait));
  }

  void CheckPlaceholders(const std::string& topic, int32_t number, const std::string& text) {
    for (size_t open = text.find('%'); open != std::string::npos; open = text.find('%', open + 1)) {
      const size_t close = text.find('%', open + 1);
      if (close == std::string::npos) break;
      const std::string token = text.substr(open, close - open + 1);
      if (token.size() < 3 || token.find(' ') != std::string::npos) continue;
      const bool known = token == medium::kProductNamePlaceholder || token == medium::kProductVersionPlaceholder;
      if (known && number == medium::kBodyText) {
        open = close;
        continue;
      }
      f_.Warning(topic, "text " + std::to_string(number) + " shows " + Quoted(token) + " as it is: " +
                            (known ? "only text " + std::to_string(medium::kBodyText) + " has its placeholders replaced"
                                   : std::string("Setup.exe replaces only ") + medium::kProductNamePlaceholder +
                                         " and " + medium::kProductVersionPlaceholder + ", in capitals"),
                 "write the placeholder exactly, in text " + std::to_string(medium::kBodyText));
      open = close;
    }
  }

  fs::path folder_;
  std::function<void(double)> progress_;
  Findings f_;
  uint16_t machine_ = kMachineI386;
  const archive::Reader* zip_ = nullptr;
  const ScratchFolder* scratch_ = nullptr;
  std::map<std::string, int> topEntries_;  // entries in the archive's top, by CaseFolded code page 1252 name
  // The programs, for their signatures: on the medium, and the installer as
  // written to the scratch folder.
  std::optional<fs::path> setupPath_, componentPath_, installerPath_;
};

}  // namespace

namespace {

Findings Unreadable(const std::string& why) {
  Findings f;
  f.Error("medium", "cannot be read: " + why, "check that the medium can be read");
  return f;
}

}  // namespace

Findings CheckMedium(const fs::path& folder, const std::function<void(double)>& progress) {
  try {
    return Checker(folder, progress).Run();
  } catch (const archive::Error& e) {
    return Unreadable(e.text);
  } catch (const Exception& e) {
    return Unreadable(ReaderFailure(e.Message()));
  } catch (const std::exception& e) {
    return Unreadable(e.what());
  }
}

}  // namespace setupmedium
