// INSTALL.LOG: the record of what an install put where. An INI-format file,
// read and written only through the private-profile calls. Sections written
// here: "Directory", "DirList", "Program" and "File".
//
// Numbered lists: "Last" holds the number of the last entry, keys "1", "2",
// ... hold the entries, each "%d,%s" of a component or line number and a
// text. An entry is appended by reading "Last", adding 1 (1 when "Last" is
// empty), writing "Last" and then the entry.
#pragma once
#include <string>

#include "fsutil/FsUtil.h"

// Name of the log file in its directory.
extern const char kInstallLogName[];  // "INSTALL.LOG"

// Reads a whole value, however long it is; empty when the key is missing.
std::string ReadLogString(const std::string& logPath, const char* section, const char* key);
void WriteLogString(const std::string& logPath, const char* section, const char* key,
                    const std::string& value);

// The number the next entry of `section` gets under the counter rule. The
// counter is read whole, so lists keep counting past 99999 entries.
long NextEntryNumber(const std::string& logPath, const char* section);

// Appends `entry` to the numbered list `section`: "Last" first, then the
// entry under the new number. Every numbered list of the log grows through
// this one routine.
void AppendLogEntry(const std::string& logPath, const char* section, const std::string& entry);

// Appends the "File" entry "number,path".
void AddFileRecord(int number, const std::string& path, const std::string& logPath);

// Records the directory part of `path` (up to its last "\") when the
// "DirList" text does not contain it yet: appended there as ";directory"
// and as a "Directory" entry "number,directory". A path without "\" is not
// recorded.
void AddDirectoryRecord(int number, const std::string& path, const std::string& logPath);

// True when a directory that `creation` tried to make cannot be used: a
// parent is missing, or the creation failed otherwise and no file can be
// made in it.
bool CannotUseDirectory(const DirectoryCreation& creation, const std::string& directory);

// Creates an empty file at `path`, replacing any file there. 1 when it was
// created, -1 otherwise.
int CreateEmptyFile(const std::string& path);

// String resource of a component's name for its "Program" entry.
unsigned ComponentNameId(int number);
