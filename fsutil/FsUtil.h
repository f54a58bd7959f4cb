// Drive, directory and path helpers shared by the script engine, the
// records and the wizard pages. None of them keeps state between calls, and none of them
// throws: every result comes back as a return value.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// True when `path` names a file (not a directory).
bool FileExists(const std::string& path);
// Moves the file `from` to `to`, replacing a file there (read-only too);
// where the system has no replacing move (Windows 95), the file there is
// deleted first. False when `from` is still where it was.
bool MoveReplacing(const std::string& from, const std::string& to);
// `directory` + "\" + `name`, without a doubled backslash when the
// directory already ends in one (a drive root such as C:\).
std::string JoinPath(std::string directory, const std::string& name);
// The directory part of a full path (up to its last "\"), or the path.
std::string DirectoryOf(const std::string& path);

// A whole file's bytes; false when it cannot be read. Writes `bytes` as the
// whole file, made or replaced; false when that failed.
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// The Windows directory and the system directory; empty when the system
// cannot say.
std::string WindowsDirectory();
std::string SystemDirectory();

// Makes the drive named by the first letter of `path` the current drive; a
// failure changes nothing.
void MakeDriveCurrent(const std::string& path);

// Makes `path` and every missing parent. 0 on success; -1 on failure with
// errno set by the last make-directory call (ENOENT when a parent could not
// be made, EEXIST when the directory is there already).
int CreateDirectoryPath(const std::string& path);

// CreateDirectoryPath, and besides its result the levels that this call
// made itself (top first), so that a caller can take back exactly those and
// never a directory that was there before.
struct DirectoryCreation {
    int result = 0;                  // 0 or -1, as CreateDirectoryPath gives
    int error = 0;                   // errno of the last call when result is -1
    std::vector<std::string> made;   // the levels this call made, top first
};
DirectoryCreation CreateDirectoryPathTracked(const std::string& path);

// Removes `made` (levels a creation made, top first) deepest first, each
// only when it is empty; a level that still holds anything stays.
void RemoveMadeDirectories(const std::vector<std::string>& made);

// 0 when a file can be made in `dir`, 1 when not.
int IsDirectoryWritable(const std::string& dir);

// Free space of the drive that holds `path` ("C:" or any path on it), in KB
// as decimal text. 0 and the text on success; 1 and "0" when the drive
// cannot be asked (no disk, no such drive).
int FreeSpaceKB(const std::string& path, std::string& text);
// The same as a number: 0 when the drive cannot be asked.
uint64_t FreeSpaceKB(const std::string& path);

// 1 when the drive named by the first character of `path` can be made the
// current drive, else 0. The current drive is the same afterwards.
int IsDriveAvailable(const std::string& path);

// 1 when `path` is a drive letter and colon, optionally followed by "\" and
// names of at most `maxName` characters separated by single backslashes,
// with no "/" and no blank anywhere; else 0.
int IsValidPathSyntax(const std::string& path, int maxName);

// "WinNT %u.%u", "Win95 %u.%u" or "Win32S %u.%u" with the system's major
// and minor version.
std::string MakeOsVersionText();

// Removes `directory` and then each parent directory that is empty; a
// directory that still holds anything stays, and so do all above it that
// hold it.
void RemoveDirectoryChain(const std::string& directory);

// Removes one final "\" when there is one.
void StripTrailingBackslash(std::string& text);
// Remove blanks, tabs, line feeds, vertical tabs, form feeds and carriage
// returns at the start or at the end.
void TrimLeadingSpace(std::string& text);
void TrimTrailingSpace(std::string& text);
