// What an install may touch, taken down so that two moments can be compared:
// the files and folders under some directories and the values under some
// registry keys. Also the small file-system and registry chores of the
// walks that install for real and must leave the prefix as they found it.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// Path (or key path + "|" + value name) -> what it holds.
using Snapshot = std::map<std::string, std::string>;

// Every file and folder under `root` (the root itself included when it
// exists), with size and contents for files (`contents` false: size and
// write time), leaving out paths that start with one of `skip`
// (case-insensitive).
void SnapshotFiles(Snapshot& into, const std::string& root, bool contents,
                   const std::vector<std::string>& skip = {});
// Every key and value under `root`\`path`, named "ROOTNAME\path", down to
// `depth` levels of subkeys.
void SnapshotKeys(Snapshot& into, HKEY root, const std::string& rootName, const std::string& path,
                  int depth = 100, const std::vector<std::string>& skip = {});
// The differences, one line each ("+ added", "- removed", "~ changed");
// empty when the two are equal.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Deletes a directory with everything in it.
void RemoveTree(const std::string& path);
// A REG_SZ value under HKEY_LOCAL_MACHINE; `found` false when missing.
std::string ReadHklmString(const std::string& key, const std::string& value, bool* found = nullptr);

}  // namespace e2e
