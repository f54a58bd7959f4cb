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

class ScriptEngine : public ProgressWindow {
public:
    explicit ScriptEngine(InstallState& state);

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

    InstallState& state;
};
