// pack-medium: assembles a demonstration installation medium.
//
//   pack-medium OUTDIR --setup-exe FILE --component FILE --installer FILE
//               [--splash FILE] [--product NAME] [--product-version TEXT]
//               [--language Deutsch|English] [--silent]
//
// OUTDIR receives Setup.exe, XceedZip.dll, the splash picture (as Setup.<ext>)
// and "_Setup.lib": a zip archive protected with the medium password that
// holds Setup.inf, Deutsch.lng, English.lng and the installer as _inst32d.exe.
#include "SetupFiles.h"
#include "ZipWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kPassword[] = "K470395";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error("cannot write " + path.string());
}

// Texts in code page 1252.
std::map<int32_t, std::string> GermanTexts() {
  return {{1000, "Installation"},
          {1001, "%PRODUKTNAME% %PRODUKTVERSION% wird f\xFC" "r die Installation vorbereitet."},
          {1002, "Bitte warten..."}};
}

std::map<int32_t, std::string> EnglishTexts() {
  return {{1000, "Installation"},
          {1001, "Preparing %PRODUKTNAME% %PRODUKTVERSION% for installation."},
          {1002, "Please wait..."}};
}

int Usage() {
  std::cerr << "usage: pack-medium OUTDIR --setup-exe FILE --component FILE --installer FILE\n"
               "                   [--splash FILE] [--product NAME] [--product-version TEXT]\n"
               "                   [--language Deutsch|English] [--silent]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  fs::path out = argv[1];
  std::map<std::string, std::string> options;
  SetupInfo info;
  for (int i = 2; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--silent") {
      info.silent = true;
    } else if (i + 1 < argc && name.rfind("--", 0) == 0) {
      options[name] = argv[++i];
    } else {
      return Usage();
    }
  }
  for (const char* required : {"--setup-exe", "--component", "--installer"})
    if (!options.count(required)) return Usage();
  if (options.count("--product")) info.productName = options["--product"];
  if (options.count("--product-version")) info.productVersion = options["--product-version"];
  if (options.count("--language")) info.languageFile = options["--language"] + ".lng";

  try {
    fs::create_directories(out);
    fs::copy_file(options["--setup-exe"], out / "Setup.exe", fs::copy_options::overwrite_existing);
    fs::copy_file(options["--component"], out / "XceedZip.dll",
                  fs::copy_options::overwrite_existing);
    if (options.count("--splash")) {
      fs::path splash = options["--splash"];
      fs::copy_file(splash, out / ("Setup" + splash.extension().string()),
                    fs::copy_options::overwrite_existing);
    }
    TZipWriter archive(kPassword);
    archive.Add("Setup.inf", SetupInfoFile(info));
    archive.Add("Deutsch.lng", LanguageFile("Deutsch", GermanTexts()));
    archive.Add("English.lng", LanguageFile("English", EnglishTexts()));
    archive.Add("_inst32d.exe", ReadFile(options["--installer"]));
    WriteFile(out / "_Setup.lib", archive.Archive());
  } catch (const std::exception& e) {
    std::cerr << "pack-medium: " << e.what() << "\n";
    return 1;
  }
  std::cout << "pack-medium: medium in " << out.string() << "\n";
  return 0;
}
