// setupmedium: media built from descriptions check clean in every format
// version, planted faults are found with their severity, an author's own
// "Setup.inf" is packed unchanged, description faults name file, line, key;
// a build never loses an author's files nor puts a broken medium in place,
// names beyond ASCII reach the component as written, and hostile archives
// write nothing where their names point.
#include "BuildMedium.h"
#include "CheckMedium.h"
#include "MediumDescription.h"
#include "ZipWriter.h"
#include "Archive.h"
#include "app/core/MediumNames.h"
#include "vswriter/ValueWriter.h"
#include "../support/MediumTestFiles.h"
#include "../support/PictureWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace setupmedium;

namespace {

// The sample's [setup] replaced by the author's own file.
MediumFolderTest::Changes OwnSetupInf(const std::string& file) {
  return {{"format_version = 5000", "file = \"" + file + "\""}, {"product_name = \"Demo Produkt\"", ""},
          {"product_version = \"1.0\"", ""}, {"silent = false", ""}, {"language_file = \"Deutsch.lng\"", ""}};
}

// The sample's files with its splash picture.
class MediumTest : public MediumFolderTest {
protected:
  void SetUp() override {
    MediumFolderTest::SetUp();
    picture_writer::Bmp bmp;
    bmp.width = 40, bmp.height = 20;
    bmp.pixels = picture_writer::Bytes(40 * 3 * 20, 0x80);
    const picture_writer::Bytes picture = picture_writer::Write(bmp);
    WriteText(root_ / "src/splash.bmp", std::string(picture.begin(), picture.end()));
  }

  // Builds into root/medium; force puts a medium with errors in place too.
  fs::path Build(const fs::path& description, bool force = true) {
    BuildOptions options;
    options.force = force;
    try {
      BuildMedium(ReadMediumDescription(description), root_ / "medium", options);
    } catch (const ToolError& e) {
      ADD_FAILURE() << e.text;
    }
    return root_ / "medium";
  }

  // The message of the ToolError a build into target raises, or "built".
  std::string Refusal(const fs::path& description, const fs::path& target) {
    try {
      BuildMedium(ReadMediumDescription(description), target);
    } catch (const ToolError& e) {
      return e.text;
    }
    return "built";
  }

  // The medium's archive packed again: each entry under the name rename
  // gives it ("" leaves it out), then the entries of more.
  void Repack(const fs::path& medium, const std::string& password,
              const std::function<std::string(const std::string&)>& rename,
              const std::vector<std::pair<std::string, std::string>>& more = {}) {
    archive::Reader old((medium / medium::kArchiveFile).string());
    TZipWriter zip(password);
    for (size_t i = 0; i < old.Entries().size(); ++i) {
      const std::string name = rename(old.Entries()[i].name);
      if (!name.empty()) zip.Add(name, old.Read(static_cast<int>(i), medium::kArchivePassword));
    }
    for (const auto& [name, bytes] : more) zip.Add(name, bytes);
    WriteText(medium / medium::kArchiveFile, zip.Archive());
  }

