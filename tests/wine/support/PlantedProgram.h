// A program planted where the installer should be (the fixture program
// planted_program): its bytes, and whether a copy of it in a folder ran.
#pragma once

#include "SetupRun.h"

#include <string>

namespace setup_test {

inline std::string PlantedProgramBytes() { return ReadBytes(FixturePath(PLANTED_PROGRAM_PATH)); }
inline bool PlantedProgramRan(const std::string& folder) {
  return Exists(folder + "\\planted.ran");
}

}  // namespace setup_test
