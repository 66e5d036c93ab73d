// The result codes live in the contract (src/zip/core/XceedZipResults.h);
// this name stays only until Extractor.cpp includes them from there.
#pragma once

#include "zip/core/XceedZipResults.h"
