#include "script/UnpackLibrary.h"

#include <cstdio>

#include "fw/ResString.h"
#include "resources/resource.h"
#include "script/EngineStages.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"

const char kUnpackLibraryName[] = "CUNPCK32.DLL";
const char kStagedLibraryName[] = "CUNPACK.DLL";

namespace {

ArchiveTimes ReadArchiveTimes(const std::string& path)
{
    ArchiveTimes archive;
    archive.known = fw::ReadFileTimes(path, archive.times);
    return archive;
}

template <typename Proc>
Proc EntryPoint(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

// The library's three entry points for one archive. From a successful
// Open on, End is called exactly once, on every path.
class Binding {
public:
    explicit Binding(HMODULE module)
        : init_(EntryPoint<CunpackInitProc>(module, CUNPACK_INIT_NAME)),
          exec_(EntryPoint<CunpackExecProc>(module, CUNPACK_EXEC_NAME)),
          exit_(EntryPoint<CunpackExitProc>(module, CUNPACK_EXIT_NAME))
    {
    }
    bool HasInit() const { return init_ != nullptr; }
    bool HasExit() const { return exit_ != nullptr; }
    // CUNPACK_FAILED when the archive cannot be opened.
    int Open(const std::string& archive, const std::string& destination, int base, int share, HWND window,
             volatile LONG* cancelFlag)
    {
        return Timed([&] {
            return init_(archive.c_str(), destination.c_str(), base, share, window, UM_PROGRESS, cancelFlag);
        });
    }
    // A library without exec reports an error.
    int Next(UnpackLibrary& library)
    {
        int result = Timed([&] { return exec_ ? exec_(library.nameBuffer, &library.auxValue) : CUNPACK_FAILED; });
        // Whatever the library wrote, the text ends within the buffer.
        library.nameBuffer[kUnpackNameBuffer - 1] = '\0';
        return result;
    }
    // CUNPACK_FAILED when it could not end cleanly, or has no exit.
    int End()
    {
        return Timed([&] { return exit_ ? exit_() : CUNPACK_FAILED; });
    }

private:
    template <class Call>
    int Timed(Call call)
    {
        int64_t since = engine_stages::Now();
        int result = call();
        engine_stages::Add(engine_stages::kLibrary, since);
        return result;
    }

    CunpackInitProc init_;
    CunpackExecProc exec_;
    CunpackExitProc exit_;
};

}  // namespace

StageResult ScriptEngine::StageUnpackLibrary(UnpackLibrary& library)
{
    // The library must be on the media: diskette 1 is asked for.
    if (AskForDisk(1, kUnpackLibraryName) < 0) return StageResult::Cancelled;
    library.mediaPath = state_.sourceDir + "\\" + kUnpackLibraryName;
    library.stagedPath = state_.windowsDir + "\\" + kStagedLibraryName;
    view_.ShowFiles(library.mediaPath, library.stagedPath);
    // A staged copy that an earlier run left (it was killed) is the
    // installer's own: it goes rather than being kept as the user's.
    DeleteFileA(library.stagedPath.c_str());

    for (bool firstFailure = true;; firstFailure = false) {
        int copied = CopyFileWithTimes(library.mediaPath, library.stagedPath, 0, 1, 1);
        if (copied == kCopied) break;
        if (copied != kCopyStopped) {
            if (firstFailure) MessageBeep(MB_OK);
            bool retry = view_.AskRetry(IDS_CANNOT_STAGE, library.stagedPath);
            run_.askOnError = 0;
            if (retry) continue;
        }
        view_.cancelRequested = 1;
        run_.askOnError = 1;
        // A copy that broke off is no use to anybody.
        DeleteFileA(library.stagedPath.c_str());
        return StageResult::Cancelled;
    }
    // The staging copy worked: later copy failures are asked again, so the
    // user hears of every file that does not land and may still stop.
    run_.askOnError = 1;

    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    library.handle = LoadLibraryA(library.stagedPath.c_str());
    SetErrorMode(previousMode);
    if (!library.handle) {
        view_.ReportError(IDS_LIBRARY_NOT_LOADED, library.stagedPath);
        library.loadFailed = true;
        return StageResult::NotLoaded;
    }
    return StageResult::Loaded;
}

void ScriptEngine::UnloadUnpackLibrary(UnpackLibrary& library)
{
    if (library.handle) FreeLibrary(library.handle);
    library.handle = nullptr;
    engine_stages::Trace();
    if (library.stagedPath.empty()) return;
    if (std::remove(library.stagedPath.c_str()) == -1)
        view_.ReportError(IDS_CANNOT_DELETE, library.stagedPath);
}

void ScriptEngine::TakeUnpackedFile(const std::string& name, const std::string& destinationDir,
                                    int lineNumber, const ArchiveTimes& times)
{
    int64_t t = engine_stages::Now();
    if (times.known) fw::SetFileTimes(name, times.times);
    engine_stages::Add(engine_stages::kStamp, t);
    t = engine_stages::Now();
    AddFileRecord(lineNumber, name, state_.installLogPath);
    AddDirectoryRecord(lineNumber, name, state_.installLogPath);
    // A face that answers the library's questions has heard of every file
    // it replaced: one it did not keep is new. Without one, nobody knows.
    if (view_.ProgressTarget() && !state_.runMemory.IsRunsOwn(name)) state_.runMemory.RecordMadeAnew(name);
    if (++run_.recordsSinceCheckpoint >= kCheckpointRecords || GetTickCount() - run_.lastCheckpoint >= kCheckpointMs)
        Checkpoint();
    engine_stages::Add(engine_stages::kRecords, t);
    // Only the destination changes within an archive: the source shown is
    // the archive itself, set when its line began.
    t = engine_stages::Now();
    view_.ShowDestination(name);
    engine_stages::Add(engine_stages::kDisplay, t);
}

std::string UnpackResultName(int result)
{
    switch (result) {
    case kUnpackDone: return "unpacked";
    case kUnpackError: return "error while unpacking";
    case kUnpackFailed: return "not opened or not ended cleanly";
    case kUnpackNotOpened: return "not opened";
    case kUnpackStopped: return "stopped";
    default: return "result " + std::to_string(result);
    }
}

int ScriptEngine::StopInLibrary()
{
    view_.LeaveAfterCancel();
    view_.cancelRequested = 1;
    return kUnpackStopped;
}

int ScriptEngine::UnpackArchive(UnpackLibrary& library, const std::string& archivePath,
                                const std::string& destinationDir, int base, int share,
                                int lineNumber)
{
    if (view_.cancelRequested == 1) return StopInLibrary();
    ArchiveTimes times = ReadArchiveTimes(archivePath);

    Binding binding(library.handle);
    if (!binding.HasInit()) return kUnpackNotOpened;

    // A face that answers the library's questions lets it stamp each file
    // with the archive's times while the file is still open; otherwise each
    // file is reopened and stamped here.
    RunMemory::ArchiveStamp& stamp = state_.runMemory.archiveStamp;
    stamp = {times.times, times.known, false};
    const int opened = binding.Open(archivePath, destinationDir, base, share, view_.ProgressTarget(),
                                    reinterpret_cast<volatile LONG*>(&view_.cancelRequested));
    if (stamp.taken) times.known = false;
    stamp = {};
    if (opened == CUNPACK_FAILED) {
        view_.ReportUnpackError(IDS_UNPACK_OPEN_ERROR, IDS_UNPACK_OPEN_CAPTION);
        if (!binding.HasExit()) return kUnpackFailed;
        if (binding.End() == CUNPACK_FAILED) {
            view_.ReportUnpackError(IDS_UNPACK_EXIT_ERROR, IDS_UNPACK_OPEN_CAPTION);
            return kUnpackFailed;
        }
        return kUnpackNotOpened;
    }

    for (;;) {
        switch (binding.Next(library)) {
        case CUNPACK_FAILED: {
            if (view_.cancelRequested == 0) view_.ReportUnpackError(IDS_UNPACK_ERROR, IDS_UNPACK_ERROR_CAPTION);
            int ended = binding.End();
            if (view_.cancelRequested == 1) return StopInLibrary();
            if (ended == CUNPACK_FAILED) {
                view_.ReportUnpackError(IDS_UNPACK_EXIT_ERROR, IDS_UNPACK_ERROR_CAPTION);
                return kUnpackFailed;
            }
            return kUnpackError;
        }
        case CUNPACK_FILE_WRITTEN:
            // The library reports each file once it is written and closed:
            // the name in the buffer is the file to stamp.
            TakeUnpackedFile(library.nameBuffer, destinationDir, lineNumber, times);
            ++run_.membersTaken;
            break;
        case CUNPACK_STOPPED:
            binding.End();
            return StopInLibrary();
        case CUNPACK_DONE:
            binding.End();
            return kUnpackDone;
        default:
            break;
        }
    }
}
