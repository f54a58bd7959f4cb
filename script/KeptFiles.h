// What a run writes over or deletes is kept until the install completes.
// Before the first write the old file is moved aside, on its own drive,
// into the run's keep folder there (a rename: no time spent copying, its
// times and attributes stay as they were), after the folder's list names
// it. A completed install drops what was kept; a run that did not complete
// puts it back under its own names. The logs' earlier bytes wait in the
// same folders. A run that was killed leaves its folders and lists behind,
// and the next run of the installer puts their files back before it
// starts.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct RunMemory;
struct KeptLog;

namespace kept_files {
// At the root of each drive the run wrote over, hidden, with the process
// and a number after the name: "~CVKEEP.<process>.<n>".
constexpr char kFolderName[] = "~CVKEEP";
// The folder's list, one line a kept file or log:
//   "F" TAB kept name TAB original path
//   "L" TAB kept name TAB 1 (there was a log) or 0 (none) TAB log path
constexpr char kListName[] = "KEPT.LST";
}  // namespace kept_files

// Moves the existing file `path` aside, to be written over or (`deleting`)
// to be gone. True when it is gone from its place and kept; false when it
// could not be moved (in use, no keep folder): it is where it was and must
// not be written.
bool KeepAside(RunMemory& memory, const std::string& path, bool deleting = false);

// Keeps `path` as it is before the run's first write to it, in memory (the
// undo's copy) and in the keep folder on the drive of the temporary folder
// (a killed run's).
void KeepLog(RunMemory& memory, const std::string& path);

// A completed install: the kept files and the keep folders go.
void DropKeptFiles(RunMemory& memory);
// A run that did not complete: every kept file goes back to its own name,
// the last kept first, in place of what the run wrote there; then the keep
// folders go. The number of files that could not be put back (their keep
// folder stays, with its list).
int PutKeptFilesBack(RunMemory& memory);

// The unpack library's question before it replaces a file or makes a
// folder (CUNPACK_REPLACING, CUNPACK_MAKING_FOLDER, with the path): the
// answer for the window that receives it, or false when `message` is
// neither (the window handles it as it would).
bool AnswerLibraryQuestion(RunMemory& memory, UINT message, LPARAM path, LRESULT& answer);

// The keep folders a killed run left on this machine's fixed, network and
// RAM drives: their files and logs go back, the unpack library's
// half-written files beside the kept files go, then the folders. The
// number of files and logs put back; -1 when no run was interrupted.
int RecoverInterruptedRun();
// The keep folders with a list at the root `root` ("C:").
std::vector<std::string> KeepFoldersOn(const std::string& root);
