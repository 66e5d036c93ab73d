// File masks with Windows wildcards, as the component selects entries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Case-insensitive match of a whole name against a mask: '*' stands for any
// run of characters (also none), '?' for exactly one. As on Windows, a mask
// ending in ".*" also matches names without an extension ("*.*" matches all).
// Case is folded for ASCII and Latin-1 letters.
bool MatchesMask(std::wstring_view mask, std::wstring_view name);

// True when any of the masks matches the name.
bool MatchesAnyMask(const std::vector<std::wstring>& masks, std::wstring_view name);

// A mask list as the component keeps it: masks separated by '|'. Empty
// pieces are dropped.
std::vector<std::wstring> SplitMaskList(std::wstring_view list);
