#include "resources/resource.h"
#include "script/ScriptEngine.h"

#include "fw/DiagnosticLog.h"
#include "script/InstallLog.h"
#include "script/ScriptLine.h"

ScriptEngine::ScriptEngine(InstallState& state, EngineView& view) : state_(state), view_(view) {}

void ScriptEngine::TakeRunCopies()
{
    run_.directories = DirectoryValuesOf(state_);
    run_.componentFlags = state_.componentSelected;
    for (int n = component::kFirstCondition; n <= component::kLastSeededCondition; ++n)
        run_.conditionFlags[n] = state_.componentSelected[n];
    state_.runMemory.JoinComponentFlags(run_.componentFlags);
}

bool ScriptEngine::IsLineActive(int number) const
{
    if (number == component::kAlways) return true;
    if (component::IsCondition(number)) return run_.conditionFlags[number] == 1;
    return number > component::kLastCondition &&
           IsRecognisedComponent(ComponentConsumer::ScriptLines, number) && run_.componentFlags[number] == 1;
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
        view_.ReportError(IDS_INVALID_RECORD, "");
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
    run_.progressDone = 0;
    run_.roundUpNext = 0;
    state_.runMemory.installStarted = true;
    if (PrepareInstallLogs() == -1) return kRunBack;
    state_.ReleaseComponentsPage();
    view_.StartBillboards();

    state_.SetWindowsDir(WindowsDirectory());

    UnpackLibrary library;
    StageResult staged = StageUnpackLibrary(library);
    // A cancel while staging leaves nothing loaded: straight to the end.
    if (staged == StageResult::Cancelled) return EndRun();
    library_ = &library;

    if (staged == StageResult::Loaded) {
        RunPass(false);
        RunPass(true);
    } else {
        // Without the library no archive can be unpacked: running on would
        // end as a success with nothing installed. The run stops as a
        // cancel does, so that what was done is taken back.
        view_.cancelRequested = 1;
    }

    UnloadUnpackLibrary(library);
    library_ = nullptr;
    for (int n = component::kFirstCondition; n <= component::kLastSeededCondition; ++n)
        state_.componentSelected[n] = run_.conditionFlags[n];
    state_.runMemory.JoinConditionFlags(run_.conditionFlags);
    // The records of the last line reach the disk before the last
    // billboard's wait, during which the run could be ended.
    Checkpoint();
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
            Checkpoint();
            const std::string fields = rest;
            Archive archive;
            int prepared = PrepareArchive(rest, archive);
            if (prepared != 1) {
                LogLine(k, number, command, fields, prepared == 0 ? "diskette not found" : "path not resolved");
                if (prepared == 0) break;
                // A line whose path does not resolve has been reported; it
                // is passed over.
                continue;
            }
            int share = TakeShare(archive.weight);
            const DWORD started = GetTickCount();
            run_.membersTaken = 0;
            int result = UnpackArchive(*library_, archive.path, archive.destination, run_.progressDone,
                                       share, number);
            run_.progressDone += share;
            LogLine(k, number, command, archive.path,
                    UnpackResultName(result) + ", " + std::to_string(run_.membersTaken) + " files in " +
                        std::to_string(GetTickCount() - started) + " ms");
            if (result == kUnpackStopped) break;
        } else if (command == "COPY") {
            Checkpoint();
            const std::string fields = rest;
            int result = RunCopyLine(rest, number);
            LogLine(k, number, command, fields,
                    result == 0 ? "copied" : result == kCopyStopped ? "stopped" : "nothing copied");
            if (result == kCopyStopped) break;
        } else if (command == "DELETE") {
            LogLine(k, number, command, rest, "done");
            RunDelete(rest);
        }
        // A stop asked for on the way (an exit confirmed, or a failure
        // that ends a run without a person) ends the pass here: no further
        // line starts after it.
        if (work && view_.cancelRequested == 1) break;
    }
    if (!work) run_.totalWeight = sum;
}

void ScriptEngine::Checkpoint()
{
    FlushInstallLog();
    run_.recordsSinceCheckpoint = 0;
    run_.lastCheckpoint = GetTickCount();
}

void ScriptEngine::LogLine(int k, int number, const std::string& command, const std::string& file,
                           const std::string& result) const
{
    if (fw::diag::IsOpen())
        fw::diag::Write("script line " + std::to_string(k + 1) + ": " + std::to_string(number) + " " + command + " " +
                        file + ": " + result);
}

int ScriptEngine::AskOnError(UINT messageId, const std::string& argument, int silent)
{
    if (run_.askOnError != 1 || silent == 1) return kCopyFailed;
    if (view_.AskGoOn(messageId, argument)) return kCopyFailed;
    view_.cancelRequested = 1;
    return kCopyStopped;
}

int ScriptEngine::EndRun()
{
    if (view_.cancelRequested != 1) {
        // The last billboard stays until its tick has come.
        view_.WaitForBillboardTick();
    }
    // An exit confirmed while waiting for the tick is honoured too.
    bool completed = view_.cancelRequested != 1;
    view_.Close(completed);
    return completed ? kRunDone : kRunStopped;
}