  static const Finding* Worst(const Findings& findings) {
    const Finding* worst = nullptr;
    for (const Finding& f : findings.List())
      if (!worst || f.severity > worst->severity) worst = &f;
    return worst;
  }
};

TEST_F(MediumTest, BuildThenCheckIsCleanForTheSampleAndEveryFormatVersion) {
  const std::vector<Changes> versions = {
      {},
      {{"format_version = 5000", "format_version = 0"}},
      {{"format_version = 5000", "format_version = 4003"}, {"silent = false", "silent = true"}},
      {{"format_version = 5000", "format_version = 4014"}},
  };
  for (const auto& changes : versions) {
    const Findings findings = CheckMedium(Build(Describe(changes)));
    EXPECT_EQ(findings.ExitCode(), 0) << findings.Text();
  }
}

TEST_F(MediumTest, CheckFindsEachPlantedFaultWithItsSeverity) {
  // Each plant changes a clean medium (or its description); the worst
  // finding must have the severity and name the topic.
  struct Plant {
    const char* fault;
    Changes changes;
    std::function<void(const fs::path& medium)> after;
    Severity severity;
    const char* topic;
  };
  const auto rezip = [&](const fs::path& medium, const std::string& password, const std::string& without) {
    Repack(medium, password, [&](const std::string& name) { return name == without ? "" : name; });
  };
  TValueWriter wide;
  wide.Signature(), wide.Str("Deutsch"), wide.Symbol("Deutsch"), wide.Int(0), wide.BeginList();
  wide.Int(1000), wide.WideStr(u"Installation \u4E2D"), wide.Int(1001), wide.Str("x"), wide.Int(1002), wide.Str("y");
  wide.End();
  WriteText(root_ / "src/wide.lng", wide.Data());

  const std::vector<Plant> plants = {
      {"wrong password", {}, [&](const fs::path& m) { rezip(m, "falsch", ""); }, Severity::Error, "_Setup.lib"},
      {"missing language file", {}, [&](const fs::path& m) { rezip(m, medium::kArchivePassword, "Deutsch.lng"); },
       Severity::Error, "language file"},
      {"text outside code page 1252",
       {{"[languages.Deutsch]\ntitle", "[languages.Deutsch]\nfile = \"wide.lng\"\n[languages.Alt]\ntitle"}}, nullptr,
       Severity::Warning, "Deutsch.lng"},
      {"unreadable splash picture", {}, [](const fs::path& m) { WriteText(m / "Setup.bmp", "BM kaputt"); },
       Severity::Error, "Setup.bmp"},
      {"missing installer", {}, [&](const fs::path& m) { rezip(m, medium::kArchivePassword, medium::kInstallerFile); }, Severity::Error,
       "_inst32d.exe"},
      {"component of the wrong machine", {},
       [](const fs::path& m) { WriteText(m / "XceedZip.dll", WindowsImageBytes(true, 0x8664)); }, Severity::Error,
       "XceedZip.dll"},
      {"Setup.inf cut short", OwnSetupInf("short.inf"), nullptr, Severity::Error, "Setup.inf"},
  };
  TValueWriter shortInf;
  shortInf.Signature(), shortInf.Int(5000), shortInf.Bool(false), shortInf.Str("Demo");
  WriteText(root_ / "src/short.inf", shortInf.Data());

  for (const Plant& plant : plants) {
    fs::remove_all(root_ / "medium");  // the plants changed it
    const fs::path medium = Build(Describe(plant.changes));
    if (plant.after) plant.after(medium);
    const Findings findings = CheckMedium(medium);
    const Finding* worst = Worst(findings);
    ASSERT_NE(worst, nullptr) << plant.fault;
    EXPECT_EQ(worst->severity, plant.severity) << plant.fault << "\n" << findings.Text();
    EXPECT_EQ(worst->topic, plant.topic) << plant.fault << "\n" << findings.Text();
  }
}

TEST_F(MediumTest, AnAuthorsOwnSetupInfIsPackedUnchanged) {
  const std::string own = std::string("TPF0\x02\x07", 6) + "more than Setup.exe reads";
  WriteText(root_ / "src/Setup.inf", own);
  const fs::path medium = Build(Describe(OwnSetupInf("Setup.inf")));
  archive::Reader zip((medium / medium::kArchiveFile).string());
  EXPECT_EQ(zip.Read(zip.Find("Setup.inf"), medium::kArchivePassword), own);
}

TEST_F(MediumTest, ABuildReplacesOnlyAFolderItWroteAndNothingOfTheAuthors) {
  const fs::path description = Describe();
  // The project folder itself, or one above it: refused, nothing touched.
  const auto before = std::distance(fs::recursive_directory_iterator(root_), fs::recursive_directory_iterator());
  EXPECT_NE(Refusal(description, root_ / "src").find("holds " + description.string()), std::string::npos);
  EXPECT_NE(Refusal(description, root_).find(", an input of the build"), std::string::npos);
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root_), fs::recursive_directory_iterator()), before);

  // A folder with a Setup.exe and the author's autorun.inf beside it.
  fs::create_directories(root_ / "disc");
  WriteText(root_ / "disc/Setup.exe", "old");
  WriteText(root_ / "disc/autorun.inf", "[autorun]");
  EXPECT_NE(Refusal(description, root_ / "disc").find("autorun.inf"), std::string::npos);
  EXPECT_EQ(ReadText(root_ / "disc/autorun.inf"), "[autorun]");

  // Its own medium it replaces; once the author added or edited a file there, no more.
  Build(description);
  EXPECT_EQ(Refusal(description, root_ / "medium"), "built");
  WriteText(root_ / "medium/notes.txt", "mine");
  EXPECT_NE(Refusal(description, root_ / "medium").find("notes.txt (not written by setupmedium)"), std::string::npos);
  fs::remove(root_ / "medium/notes.txt");
  WriteText(root_ / "medium/Setup.exe", "patched");
  EXPECT_NE(Refusal(description, root_ / "medium").find("Setup.exe (changed since"), std::string::npos);
  EXPECT_EQ(ReadText(root_ / "medium/Setup.exe"), "patched");
}

