// The fields of the install script's lines and of the item records, and
// the directory macros ("*T1*", "*WN*", ...) that stand for the places of
// this installation.
#pragma once
#include <array>
#include <string>

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

struct InstallState;
// The values as `state` holds them now.
DirectoryValues DirectoryValuesOf(const InstallState& state);

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

