#include "script/UnpackLibrary.h"

#include <cstdio>

#include "fw/File.h"
#include "fw/ResString.h"
#include "resources/resource.h"
#include "script/EngineStages.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"
#include "script/ScriptIds.h"

const char kUnpackLibraryName[] = "CUNPCK32.DLL";
const char kStagedLibraryName[] = "CUNPACK.DLL";

namespace {

using InitProc = int(WINAPI*)(const char*, const char*, int, int, HWND, UINT, volatile LONG*);
using ExecProc = int(WINAPI*)(char*, DWORD*);
using ExitProc = int(WINAPI*)();

// The archive's times, given to every file it puts on disk.
struct ArchiveTimes {
    fw::FileTimes times;
    bool known = false;
};

ArchiveTimes ReadArchiveTimes(const std::string& path)
{
    ArchiveTimes archive;
    archive.known = fw::ReadFileTimes(path, archive.times);
    return archive;
}

void StampFile(const std::string& path, const ArchiveTimes& archive)
{
    if (archive.known) fw::SetFileTimes(path, archive.times);
}

template <typename Proc>
Proc EntryPoint(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

StageResult ScriptEngine::StageUnpackLibrary(UnpackLibrary& library)
{
    // The library must be on the media: diskette 1 is asked for.
    if (AskForDisk(1, kUnpackLibraryName) < 0) return StageResult::Cancelled;
    library.mediaPath = state.sourceDir + "\\" + kUnpackLibraryName;
    library.stagedPath = state.windowsDir + "\\" + kStagedLibraryName;
    ShowFiles(library.mediaPath, library.stagedPath);

    for (bool firstFailure = true;; firstFailure = false) {
        int copied = CopyFileWithTimes(library.mediaPath, library.stagedPath, 0, 1, 1);
        if (copied == kCopied) break;
        if (copied != kCopyStopped) {
            if (firstFailure) MessageBeep(MB_OK);
            int answer = MessageBoxA(MessageOwner(),
                                     fw::FormatResString(IDS_CANNOT_STAGE, library.stagedPath).c_str(),
                                     fw::LoadResString(IDS_APP_TITLE).c_str(),
                                     MB_RETRYCANCEL | MB_ICONINFORMATION);
            askOnError = 0;
            if (answer == IDRETRY) continue;
        }
        cancelRequested = 1;
        askOnError = 1;
        // A copy that broke off is no use to anybody.
        DeleteFileA(library.stagedPath.c_str());
        return StageResult::Cancelled;
    }
    // The staging copy worked: later copy failures are asked again, so the
    // user hears of every file that does not land and may still stop.
    askOnError = 1;

    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    library.handle = LoadLibraryA(library.stagedPath.c_str());
    SetErrorMode(previousMode);
    if (!library.handle) {
        ReportError(IDS_LIBRARY_NOT_LOADED, library.stagedPath);
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
        ReportError(IDS_CANNOT_DELETE, library.stagedPath);
}

int ScriptEngine::UnpackArchive(UnpackLibrary& library, const std::string& archivePath,
                                const std::string& destinationDir, int base, int share,
                                int lineNumber)
{
    if (cancelRequested == 1) {
        EndWithCancel();
        return kUnpackStopped;
    }
    ArchiveTimes times = ReadArchiveTimes(archivePath);

    auto init = EntryPoint<InitProc>(library.handle, "_cunpack_init@28");
    auto exec = EntryPoint<ExecProc>(library.handle, "_cunpack_exec@8");
    auto exit = EntryPoint<ExitProc>(library.handle, "_cunpack_exit@0");
    if (!init) return kUnpackNotOpened;

    auto box = [this](UINT messageId, UINT captionId) {
        MessageBoxA(UnpackErrorOwner(), fw::LoadResString(messageId).c_str(),
                    fw::LoadResString(captionId).c_str(), MB_OK | MB_ICONEXCLAMATION);
    };

    // From here on exit is called exactly once, on every path.
    int64_t inLibrary = engine_stages::Now();
    int opened = init(archivePath.c_str(), destinationDir.c_str(), base, share, ownHandle,
                      UM_PROGRESS, reinterpret_cast<volatile LONG*>(&cancelRequested));
    engine_stages::Add(engine_stages::kLibrary, inLibrary);
    if (opened == 1) {
        box(IDS_UNPACK_OPEN_ERROR, IDS_UNPACK_OPEN_CAPTION);
        if (!exit) return kUnpackFailed;
        if (exit() == 1) {
            box(IDS_UNPACK_EXIT_ERROR, IDS_UNPACK_OPEN_CAPTION);
            return kUnpackFailed;
        }
        return kUnpackNotOpened;
    }

    for (;;) {
        inLibrary = engine_stages::Now();
        int result = exec ? exec(library.nameBuffer, &library.auxValue) : 1;
        engine_stages::Add(engine_stages::kLibrary, inLibrary);
        // Whatever the library wrote, the text ends within the buffer.
        library.nameBuffer[kUnpackNameBuffer - 1] = '\0';
        switch (result) {
        case 1: {
            if (cancelRequested == 0) box(IDS_UNPACK_ERROR, IDS_UNPACK_ERROR_CAPTION);
            int ended = exit ? exit() : 1;
            if (cancelRequested == 1) {
                EndWithCancel();
                return kUnpackStopped;
            }
            if (ended == 1) {
                box(IDS_UNPACK_EXIT_ERROR, IDS_UNPACK_ERROR_CAPTION);
                return kUnpackFailed;
            }
            return kUnpackError;
        }
        case 2: {
            // The library reports each file once it is written and closed:
            // the name in the buffer is the file to stamp.
            std::string name = library.nameBuffer;
            int64_t t = engine_stages::Now();
            StampFile(name, times);
            engine_stages::Add(engine_stages::kStamp, t);
            t = engine_stages::Now();
            destinationText = name;
            fw::ToUpper(destinationText);
            AddFileRecord(lineNumber, name, state.installLogPath);
            AddDirectoryRecord(lineNumber, name, state.installLogPath);
            state.runMemory.RecordUnpackedFile(destinationDir, name);
            engine_stages::Add(engine_stages::kRecords, t);
            // Only the destination changes within an archive: the source
            // shown is the archive itself, set when its line began.
            t = engine_stages::Now();
            SetItemText(IDC_DESTINATION_TEXT, destinationText);
            engine_stages::Add(engine_stages::kDisplay, t);
            break;
        }
        case 4:
            if (exit) exit();
            EndWithCancel();
            cancelRequested = 1;
            return kUnpackStopped;
        case 0:
            inLibrary = engine_stages::Now();
            if (exit) exit();
            engine_stages::Add(engine_stages::kLibrary, inLibrary);
            return kUnpackDone;
        default:
            break;
        }
    }
}