TEST_F(MediumTest, TheAuthorsFilesAndFoldersAreOnTheMediumAndOnItsRecord) {
  fs::create_directories(root_ / "src/Manuals/de");
  WriteText(root_ / "src/Manuals/de/Handbuch.txt", "Handbuch");
  WriteText(root_ / "src/autorun.inf", "[autorun]");
  WriteText(root_ / "src/liesmich.txt", "lies mich");
  const fs::path medium = Build(Describe({{"\nfiles = []", "\n[medium.files]\n\"autorun.inf\" = \"autorun.inf\"\n"
                                                                "\"Docs/readme.txt\" = \"liesmich.txt\"\n"
                                                                "\"Manuals\" = \"Manuals/\""}}));
  EXPECT_EQ(ReadText(medium / "autorun.inf"), "[autorun]");
  EXPECT_EQ(ReadText(medium / "Docs/readme.txt"), "lies mich");
  EXPECT_EQ(ReadText(medium / "Manuals/de/Handbuch.txt"), "Handbuch");
  // Recorded: the next build replaces them; a folder put on the medium is never a target.
  EXPECT_EQ(Refusal(root_ / "src/medium.toml", medium), "built");
  EXPECT_NE(Refusal(root_ / "src/medium.toml", root_ / "src/Manuals/out").find("a folder put on the medium"),
            std::string::npos);
}

TEST_F(MediumTest, ABrokenMediumIsRefusedAndThePreviousOneStays) {
  const fs::path medium = Build(Describe());
  const std::string record = ReadText(medium / ".setupmedium-record");
  WriteText(root_ / "src/notes.bmp", "just some text");
  WriteText(root_ / "src/program.jpg", WindowsImageBytes(false));
  WriteText(root_ / "src/XceedZip64.dll", WindowsImageBytes(true, 0x8664));
  WriteText(root_ / "src/garbage.inf", "garbage");
  const Changes pictures = {
      {"splash = \"splash.bmp\"", "splash = \"notes.bmp\""}, {"splash = \"splash.bmp\"", "splash = \"program.jpg\""}};
  for (const auto& change : pictures)
    EXPECT_NE(Refusal(Describe({change}), medium).find("medium.splash:"), std::string::npos) << change.second;
  const std::vector<Changes> broken = {
      {{"component = \"XceedZip.dll\"", "component = \"XceedZip64.dll\""}}, OwnSetupInf("garbage.inf")};
  for (const auto& changes : broken) {
    const BuildResult result = BuildMedium(ReadMediumDescription(Describe(changes)), medium);
    EXPECT_FALSE(result.placed) << result.findings.Text();
    EXPECT_TRUE(result.findings.Has(Severity::Error));
  }
  EXPECT_EQ(ReadText(medium / ".setupmedium-record"), record);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2);  // no debris
  // --force keeps it on purpose.
  BuildOptions force;
  force.force = true;
  EXPECT_TRUE(BuildMedium(ReadMediumDescription(Describe(broken[0])), medium, force).placed);
}

#ifdef SETUPMEDIUM_PROGRAM
TEST_F(MediumTest, AnInterruptedBuildLeavesNothingAndAKilledOnesDebrisGoesNextTime) {
  // An installer large enough that the build is still packing when it is stopped.
  fs::resize_file(root_ / "src/installer.exe", int64_t(1) << 30);
  const fs::path description = Describe();
  const auto stopped = [&](int signal) {
    const fs::path err = root_ / "err.txt";
    fs::remove(err);
    const pid_t child = fork();
    if (child == 0) {
      freopen(err.c_str(), "w", stderr);
      execl(SETUPMEDIUM_PROGRAM, "setupmedium", "build", description.c_str(), (root_ / "big").c_str(), nullptr);
      _exit(127);
    }
    for (int i = 0; i < 6000 && ReadText(err).find("packing") == std::string::npos; ++i) usleep(20000);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  };
  const int interrupted = stopped(SIGINT);
  EXPECT_TRUE(WIFSIGNALED(interrupted) && WTERMSIG(interrupted) == SIGINT) << interrupted;
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2) << "src, err.txt";

  stopped(SIGKILL);
  fs::create_directories(root_ / "big.building-7");  // not a build's: no record
  fs::resize_file(root_ / "src/installer.exe", 200);
  Refusal(description, root_ / "big");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(root_)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"big", "big.building-7", "err.txt", "src"}));
}
#endif

