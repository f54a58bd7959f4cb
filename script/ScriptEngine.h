// The script engine: runs the install script of the string table. It works
// on the InstallState it is given and talks to the person at the screen
// only through its face (EngineView): the wizard gives it the progress
// window, an install without a person another face. It is built for one run.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "script/EngineView.h"
#include "script/ScriptPath.h"
#include "script/UnpackLibrary.h"
#include "state/InstallState.h"

// What a run takes from the InstallState when it starts, and what it
// counts as it goes.
struct ScriptRunValues {
    // Sum of the weights of the active "UNZPK" and "COPY" lines.
    int32_t totalWeight = 0;
    // Condition flags 1 ... 9 (index 0 is not used).
    std::array<int32_t, 10> conditionFlags{};
    // Copies of targetDir1 ... targetDir6, varString1 ... varString4,
    // groupName and defaultDrive: the values of the script's directory
    // macros.
    DirectoryValues directories;
    // The component flags of the activity test.
    ComponentFlags componentFlags;
    // Percent accounted for by the finished "UNZPK" and "COPY" lines.
    int32_t progressDone = 0;
    // 0: the next share is rounded down; 1: up.
    int32_t roundUpNext = 0;
    // 1: failed file operations are asked about; 0: they go on without a
    // question (while the library is staged and the log seeded).
    int32_t askOnError = 1;
    // The files the archive being unpacked has put down so far.
    int32_t membersTaken = 0;
    // The records taken since the last checkpoint of the install log, and
    // when that was (GetTickCount).
    int32_t recordsSinceCheckpoint = 0;
    uint32_t lastCheckpoint = 0;
};

class ScriptEngine {
public:
    ScriptEngine(InstallState& state, EngineView& view);

    // Results of RunScript.
    static constexpr int kRunBack = -1;       // back to the components page
    static constexpr int kRunDone = 1;
    static constexpr int kRunStopped = 2;     // cancelled or failed: the wizard ends

    // The whole install step: log and directories, billboards, the unpack
    // library, both passes over the script, the teardown. Gives kRunBack,
    // kRunDone or kRunStopped; the face is closed in every case.
    int RunScript();

    // Results of CopyFileWithTimes (and of the copies of the run).
    static constexpr int kCopied = 0;
    static constexpr int kCopyFailed = 1;   // failed, go on
    static constexpr int kCopyStopped = 7;  // failed, the user stops

    // The run's values; a caller that sets a run up by hand (a test) may
    // change them.
    ScriptRunValues& Values() { return run_; }
    const ScriptRunValues& Values() const { return run_; }

    // Takes the copies of ScriptRunValues from the InstallState:
    // directories, the component flags, and condition flags 1 ... 3 from
    // component flags 1 ... 3.
    void TakeRunCopies();

    // Whether a line with this number runs: 0 always; 1 ... 9 when that
    // condition flag is 1; a component number of the script lines when that
    // component is selected; never for any other number.
    bool IsLineActive(int number) const;

    // What reading one script line gave.
    enum class LineKind {
        Inactive,  // not for this run: go on with the next line
        Active,    // command and rest are set
        Invalid,   // no number (a missing string or a malformed line):
                   // reported; the pass ends here
    };
    LineKind ReadLine(int k, uint16_t& number, std::string& command, std::string& rest);

    // ---- file copy ----
    // Copies `source` to `destination` (created, or truncated when it
    // exists) and records the copy in the install log with `number`. With
    // keepTimes 1 the copy gets the source's creation, last-access and
    // last-write times. Gives kCopied, kCopyFailed (failed; the user chose
    // to go on or was not asked) or kCopyStopped (the user chose to stop;
    // the face's cancelRequested is then 1). silent 1 never asks.
    int CopyFileWithTimes(const std::string& source, const std::string& destination,
                          int number, int silent, int keepTimes);

