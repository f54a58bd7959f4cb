// The commands of the install script, one function each, and the diskette
// prompting that "UNZPK" and the library staging share.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "app/MainWindow.h"
#include "fw/ResString.h"
#include "progress/DiskPromptDialog.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"
#include "script/ScriptIds.h"
#include "script/ScriptLine.h"

namespace {

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The directory part of a full path (up to its last "\"), or the path.
std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

}  // namespace

int ScriptEngine::TakeShare(int weight)
{
    if (totalWeight == 0) return 0;
    double p = weight * 100.0 / totalWeight;
    if (p < 0.2) return 0;
    int share;
    if (roundUpNext == 0) {
        share = (int)std::floor(p);
        roundUpNext = 1;
    } else {
        share = (int)std::ceil(p);
        roundUpNext = 0;
    }
    return share;
}

void ScriptEngine::MakeLineDirectory(const std::string& directory)
{
    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    state.runMemory.RecordMadeDirectories(creation.made);
    // The line still runs and its open or copy error follows; the message
    // says which directory is to blame.
    if (CannotUseDirectory(creation, directory)) ReportError(IDS_CANNOT_MAKE_DIRECTORY, directory);
}

int ScriptEngine::AskForDisk(int disk, const std::string& fileName)
{
    int shown = 0;
    for (;;) {
        if (PathExists(state.sourceDir + "\\" + fileName)) return shown;
        if (shown >= 2) ReportError(IDS_FILE_MUST_BE_HERE, fileName);
        if (shown == 0) MessageBeep(MB_OK);
        DiskPromptDialog prompt(main_ ? main_->Handle() : nullptr, state.sourceDir);
        prompt.SetDiskLabel(fw::LoadResString(IDS_DISK_LABEL_BASE + disk));
        prompt.SetHostRect(templateRect.left, templateRect.top, templateRect.right,
                           templateRect.bottom);
        if (Handle()) EnableWindow(Handle(), FALSE);
        int answer = prompt.Run();
        if (Handle()) EnableWindow(Handle(), TRUE);
        if (answer != DiskPromptDialog::kContinue) {
            cancelRequested = 1;
            return -1;
        }
        state.SetSourceDir(prompt.location);
        ++shown;
    }
}

int ScriptEngine::InsertDisk(int disk, const std::string& fileName)
{
    sourceText = state.sourceDir + "\\" + fileName;
    UpdateData(false);
    int shown = AskForDisk(disk, fileName);
    if (shown < 0) return 0;
    if (shown > 0 && Handle()) {
        Invalidate(false);
        Update();
    }
    sourceText = state.sourceDir + "\\" + fileName;
    UpdateData(false);
    return 1;
}

int ScriptEngine::PrepareArchive(std::string& rest, Archive& archive)
{
    UnpackArgs args;
    if (!ReadUnpackArgs(rest, state.sourceDir, directories, args)) return -1;
    archive.weight = args.weight;
    size_t slash = args.path.rfind('\\');
    std::string name = slash == std::string::npos ? args.path : args.path.substr(slash + 1);
    archive.destination = DirectoryOf(args.path);
    MakeLineDirectory(archive.destination);
    if (!InsertDisk(args.diskette, name)) return 0;
    // The prompt may have moved the source directory.
    archive.path = state.sourceDir + "\\" + name;
    return 1;
}

int ScriptEngine::RunCopyLine(std::string& rest, int number)
{
    CopyArgs args;
    CopyArgsResult read = ReadCopyArgs(rest, state.sourceDir, directories, args);
    if (read == CopyArgsResult::EmptySource) {
        ReportError(IDS_EMPTY_FILE_NAME, "");
        return 1;
    }
    if (read == CopyArgsResult::Unresolved) return 1;
    MakeLineDirectory(DirectoryOf(args.destination));
    ShowFiles(args.source, args.destination);
    if (CopyFileWithTimes(args.source, args.destination, number, 0, 1) == kCopyStopped)
        return kCopyStopped;
    progressDone += TakeShare(args.weight);
    OnProgress(progressDone);
    return 0;
}

void ScriptEngine::RunIfExist(const std::string& command, std::string& rest)
{
    IfExistArgs args;
    if (!ReadIfExistArgs(rest, state.sourceDir, directories, args)) return;
    bool exists = PathExists(args.path);
    bool holds = command == "IFEXIST" ? exists : !exists;
    if (holds && args.flag >= 1 && args.flag <= 9) conditionFlags[args.flag] = 1;
}

void ScriptEngine::RunIfAnd(std::string& rest)
{
    IfAndArgs args = ReadIfAndArgs(rest);
    // 31, 41, 51 and 61 are not among the numbers this test knows.
    auto test = [this](int x) {
        if (x == 0) return true;
        if (x >= 1 && x <= 9) return conditionFlags[x] == 1;
        if ((x >= 11 && x <= 18) || x == 21) return state.componentSelected[x] == 1;
        return false;
    };
    if (test(args.a) && test(args.b) && args.flag >= 1 && args.flag <= 9)
        conditionFlags[args.flag] = 1;
}

void ScriptEngine::RunDelete(std::string& rest)
{
    std::string path;
    if (!ReadDeleteArgs(rest, state.sourceDir, directories, path)) return;
    std::remove(path.c_str());
}