TEST_F(MediumTest, NamesBeyondAsciiAreMarkedUtf8AndReadAsTheComponentReadsThem) {
  WriteText(root_ / "src/re\xC3\xA7u.txt", "extra");
  const fs::path medium = Build(Describe({{"language_file = \"Deutsch.lng\"", "language_file = \"Fran\xC3\xA7" "ais.lng\""},
                                          {"[languages.English]", "[languages.\"Fran\xC3\xA7" "ais\"]"},
                                          {"extra_files = []", "extra_files = [\"re\xC3\xA7u.txt\"]"}}));
  EXPECT_EQ(CheckMedium(medium).ExitCode(), 0) << CheckMedium(medium).Text();
  // Every local header of a name beyond ASCII carries the UTF-8 flag (bit 11).
  const std::string zip = ReadText(medium / medium::kArchiveFile);
  int marked = 0;
  for (size_t at = zip.find("PK\x03\x04"); at != std::string::npos; at = zip.find("PK\x03\x04", at + 4)) {
    const size_t nameLength = static_cast<uint8_t>(zip[at + 26]) | static_cast<uint8_t>(zip[at + 27]) << 8;
    const std::string name = zip.substr(at + 30, nameLength);
    const bool utf8 = (static_cast<uint8_t>(zip[at + 7]) & 0x08) != 0;
    if (name.find("\xC3\xA7") == std::string::npos) continue;
    EXPECT_TRUE(utf8) << name;
    ++marked;
  }
  EXPECT_EQ(marked, 2);

  // The same name in code page 1252 without the flag is read as code page
  // 437 by the component: "Franτais.lng", which Setup.exe never finds.
  Repack(medium, medium::kArchivePassword, [](const std::string& name) {
    return name == "Fran\xC3\xA7" "ais.lng" ? std::string("Fran\xE7" "ais.lng") : name;
  });
  const Findings findings = CheckMedium(medium);
  EXPECT_NE(findings.Text().find("Fran\xCF\x84" "ais.lng, "), std::string::npos) << findings.Text();
  EXPECT_NE(findings.Text().find("\"Fran\xC3\xA7" "ais.lng\" is not in the archive"), std::string::npos);
}

TEST_F(MediumTest, HostileEntryNamesWriteNothingWhereTheyPoint) {
  const fs::path medium = Build(Describe());
  const fs::path victim = root_ / "victim";
  fs::create_directories(victim);
  Repack(medium, medium::kArchivePassword, [](const std::string& name) { return name; },
         {{"../../../../../../../../../.." + victim.string() + "/rel.lng", "planted"},
          {victim.string() + "/abs.lng", "planted"},
          {"CON.lng", "planted"}});
  const Findings findings = CheckMedium(medium);
  EXPECT_TRUE(fs::is_empty(victim));
  int refused = 0;
  for (const Finding& f : findings.List()) refused += f.text.find("is never extracted") != std::string::npos;
  EXPECT_EQ(refused, 3) << findings.Text();
  EXPECT_NE(findings.Text().find("ok       Deutsch.lng: title"), std::string::npos) << findings.Text();
}

