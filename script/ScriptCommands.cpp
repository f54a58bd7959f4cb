// The commands of the install script, one function each, and the diskette
// prompting that "UNZPK" and the library staging share.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "fsutil/FsUtil.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"
#include "script/ScriptLine.h"

namespace {

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int ScriptEngine::TakeShare(int weight)
{
    if (run_.totalWeight == 0) return 0;
    double p = weight * 100.0 / run_.totalWeight;
    if (p < 0.2) return 0;
    int share;
    if (run_.roundUpNext == 0) {
        share = (int)std::floor(p);
        run_.roundUpNext = 1;
    } else {
        share = (int)std::ceil(p);
        run_.roundUpNext = 0;
    }
    return share;
}

void ScriptEngine::MakeLineDirectory(const std::string& directory)
{
    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    state_.runMemory.RecordMadeDirectories(creation.made);
    // The line still runs and its open or copy error follows; the message
    // says which directory is to blame.
    if (CannotUseDirectory(creation, directory)) view_.ReportError(IDS_CANNOT_MAKE_DIRECTORY, directory);
}

int ScriptEngine::AskForDisk(int disk, const std::string& fileName)
{
    int shown = 0;
    for (;;) {
        if (PathExists(state_.sourceDir + "\\" + fileName)) return shown;
        if (shown >= 2) view_.ReportError(IDS_FILE_MUST_BE_HERE, fileName);
        if (shown == 0) MessageBeep(MB_OK);
        std::string location = state_.sourceDir;
        if (!view_.PromptForDisk(disk, location)) {
            view_.cancelRequested = 1;
            return -1;
        }
        state_.SetSourceDir(location);
        ++shown;
    }
}

int ScriptEngine::InsertDisk(int disk, const std::string& fileName)
{
    view_.ShowSource(state_.sourceDir + "\\" + fileName);
    int shown = AskForDisk(disk, fileName);
    if (shown < 0) return 0;
    if (shown > 0) view_.Refresh();
    view_.ShowSource(state_.sourceDir + "\\" + fileName);
    return 1;
}

int ScriptEngine::PrepareArchive(std::string& rest, Archive& archive)
{
    UnpackArgs args;
    if (!ReadUnpackArgs(rest, state_.sourceDir, run_.directories, args)) return -1;
    archive.weight = args.weight;
    size_t slash = args.path.rfind('\\');
    std::string name = slash == std::string::npos ? args.path : args.path.substr(slash + 1);
    archive.destination = DirectoryOf(args.path);
    MakeLineDirectory(archive.destination);
    if (!InsertDisk(args.diskette, name)) return 0;
    // The prompt may have moved the source directory.
    archive.path = state_.sourceDir + "\\" + name;
    return 1;
}

int ScriptEngine::RunCopyLine(std::string& rest, int number)
{
    CopyArgs args;
    CopyArgsResult read = ReadCopyArgs(rest, state_.sourceDir, run_.directories, args);
    if (read == CopyArgsResult::EmptySource) {
        view_.ReportError(IDS_EMPTY_FILE_NAME, "");
        return 1;
    }
    if (read == CopyArgsResult::Unresolved) return 1;
    MakeLineDirectory(DirectoryOf(args.destination));
    view_.ShowFiles(args.source, args.destination);
    if (CopyFileWithTimes(args.source, args.destination, number, 0, 1) == kCopyStopped)
        return kCopyStopped;
    run_.progressDone += TakeShare(args.weight);
    view_.Progress(run_.progressDone);
    return 0;
}

void ScriptEngine::RunIfExist(const std::string& command, std::string& rest)
{
    IfExistArgs args;
    if (!ReadIfExistArgs(rest, state_.sourceDir, run_.directories, args)) return;
    bool exists = PathExists(args.path);
    bool holds = command == "IFEXIST" ? exists : !exists;
    if (holds && component::IsCondition(args.flag)) run_.conditionFlags[args.flag] = 1;
}

void ScriptEngine::RunIfAnd(std::string& rest)
{
    IfAndArgs args = ReadIfAndArgs(rest);
    // The test reads the component flags as they are now, not the run's
    // copy; only some components are among the numbers it knows.
    auto test = [this](int x) {
        if (x == component::kAlways) return true;
        if (component::IsCondition(x)) return run_.conditionFlags[x] == 1;
        return IsRecognisedComponent(ComponentConsumer::IfAndTest, x) && state_.componentSelected[x] == 1;
    };
    if (test(args.a) && test(args.b) && component::IsCondition(args.flag))
        run_.conditionFlags[args.flag] = 1;
}

void ScriptEngine::RunDelete(std::string& rest)
{
    std::string path;
    if (!ReadDeleteArgs(rest, state_.sourceDir, run_.directories, path)) return;
    // What was there before the run is deleted for this install and kept
    // until it completes (a file that cannot be kept stays where it is);
    // what the run itself wrote just goes, and what it had kept from there
    // stays deleted when the install completes.
    RunMemory& memory = state_.runMemory;
    if (!memory.IsRunsOwn(path)) {
        KeepAside(memory, path, true);
        return;
    }
    std::remove(path.c_str());
    for (KeptFile& kept : memory.keptFiles)
        if (lstrcmpiA(kept.original.c_str(), path.c_str()) == 0) kept.replaced = false;
}
