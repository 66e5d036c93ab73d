#include "app/InstallerGate.h"

namespace {

// Every installer may start.
class TOpenGate final : public TInstallerGate {
public:
  void Admit(HANDLE, const std::string&) const override {}
};

}  // namespace

const TInstallerGate& RunInstallerGate() {
  static const TOpenGate gate;
  return gate;
}
