#include "CheckMedium.h"

#include "Archive.h"
#include "CheckSignatures.h"
#include "MediumChecker.h"
#include "ReportText.h"
#include "runtime/core/Failures.h"

namespace fs = std::filesystem;

namespace setupmedium {

Findings Checker::Run() {
  std::error_code error;
  if (!fs::is_directory(folder_, error)) {
    f_.Error("medium", folder_.u8string() + " is not a folder that can be read", "give the medium's folder or drive");
    return f_;
  }
  CheckProgram();
  CheckComponent();
  CheckSplash();
  // Scratch files live until the signatures are read.
  ScratchFolder scratch("checking");
  scratch_ = &scratch;
  CheckArchive();
  CheckSignatures(f_, setupPath_, componentPath_, installerPath_);
  return f_;
}

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
  } catch (const ToolError& e) {
    return Unreadable(e.text);
  } catch (const Exception& e) {
    return Unreadable(ReaderFailure(e.Message()));
  } catch (const std::exception& e) {
    return Unreadable(e.what());
  }
}

}  // namespace setupmedium
