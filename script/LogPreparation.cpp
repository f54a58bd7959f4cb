// The install step's first work: each selected component's directory, and
// the install log that records it.
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"

int ScriptEngine::PrepareInstallLog(int selected, int number, const std::string& directory,
                                    bool first)
{
    if (selected != 1) return 1;

    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    state_.runMemory.RecordMadeDirectories(creation.made);
    if (CannotUseDirectory(creation, directory)) {
        view_.ReportError(IDS_CANNOT_MAKE_DIRECTORY, directory);
        view_.Close(false);
        return -1;
    }

    long directoryNumber;
    std::string last = ReadLogString(state_.installLogPath, "Directory", "Last");
    if (last.empty() || first) {
        // A new log in this directory: the seed from the media, or an
        // empty file when the media carry none.
        directoryNumber = 1;
        std::string logPath = directory + "\\" + kInstallLogName;
        StartLogAnew(logPath);
        state_.installLogPath = logPath;
        // An earlier log here is replaced: the undo puts it back.
        KeepLog(state_.runMemory, logPath);
        int saved = run_.askOnError;
        run_.askOnError = 0;
        int copied = CopyFileWithTimes(state_.sourceDir + "\\" + kInstallLogName, logPath, 1, 1, 0);
        run_.askOnError = saved;
        if (copied != kCopied) CreateEmptyFile(logPath);
    } else {
        // Continuing a log, perhaps an earlier install's: the undo takes
        // back only what follows what it holds now.
        FlushInstallLog();
        KeepLog(state_.runMemory, state_.installLogPath);
        directoryNumber = NumberAfter(last);
    }
    AddComponentRecords(state_.installLogPath, directoryNumber, number, directory);
    return 1;
}

int ScriptEngine::PrepareInstallLogs()
{
    // From here on the attempt changes the disk; the undo judges its
    // entries by the flags it ran with.
    state_.runMemory.installStarted = true;
    state_.runMemory.JoinComponentFlags(run_.componentFlags);
    state_.runMemory.JoinConditionFlags(run_.conditionFlags);
    for (size_t i = 0; i < component::kWithDirectory.size(); ++i) {
        int number = component::kWithDirectory[i];
        if (PrepareInstallLog(run_.componentFlags[number], number, run_.directories.targetDirs[i],
                              number == component::kMemoryManager) == -1)
            return -1;
    }
    return 1;
}
