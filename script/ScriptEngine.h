// The script engine: runs the install script of the string table in the
// progress window. The engine and its window are one object (the engine
// derives from ProgressWindow); it is built for one run and works on the
// InstallState it is given.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "app/InstallState.h"
#include "fsutil/FsUtil.h"
#include "progress/ProgressWindow.h"
#include "script/UnpackLibrary.h"

class MainWindow;

class ScriptEngine : public ProgressWindow {
public:
    // An engine whose window and billboards stand in front of `main`, which
    // is also the InstallState it works on.
    explicit ScriptEngine(MainWindow& main);
    // An engine on a bare InstallState: no billboards.
    explicit ScriptEngine(InstallState& state);

    // Results of RunScript.
    static constexpr int kRunBack = -1;       // back to the components page
    static constexpr int kRunDone = 1;
    static constexpr int kRunStopped = 2;     // cancelled or failed: the wizard ends

    // The whole install step on the created window: log and directories,
    // billboards, the unpack library, both passes over the script, the
    // teardown. Gives kRunBack, kRunDone or kRunStopped; the window is
    // destroyed in every case.
    int RunScript();

    // Results of CopyFileWithTimes (and of the copies of the run).
    static constexpr int kCopied = 0;
    static constexpr int kCopyFailed = kGoOn;  // 1: failed, go on
    static constexpr int kCopyStopped = kStop;  // 7: failed, the user stops

    // ---- state of the run ----
    // Sum of the weights of the active "UNZPK" and "COPY" lines.
    int32_t totalWeight = 0;
    // Condition flags 1 ... 9 (index 0 is not used).
    std::array<int32_t, 10> conditionFlags{};
    // Copies of targetDir1 ... targetDir6 (targetDirs), varString1 ...
    // varString4 and groupName (varStrings) and defaultDrive, taken when
    // the run starts: the values of the script's directory macros.
    DirectoryValues directories;
    // The component flags of the activity test, read when the run starts.
    ComponentFlags componentFlags;

    // Takes the copies above from the InstallState: directories, the
    // component flags, and condition flags 1 ... 3 from component flags
    // 1 ... 3.
    void TakeRunCopies();

    // Whether a line with this number runs: 0 always; 1 ... 9 when that
    // condition flag is 1; 11 ... 18, 21, 31, 41, 51, 61 when that
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
    // cancelRequested is then 1). silent 1 never asks.
    int CopyFileWithTimes(const std::string& source, const std::string& destination,
                          int number, int silent, int keepTimes);

    // ---- install log ----
    // Makes the directory of one component and records it in INSTALL.LOG;
    // `first` is true for component 11, whose preparation starts a new log.
    // 1 to go on, -1 when the directory cannot be made (reported, and the
    // window closed).
    int PrepareInstallLog(int selected, int number, const std::string& directory, bool first);
    // PrepareInstallLog for the components 11, 21, 31, 41, 51, 61 with the
    // directories T1 ... T6; -1 at the first that fails, else 1.
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

    // Percent accounted for by the finished "UNZPK" and "COPY" lines.
    int32_t progressDone = 0;
    // 0: the next share is rounded down; 1: up.
    int32_t roundUpNext = 0;

    InstallState& state;

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
    // Step 11 of the run: the teardown; gives kRunStopped or kRunDone.
    int EndRun();

    UnpackLibrary* library_ = nullptr;
};
