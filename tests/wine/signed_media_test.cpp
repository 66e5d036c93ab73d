// Signed media: a Setup.exe signed by the test publisher runs only a
// component and an installer of that publisher; an unsigned one runs what
// the medium holds. The test authority is in the prefix's root store, as it
// would be on Windows.
#include "SetupMedium.h"
#include "runtime/Handles.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <wincrypt.h>

namespace setup_test {
namespace {

std::string Signed(const std::string& name) {
  return ReadBytes(FixturePath(std::string(FIXTURE_SIGNED_DIR) + "/" + name));
}

// One byte of the DOS stub, which the signature's digest covers and no
// platform runs.
std::string ChangedAfterSigning(std::string program) {
  program[0x50] ^= 0x20;
  return program;
}

struct CertStoreCloser { void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); } };
using UniqueCertStore = UniqueHandle<HCERTSTORE, CertStoreCloser>;

enum Outcome { Runs, Unsigned, Changed, OtherPublisher };
// The file the box names.
enum StopsAt { Nowhere, AtSetup, AtComponent, AtInstaller };

struct SignedCase {
  const char* name;
  std::string setup, component, installer;  // empty setup: the built, unsigned Setup.exe
  Outcome outcome;
  StopsAt stopsAt;
};

std::ostream& operator<<(std::ostream& out, const SignedCase& c) { return out << c.name; }

std::vector<SignedCase> Cases() {
  const std::string setup = Signed("Setup.exe"), component = Signed("XceedZip.dll"),
                    installer = Signed("installer.exe");
  return {
      {"SameSignerPartsRun", setup, component, installer, Runs, Nowhere},
      {"InstallerOfAnotherPublisherStops", setup, component, Signed("installer.other.exe"),
       OtherPublisher, AtInstaller},
      {"UnsignedInstallerStops", setup, component, InstallerBytes(), Unsigned, AtInstaller},
      {"InstallerChangedAfterSigningStops", setup, component, ChangedAfterSigning(installer),
       Changed, AtInstaller},
      {"ComponentOfAnotherPublisherStopsBeforeTheCopy", setup, Signed("XceedZip.other.dll"),
       installer, OtherPublisher, AtComponent},
      {"SetupChangedAfterSigningStops", ChangedAfterSigning(setup), component, installer, Changed,
       AtSetup},
      // An unsigned Setup.exe with unsigned parts is every other run's medium.
      {"UnsignedSetupRunsSignedParts", "", component, Signed("installer.other.exe"), Runs, Nowhere},
  };
}

class SignedMedia : public SetupRunTest, public ::testing::WithParamInterface<SignedCase> {
protected:
  static void SetUpTestSuite() {
    const std::string authority = Signed("ca.der");
    const UniqueCertStore root(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root"));
    ASSERT_TRUE(root);
    EXPECT_TRUE(CertAddEncodedCertificateToStore(
        root.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(authority.data()),
        static_cast<DWORD>(authority.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
  }
};

TEST_P(SignedMedia, RunsOnlyThePublishersParts) {
  const SignedCase& c = GetParam();
  ArchiveContents contents;
  contents.installerBytes = c.installer;
  const std::string archive = MediumArchive(contents);
  MakeMedium(medium_, false, &archive);
  const std::string component = medium_ + "\\" + medium::kComponentFile;
  ASSERT_TRUE(WriteBytes(component, c.component));
  RunOptions options = FromTheMedium();
  if (!c.setup.empty()) {
    options.program = base_ + "\\Setup.exe";
    ASSERT_TRUE(WriteBytes(options.program, c.setup));
  }
  const std::string systemComponent = SystemFolderPath() + "\\" + medium::kComponentFile;
  RemoveFile(systemComponent);

  const RunResult run = RunSetup(options);

  ASSERT_TRUE(Ended(run));
  if (c.outcome == Runs) {
    EXPECT_TRUE(RanToTheInstaller(run));
    EXPECT_TRUE(ReadBytes(systemComponent) == c.component) << "the medium's component deployed";
    EXPECT_EQ(InstallerStarts(log_), std::vector<std::string>{"4"});
    return;
  }
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 1u);
  // The installer lay in the run's workspace, which the stop removed: its
  // name is taken from the box.
  const std::string& shown = run.boxes[0].text;
  const size_t at = shown.find(temp_ + "\\Setup.");
  const std::string workspace = at == std::string::npos ? "" : shown.substr(at, temp_.size() + 1 + 6 + 16);
  if (c.stopsAt == AtInstaller) {
    EXPECT_TRUE(!workspace.empty() && IsWorkspaceName(workspace.substr(temp_.size() + 1).c_str())) << shown;
  }
  const std::string file = c.stopsAt == AtSetup       ? options.program
                           : c.stopsAt == AtComponent ? component
                                                      : workspace + "\\_inst32d.exe";
  const char* why = c.outcome == Unsigned  ? msg::NotSignedText
                    : c.outcome == Changed ? msg::ChangedSinceSigningText
                                           : msg::OtherPublisherText;
  ExpectBox(run.boxes[0], msg::ErrorCaption, Format(why, file.c_str()).c_str());
  EXPECT_TRUE(InstallerStarts(log_).empty()) << "the installer never starts";
  if (c.stopsAt != AtInstaller) {
    EXPECT_FALSE(Exists(systemComponent)) << "nothing copied before the stop";
  }
}

INSTANTIATE_TEST_SUITE_P(, SignedMedia, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace setup_test
