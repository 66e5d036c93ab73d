#include "app/InstallerGate.h"

#include "app/Publisher.h"

namespace {

// Every installer may start: Setup.exe is not signed.
class TOpenGate final : public TInstallerGate {
public:
  void Admit(HANDLE, const std::string&) const override {}
};

// Signed media: only an installer of Setup.exe's own publisher starts.
class TPublisherGate final : public TInstallerGate {
public:
  void Admit(HANDLE heldInstaller, const std::string& path) const override {
    AdmitPublisherFile(heldInstaller, path);
  }
};

}  // namespace

const TInstallerGate& RunInstallerGate() {
  static const TOpenGate open;
  static const TPublisherGate publisher;
  if (HasPublisher()) return publisher;
  return open;
}
