// The pure parts of start-up: where the installer runs from and where the
// distribution files are.
#pragma once
#include <string>

// The directory of the program file `modulePath`, upper-cased, without a
// trailing backslash; for a program at the root of a drive, the drive letter
// and its colon ("A:").
std::string InstallerDirFromModulePath(std::string modulePath);

// The source directory: `installerDir` unless `commandLine` carries "/P"
// (any case), in which case the text from the drive letter before its last
// ":" to the end, or, with no ":", from its first "\" to the end, upper-cased.
std::string SourceDirFromCommandLine(const std::string& commandLine, const std::string& installerDir);

// The distribution files are opened by their full names, which the system's
// file calls take up to MAX_PATH - 1 characters. True when every file of the
// media (an 8.3 name) can be reached in `sourceDir`; a longer directory is
// refused at the start rather than failing at each file later on.
constexpr size_t kLongestMediaFileName = 12;  // "CUNPCK32.DLL"
bool SourceDirFits(const std::string& sourceDir);

// The full path of the running program, however long.
std::string ModulePath();
