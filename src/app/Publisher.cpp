#include "app/Publisher.h"

#include "app/HandOffStop.h"
#include "runtime/FileSignature.h"
#include "runtime/Folders.h"
#include "runtime/WideText.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <windows.h>

#include <cstring>

namespace {

bool gSigned = false;
BYTE gPublisher[32] = {};

FileSignature SignatureOf(HANDLE held, const std::string& path) {
  return ReadFileSignature(held, WideFromAnsi(path).c_str());
}

UniqueFile HoldForReading(const std::string& path) {
  UniqueFile held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held) StopSetup(Format(msg::HoldFailedText, path.c_str()));
  return held;
}

}  // namespace

void DecidePublisher() {
  const std::string path = ModuleFileName(nullptr);
  const UniqueFile held = HoldForReading(path);
  const FileSignature own = SignatureOf(held.get(), path);
  if (own.state == FileSignature::Changed)
    StopSetup(Format(msg::ChangedSinceSigningText, path.c_str()));
  gSigned = own.state == FileSignature::Verifies;
  memcpy(gPublisher, own.signer, sizeof gPublisher);
}

bool HasPublisher() { return gSigned; }

UniqueFile AdmitComponent(const std::string& path) {
  if (!gSigned) return UniqueFile();
  UniqueFile held = HoldForReading(path);
  AdmitPublisherFile(held.get(), path);
  return held;
}

void AdmitPublisherFile(HANDLE held, const std::string& path) {
  const FileSignature part = SignatureOf(held, path);
  if (part.state == FileSignature::Unsigned)
    StopSetup(Format(msg::NotSignedText, path.c_str()));
  if (part.state == FileSignature::Changed)
    StopSetup(Format(msg::ChangedSinceSigningText, path.c_str()));
  if (memcmp(part.signer, gPublisher, sizeof gPublisher) != 0)
    StopSetup(Format(msg::OtherPublisherText, path.c_str()));
}