    // ---- install log ----
    // Makes the directory of one component and records it in INSTALL.LOG;
    // `first` is true for component 11, whose preparation starts a new log.
    // 1 to go on, -1 when the directory cannot be made (reported, and the
    // face closed).
    int PrepareInstallLog(int selected, int number, const std::string& directory, bool first);
    // PrepareInstallLog for the components with a directory of their own,
    // with the directories T1 ... T6; -1 at the first that fails, else 1.
    int PrepareInstallLogs();

    // ---- the commands (one function each) ----
    // "UNZPK" before the unpacking: -1 when the line's path cannot be
    // resolved (reported), 0 when the user gave up at a diskette prompt
    // (cancelRequested is 1), 1 when the archive is at hand.
    struct Archive {
        uint16_t weight = 0;
        std::string path;         // in the source directory
        std::string destination;  // directory to unpack into
    };
    int PrepareArchive(std::string& rest, Archive& archive);
    // "COPY": 0 done (also after a failed copy the user let pass), 1
    // nothing copied (empty source name, unresolved destination), 7
    // cancelled.
    int RunCopyLine(std::string& rest, int number);
    void RunIfExist(const std::string& command, std::string& rest);
    void RunIfAnd(std::string& rest);
    void RunDelete(std::string& rest);

    // This line's share of the bar in percent, from its weight; alternate
    // lines round down and up, a line under 0.2 % gets 0 and leaves the
    // alternation as it was.
    int TakeShare(int weight);

    // Makes `fileName` present in the source directory, asking for
    // diskette `disk` while it is not: 1 when it is there, 0 when the user
    // gave up (cancelRequested is then 1).
    int InsertDisk(int disk, const std::string& fileName);

    // ---- the unpack library ----
    StageResult StageUnpackLibrary(UnpackLibrary& library);
    // Unpacks one archive (see UnpackResult). `base` and `share` are the
    // percent done before it and the percent it may add.
    int UnpackArchive(UnpackLibrary& library, const std::string& archivePath,
                      const std::string& destinationDir, int base, int share, int lineNumber);
    // Frees the library and deletes its staged copy (11140 when that fails).
    void UnloadUnpackLibrary(UnpackLibrary& library);

private:
    // The loop of one pass: reads the lines and hands each active one to
    // its command. The first pass adds up the weights.
    void RunPass(bool work);
    // Makes the directory of a line's target and remembers what it made;
    // 11126 when it cannot be used (the run goes on).
    void MakeLineDirectory(const std::string& directory);
    // Asks for diskette `disk` until `fileName` is in the source directory:
    // the number of prompts shown, or -1 when the user gave up.
    int AskForDisk(int disk, const std::string& fileName);
    // Formats string `messageId` with `argument`. When askOnError is 1 and
    // `silent` is not 1, asks whether to go on: a stop sets cancelRequested
    // and gives kCopyStopped; any other answer gives kCopyFailed.
    int AskOnError(UINT messageId, const std::string& argument, int silent);
    // Writes the install log's records kept in memory to the disk. Within a
    // long archive line it comes at least every kCheckpointRecords records
    // or kCheckpointMs milliseconds.
    void Checkpoint();
    static constexpr int32_t kCheckpointRecords = 500;
    static constexpr uint32_t kCheckpointMs = 2000;
    // Line k of the script (0: the first) in the diagnostic log, when one
    // is open.
    void LogLine(int k, int number, const std::string& command, const std::string& file, const std::string& result) const;
    // The run's end: gives kRunStopped or kRunDone, the face closed.
    int EndRun();
    // A cancel inside the library: the face leaves the screen, the run stops.
    int StopInLibrary();
    // One file the library reported: its times, its records, its name shown.
    void TakeUnpackedFile(const std::string& name, const std::string& destinationDir, int lineNumber,
                          const ArchiveTimes& times);

    InstallState& state_;
    EngineView& view_;
    ScriptRunValues run_;
    UnpackLibrary* library_ = nullptr;
};
