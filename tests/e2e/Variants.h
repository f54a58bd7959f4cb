// Copies of INSTALL.EXE with another string table: the same engine with
// another install script, other records or other texts, the way a product
// maker changes the string resources. Written with the system's resource
// update calls on the copy.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>

namespace e2e {

// A change per string ID: a new text, or std::nullopt to remove the string.
using StringChanges = std::map<UINT, std::optional<std::string>>;

// Copies `from` to `to` and applies `changes` to the copy's string table.
// False, with the reason in `why`, when that fails.
bool WriteInstallerVariant(const std::string& from, const std::string& to, const StringChanges& changes,
                           std::string& why);

// The strings of a program's string table with IDs first ... last (missing
// ones left out).
std::map<UINT, std::string> ReadStrings(const std::string& exe, UINT first, UINT last);

// A random change to the install script `lines` (ID -> text): a character
// dropped, doubled or replaced, a field emptied or made huge, a number set
// past every table, two lines swapped, a line removed (a hole). The same
// generator state gives the same change.
StringChanges MutateScript(const std::map<UINT, std::string>& lines, std::mt19937& random);

}  // namespace e2e
