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
#include <vector>

#include "state/ComponentFlags.h"

// A log file as it was before this run's first write to it.
struct KeptLog {
    std::string path;
    bool existed = false;  // false: there was no file, every entry is this run's
    std::string bytes;     // its contents when it existed
};

// The files the unpack library reported for one "UNZPK" line.
struct UnpackedFiles {
    std::string destination;                   // the line's destination directory
    std::vector<std::string> fileDirectories;  // directories of the reported files, each once
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
    std::vector<UnpackedFiles> unpacked;
    // The component flags each attempt read when it started, and its
    // condition flags 1 ... 9 at its end, joined over the attempts: 1 when
    // any attempt ran with the flag at 1.
    ComponentFlags componentFlags;
    std::array<int32_t, 10> conditionFlags{};

    // Keeps the file at `path` as it is now, unless this run has kept it
    // already: call it just before the first write to a log.
    void KeepLogBeforeWrite(const std::string& path);
    // The kept state of `path` (compared without regard to case), or null.
    const KeptLog* FindKeptLog(const std::string& path) const;
    // Adds levels that a directory creation of this run made.
    void RecordMadeDirectories(const std::vector<std::string>& made);
    // Notes a file that the unpack library reported under `destination`.
    void RecordUnpackedFile(const std::string& destination, const std::string& filePath);
    // Joins the flags of one attempt.
    void JoinComponentFlags(const ComponentFlags& flags);
    void JoinConditionFlags(const std::array<int32_t, 10>& flags);
};
