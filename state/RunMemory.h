// What one run of the installer remembers beside the InstallState for the
// undo of an install that does not complete: each log file as it was before
// this run first wrote it, the directory levels this run made, where the
// unpack library put files, and the flags the install attempts ran with.
// It lives in memory only. The script engine is built anew for every
// attempt (a return to the components page starts another), so the engine
// records here and the undo reads from here.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "fw/File.h"
#include "state/ComponentFlags.h"

// A log file as it was before this run's first write to it.
struct KeptLog {
    std::string path;
    bool existed = false;  // false: there was no file, every entry is this run's
    std::string bytes;     // its contents when it existed
    // False when the file was there but could not be read: what it held
    // before the run is unknown, so nothing it lists is taken for the
    // run's, and the file itself is left as it is.
    bool known = true;
};

// A file the run moved aside before it wrote over it or deleted it.
struct KeptFile {
    std::string original;  // where it was, and goes back to
    std::string kept;      // where it waits meanwhile
    // True when it was moved away to be written over: a completed install
    // puts it back when the new file never came (a damaged member); one
    // that was deleted stays deleted.
    bool replaced = true;
};

struct RunMemory {
    // True once an install step has begun to prepare its directories and log.
    bool installStarted = false;
    // Every log file this run wrote, in the order of the first write.
    std::vector<KeptLog> keptLogs;
    // The directory levels this run's own creation made (component
    // directories, UNZPK and COPY destinations, with their parents), in the
    // order they were made.
    std::vector<std::string> madeDirectories;
    // The files this run moved aside, in order, and the keep folders it made
    // for them (one on each drive).
    std::vector<KeptFile> keptFiles;
    std::vector<std::string> keepFolders;
    // The component flags each attempt read when it started, and its
    // condition flags 1 ... 9 at its end, joined over the attempts: 1 when
    // any attempt ran with the flag at 1.
    ComponentFlags componentFlags;
    std::array<int32_t, 10> conditionFlags{};
    // The times the archive being unpacked gives each of its files, offered
    // to the unpack library so that it stamps them on the file's open
    // handle; taken when the library asked for them.
    struct ArchiveStamp {
        fw::FileTimes times;
        bool offered = false;
        bool taken = false;
    } archiveStamp;

    // Keeps the file at `path` as it is now, unless this run has kept it
    // already: call it just before the first write to a log.
    void KeepLogBeforeWrite(const std::string& path);
    // The kept state of `path` (compared without regard to case), or null.
    const KeptLog* FindKeptLog(const std::string& path) const;
    // Adds levels that a directory creation of this run made.
    void RecordMadeDirectories(const std::vector<std::string>& made);
    // A file this run moved aside, and one it made where no file was (it
    // is the run's, whatever an earlier log lists).
    void AddKeptFile(const KeptFile& file);
    void RecordMadeAnew(const std::string& path);
    // The kept files are back or gone, their folders too.
    void ForgetKeptFiles();
    // Whether this run moved aside the file at `path`, or made it anew
    // (compared without regard to case; a run may write thousands).
    bool WasKept(const std::string& path) const;
    bool WasMadeAnew(const std::string& path) const;
    // Whether the file at `path` is this run's own: it made it, or it kept
    // what was there before it wrote it.
    bool IsRunsOwn(const std::string& path) const { return WasKept(path) || WasMadeAnew(path); }
    // Joins the flags of one attempt.
    void JoinComponentFlags(const ComponentFlags& flags);
    void JoinConditionFlags(const std::array<int32_t, 10>& flags);

private:
    // The paths of keptFiles and of the files made anew, folded to upper
    // case.
    std::unordered_set<std::string> kept_, madeAnew_;
};
