// Names of the platform's named objects (mutexes, shared memory) in the
// session's local namespace, derived from a folder path, so that every run
// working in one folder meets the same objects and runs in other folders
// meet others.
#pragma once

#include <cstddef>
#include <string>

// The longest name handed to the platform, "Local\" included: the documented
// limit is MAX_PATH characters with the terminating null.
constexpr std::size_t kMaxObjectNameLength = 259;

// "Local\" + kind + the folder's key. The key is the folder path as given
// (folding its letter case is the caller's part) without trailing
// separators, each backslash (which would name a sub-namespace) written as
// '/'. A key that would make the name longer than kMaxObjectNameLength is
// cut: 16 hexadecimal digits of the 64-bit FNV-1a hash of the whole key, '~',
// then as much of the key's end as fits.
std::u16string LocalObjectName(const std::u16string& kind, const std::u16string& folder);
