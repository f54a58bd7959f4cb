// Drive, directory and path helpers shared by the script engine and the
// wizard pages. None of them keeps state between calls, and none of them
// throws: every result comes back as a return value.
#pragma once
#include <array>
#include <string>
#include <vector>

// Characters of the directory field and the file field of a script line.
// The directory field has no "." and no blank; the file field has no "*".
extern const char kDirectoryFieldChars[];
extern const char kFileFieldChars[];

// The values behind the directory macros of a script line that the engine
// takes from the InstallState when a run starts: *T1* ... *T6*, *V1* ...
// *V5* (V5 is the program group name), and the drive put in front of a file
// name that starts with "\".
struct DirectoryValues {
    std::array<std::string, 6> targetDirs;  // T1 ... T6
    std::array<std::string, 5> varStrings;  // V1 ... V5
    std::string defaultDrive;               // such as "C:"
};

// Length of the longest prefix of `text` (from `start`) made only of
// characters of `set`.
size_t SpanOf(const std::string& text, const char* set, size_t start = 0);

// Takes the longest prefix of `line` made of characters of `set`, and
// removes it and the one character after it (the separator, whatever it
// is) from `line`. The field may be empty.
std::string TakeField(std::string& line, const char* set);

// Turns the directory field and the file field at the start of `line` into
// a full path and removes both fields (each with its separator) from
// `line`. `sourceDir` is the value of *SR*. An empty file field shows
// "Empty String instead of file name" and gives false.
bool ResolveScriptPath(std::string& line, const std::string& sourceDir,
                       const DirectoryValues& values, std::string& path);

// True for the two-character codes of the macro table.
bool IsMacroCode(const std::string& code);
// The value of one two-character macro code ("T1", "WN", ...); an empty
// text for a code that is no macro.
std::string MacroValue(const std::string& code, const std::string& sourceDir,
                       const DirectoryValues& values);

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