TEST_F(MediumTest, DescriptionFaultsNameFileLineAndKey) {
  const auto error = [](const std::string& text) {
    try {
      ParseMediumDescription(text, "m.toml");
    } catch (const ToolError& e) {
      return e.text;
    }
    return std::string("no error");
  };
  const std::string base = ReadText(SETUPMEDIUM_SAMPLE);
  const auto changed = [&](const std::string& from, const std::string& to, std::string text = std::string()) {
    if (text.empty()) text = base;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  std::string deepKey;
  for (int i = 0; i < 200000; ++i) deepKey += i ? ".a" : "a";
  const auto lineOf = [&](const std::string& token) {
    return "m.toml:" + std::to_string(1 + std::count(base.begin(), base.begin() + base.find(token), '\n')) + ": ";
  };
  const std::string version = lineOf("format_version = 5000") + "setup.format_version: must be";
  // The ways editors save and the slips authors make, each named.
  const std::pair<std::string, std::string> slips[] = {
      {changed("format_version = 5000", "format_version = \"5\""), version},
      {changed("format_version = 5000", "format_version = -1"), version},
      {changed("silent = false", "silent = true", changed("format_version = 5000", "format_version = 4002")),
       "setup.silent: needs format_version 4003"},
      {"[program]\nsetup_exe = \"a\"\ncomponent = \"b\"\nsetp = 1\n", "m.toml:4: program.setp: unknown key"},
      {"[program\n", "m.toml:1"},
      // Beyond ASCII only in quoted texts and comments (the reader is not trusted with them elsewhere).
      {"# \xC3\xA4\n[setup]\nx = 'a\xC3\xA4' \xC8\x96\n", "m.toml:3: characters beyond ASCII"},
      {"\xEF\xBB\xBF" + base, "no error"},
      {changed("f\xC3\xBCr", "f\xFCr"), lineOf("f\xC3\xBCr") + "not UTF-8"},
      {changed("\"Demo Produkt\"", "\"Demo Produkt"), lineOf("\"Demo Produkt\"") + "a text in quotes is not closed on its line"},
      {"[" + deepKey + "]\n", "m.toml:1: a key with more than 8 dotted parts"},
      {deepKey + " = 1\n", "m.toml:1: a key with more than 8 dotted parts"},
      {changed("\"Demo Produkt\"", "\"Demo \xE4\xB8\xAD\""), "\"\xE4\xB8\xAD\" (U+4E2D), which code page 1252 cannot hold"},
      {changed("\"Deutsch.lng\"", "\"Fehlt.lng\""), "\"Fehlt.lng\" is made by no table in [languages]"},
      {changed("\"Deutsch.lng\"", "\"lang/Deutsch.lng\""), "\"lang/Deutsch.lng\" is a path"},
      {changed("\"Deutsch.lng\"", "\"Deutsch.txt\""), "\"Deutsch.txt\" does not end in .lng"},
      {changed("[languages.English]", "[languages.CON]"), "languages.CON: \"CON.lng\" is no file name Windows allows"},
      {changed("\nfiles = []", "\nfiles = [\"x/setup.EXE\"]"), "\"setup.EXE\" is a name setupmedium writes itself"},
      {changed("\nfiles = []", "\nfiles = [\"a/readme.txt\", \"b/README.TXT\"]"), "\"README.TXT\" is named twice"},
      // [signing]: a certificate, known keys only.
      {base + "\n[signing]\nkey = \"k.pem\"\n", "signing.certificate: missing"},
      {base + "\n[signing]\ncertificate = \"c.p12\"\npassword = \"x\"\n", "signing.password: unknown key"},
  };
  for (const auto& [text, expected] : slips) EXPECT_NE(error(text).find(expected), std::string::npos) << error(text);
  const MediumDescription odd = ParseMediumDescription(changed("format_version = 5000", "format_version = 4500"), "m.toml");
  ASSERT_EQ(odd.warnings.size(), 1u);
  EXPECT_NE(odd.warnings[0].find("setup.format_version: 4500 is none of the documented versions"), std::string::npos);
  // Paths of [signing] are taken from the description's folder.
  const auto signing =
      ParseMediumDescription(base + "\n[signing]\ncertificate = \"c.p12\"\npassword_env = \"PW\"\n", "d/m.toml").signing;
  ASSERT_TRUE(signing);
  EXPECT_EQ(signing->certificate, fs::path("d/c.p12"));
  EXPECT_EQ(signing->passwordVariable, "PW");

  // A missing file names its path; nothing is left behind.
  fs::remove(root_ / "src/installer.exe");
  EXPECT_NE(Refusal(Describe(), root_ / "medium").find((root_ / "src/installer.exe").string()), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "medium"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(MediumTest, AnUnreadableMediumIsReportedNotFatal) {
  EXPECT_EQ(CheckMedium("/nonexistent/medium").ExitCode(), 2);
  WriteText(root_ / medium::kArchiveFile, "PK\x03\x04 not really");
  WriteText(root_ / "Setup.jpg", "\xFF\xD8\xFF garbage");
  EXPECT_EQ(CheckMedium(root_).ExitCode(), 2);
}

}  // namespace
