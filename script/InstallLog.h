// INSTALL.LOG: the record of what an install put where. An INI-format file,
// read and written only through the private-profile calls. Sections written
// here: "Directory", "DirList", "Program" and "File".
//
// Numbered lists: "Last" holds the number of the last entry, keys "1", "2",
// ... hold the entries, each "%d,%s" of a component or line number and a
// text. An entry is appended by reading "Last", adding 1 (1 when "Last" is
// empty), writing "Last" and then the entry.
//
// Records kept in memory. Every profile write reads and rewrites the whole
// file, so writing each record as it happens makes a log of n records cost
// n² (10,000 file records took minutes). The install step opens an
// InstallLogBatch around the preparation and the script's lines; while it
// is open,
// the records are kept in memory instead and written at checkpoints: put
// into the file's text where the profile calls would put them, in one read
// and one write of the file (or, for a file not in the calls' own layout,
// each changed section through WritePrivateProfileSection). The file then
// holds, byte for byte, what writing every record as it happened would
// have given. A checkpoint is FlushInstallLog: the script engine calls it before
// each archive or copy line starts; it runs by itself before any window of
// this thread that is not a child (a message box, a question, the diskette
// prompt) is created, before any read or write of the same log through
// ReadLogString / WriteLogString, and when the last batch closes.
// So what a process killed in the middle of an archive or a copy can leave
// unrecorded is at most the files of that one archive or copy line.
// Outside a batch every record is written as it happens.
#pragma once
#include <string>
#include <vector>

#include "fsutil/FsUtil.h"
#include "state/ProductFiles.h"

// Name of the log file in its directory.
inline constexpr auto& kInstallLogName = product_file::kInstallLog;

// Reads a whole value, however long it is; empty when the key is missing.
// The records of this log kept in memory are written first.
std::string ReadLogString(const std::string& logPath, const char* section, const char* key);
// Writes one value at once (after the records of this log kept in memory).
void WriteLogString(const std::string& logPath, const char* section, const char* key,
                    const std::string& value);

// The number of the last entry of `section` ("Last"; 0 when there is none).
long LastEntryNumber(const std::string& logPath, const char* section);

// The entries of the numbered list `section`, "1" to "Last", as they
// stand, and their texts without the leading number and its comma (an
// entry without a number is left out there).
std::vector<std::string> ListEntries(const std::string& logPath, const char* section);
std::vector<std::string> ListTexts(const std::string& logPath, const char* section);

// Every "key=value" line of an INI file's section, however long it is.
std::vector<std::string> ProfileSectionLines(const std::string& path, const std::string& section);

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
// "DirList" text does not list it yet: appended there as ";directory" and
// as a "Directory" entry "number,directory". An entry of the text lists a
// directory when its directory part (after an optional "number,") is the
// same path, in any case: C:\VELOMIR\DOC is not listed by C:\VELOMIR\DOCS.
// A path without "\" is not recorded.
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

// A new log is about to replace the file at `logPath` behind the profile
// calls' back: whatever waits for a checkpoint goes to the file it was
// meant for first, and what a batch knew of the file no longer holds.
void StartLogAnew(const std::string& logPath);
// The number after a list's "Last" text: 1 when it is empty.
long NumberAfter(const std::string& last);
// A component's preparation: its "Directory" entry under
// `directoryNumber`, the directory in "DirList" unless listed, and its
// "Program" entry with the component's name.
void AddComponentRecords(const std::string& logPath, long directoryNumber, int number,
                         const std::string& directory);

// ---- records kept in memory ---------------------------------------------

// While at least one object lives, records are kept in memory (see above).
// Open it on the thread that shows the install's windows, and close it
// before the undo and the post-install step (their few records are
// written as they happen).
class InstallLogBatch {
public:
    InstallLogBatch();
    ~InstallLogBatch();  // a checkpoint; the last one to close ends the keeping
    InstallLogBatch(const InstallLogBatch&) = delete;
    InstallLogBatch& operator=(const InstallLogBatch&) = delete;
};

// A checkpoint: writes every record kept in memory to its log. A section
// whose write the system refuses stays in memory and is tried again at the
// next checkpoint.
void FlushInstallLog();

// One entry that this process appended to a numbered list.
struct LoggedEntry {
    long number;       // its key
    std::string text;  // its value
};

// Every entry this process appended to the numbered list `section` of the
// log at `logPath` (the path compared without regard to case), in the order
// they were appended, whether or not they reached the disk. A full disk can
// cut the file short while the run goes on; these lists are then what this
// run wrote, and the undo takes this run's entries back from them.
std::vector<LoggedEntry> RunLogEntries(const std::string& logPath, const char* section);
// The logs this process appended entries to, in the order of the first.
std::vector<std::string> RunLogPaths();
