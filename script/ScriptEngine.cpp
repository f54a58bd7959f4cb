#include "script/ScriptEngine.h"

#include "app/MainWindow.h"
#include "script/InstallLog.h"
#include "script/ScriptIds.h"
#include "script/ScriptLine.h"

ScriptEngine::ScriptEngine(MainWindow& main) : ProgressWindow(&main), state(main) {}

ScriptEngine::ScriptEngine(InstallState& installState) : state(installState) {}

void ScriptEngine::TakeRunCopies()
{
    for (int i = 0; i < 6; ++i) directories.targetDirs[i] = state.TargetDir(i + 1);
    directories.varStrings = {state.varString1, state.varString2, state.varString3,
                              state.varString4, state.groupName};
    directories.defaultDrive = state.defaultDrive;
    componentFlags = state.componentSelected;
    for (int n = 1; n <= 3; ++n) conditionFlags[n] = state.componentSelected[n];
    state.runMemory.JoinComponentFlags(componentFlags);
}

bool ScriptEngine::IsLineActive(int number) const
{
    if (number == 0) return true;
    if (number >= 1 && number <= 9) return conditionFlags[number] == 1;
    bool component = (number >= 11 && number <= 18) || number == 21 || number == 31 ||
                     number == 41 || number == 51 || number == 61;
    return component && componentFlags[number] == 1;
}

ScriptEngine::LineKind ScriptEngine::ReadLine(int k, uint16_t& number, std::string& command,
                                              std::string& rest)
{
    command.clear();
    std::string line = LoadLine(k);
    if (!SplitNumber(line, number, rest)) {
        // No number: a hole in the string table, the table's end without
        // an "END" line, or a malformed line. Passing over a missing string
        // would meet the next missing one, and so on without end, so the
        // pass ends here as if "END" had been read, for every kind of
        // such line alike. The text in the message is the empty number.
        ReportError(IDS_INVALID_RECORD, "");
        return LineKind::Invalid;
    }
    // Inactive lines are not parsed beyond their number.
    if (!IsLineActive(number)) return LineKind::Inactive;
    command = SplitCommand(rest);
    return LineKind::Active;
}

int ScriptEngine::RunScript()
{
    TakeRunCopies();
    // The log's records are kept in memory and written at checkpoints: at
    // the start of every archive and COPY line, before any window the run
    // shows, and when the run ends (the batch closes on return, before the
    // undo or the post-install step reads the log).
    InstallLogBatch logBatch;
    progressDone = 0;
    roundUpNext = 0;
    state.runMemory.installStarted = true;
    if (PrepareInstallLogs() == -1) return kRunBack;
    state.ReleaseComponentsPage();
    StartBillboards();

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    state.SetWindowsDir(windows);

    UnpackLibrary library;
    StageResult staged = StageUnpackLibrary(library);
    // A cancel while staging leaves nothing loaded: straight to the end.
    if (staged == StageResult::Cancelled) return EndRun();
    ownHandle = Handle();
    library_ = &library;

    if (staged == StageResult::Loaded) {
        RunPass(false);
        RunPass(true);
    } else {
        // Without the library no archive can be unpacked: running on would
        // end as a success with nothing installed. The run stops as a
        // cancel does, so that what was done is taken back.
        cancelRequested = 1;
    }

    UnloadUnpackLibrary(library);
    library_ = nullptr;
    for (int n = 1; n <= 3; ++n) state.componentSelected[n] = conditionFlags[n];
    state.runMemory.JoinConditionFlags(conditionFlags);
    return EndRun();
}

void ScriptEngine::RunPass(bool work)
{
    int32_t sum = 0;
    for (int k = 0;; ++k) {
        uint16_t number = 0;
        std::string command, rest;
        LineKind kind = ReadLine(k, number, command, rest);
        if (kind == LineKind::Invalid) break;
        if (kind == LineKind::Inactive) continue;
        if (command == "END") break;
        if (command == "IFEXIST" || command == "IFNOTEXIST") {
            RunIfExist(command, rest);
        } else if (command == "IFAND") {
            RunIfAnd(rest);
        } else if (!work) {
            if (command == "UNZPK" || command == "COPY") sum += TakeNumber(rest);
        } else if (command == "UNZPK") {
            FlushInstallLog();
            Archive archive;
            int prepared = PrepareArchive(rest, archive);
            if (prepared == 0) break;
            // A line whose path does not resolve has been reported; it is
            // passed over.
            if (prepared == -1) continue;
            int share = TakeShare(archive.weight);
            int result = UnpackArchive(*library_, archive.path, archive.destination, progressDone,
                                       share, number);
            progressDone += share;
            if (result == kUnpackStopped) break;
        } else if (command == "COPY") {
            FlushInstallLog();
            if (RunCopyLine(rest, number) == kCopyStopped) break;
        } else if (command == "DELETE") {
            RunDelete(rest);
        }
    }
    if (!work) totalWeight = sum;
}

int ScriptEngine::EndRun()
{
    if (cancelRequested != 1) {
        // The last billboard stays until its tick has come.
        WaitForBillboardTick();
    }
    // An exit confirmed while waiting for the tick is honoured too.
    if (cancelRequested == 1) {
        StopBillboards();
        DestroyOwnWindow();
        return kRunStopped;
    }
    StopBillboardTimer();
    OnProgress(100);
    StopBillboards();
    DestroyOwnWindow();
    return kRunDone;
}
