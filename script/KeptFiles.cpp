#include "script/KeptFiles.h"

#include <cstdlib>
#include <vector>

#include "fsutil/FsUtil.h"
#include "fw/DiagnosticLog.h"
#include "fw/File.h"
#include "state/RunMemory.h"
#include "unpack/cunpack.h"

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The root of the drive of `path`: "C:" or "\\SERVER\SHARE"; empty when
// the path names none.
std::string DriveRoot(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        size_t server = path.find('\\', 2);
        if (server == std::string::npos) return {};
        size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
}

// Appends one line to the folder's list and makes sure it is on the disk
// before the move it announces.
bool AppendToList(const std::string& folder, const std::string& line)
{
    const std::string list = folder + "\\" + kept_files::kListName;
    HANDLE file = CreateFileA(list.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    SetFilePointer(file, 0, nullptr, FILE_END);
    const std::string text = line + "\r\n";
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    FlushFileBuffers(file);
    return CloseHandle(file) && whole;
}

// The run's keep folder on the drive of `path`, made when it is the first
// on that drive; empty when none can be had. Each run makes folders of its
// own ("~CVKEEP.<process>.<n>"), so that two runs' files never share a list.
std::string KeepFolderFor(RunMemory& memory, const std::string& path)
{
    const std::string root = DriveRoot(path);
    if (root.empty()) return {};
    for (const std::string& known : memory.keepFolders)
        if (SamePath(DriveRoot(known), root)) return known;
    const std::string stem = root + "\\" + kept_files::kFolderName + "." + std::to_string(GetCurrentProcessId()) + ".";
    for (int n = 1; n < 1000; ++n) {
        const std::string folder = stem + std::to_string(n);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
            memory.keepFolders.push_back(folder);
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

// A name in the keep folder that no file of it has yet.
std::string FreeName(const std::string& folder, char kind, size_t number)
{
    for (size_t n = number;; ++n) {
        std::string name = std::string(1, kind) + std::to_string(n);
        if (GetFileAttributesA((folder + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

void RemoveFolder(const std::string& folder)
{
    DeleteFileA((folder + "\\" + kept_files::kListName).c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") DeleteFileA((folder + "\\" + name).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) return fields;
        at = tab + 1;
    }
}

// The unpack library's half-written files in `directory` ("CUN*.TMP").
void RemoveHalfWrittenFiles(const std::string& directory)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((directory + "\\CUN*.TMP").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do DeleteFileA((directory + "\\" + found.cFileName).c_str());
    while (FindNextFileA(find, &found));
    FindClose(find);
}

// Puts back what one killed run's folder holds, last first.
int RecoverFolder(const std::string& folder)
{
    std::string text;
    fw::ReadWholeFile(folder + "\\" + kept_files::kListName, text);
    std::vector<std::vector<std::string>> entries;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) entries.push_back(Fields(line));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    int putBack = 0;
    bool whole = true;
    for (size_t i = entries.size(); i-- > 0;) {
        const std::vector<std::string>& e = entries[i];
        if (e.size() == 3 && e[0] == "F") {
            const std::string kept = folder + "\\" + e[1];
            // A line written just before a kill whose move never came.
            if (!FileExists(kept)) continue;
            RemoveHalfWrittenFiles(DirectoryOf(e[2]));
            if (MoveReplacing(kept, e[2])) ++putBack;
            else whole = false;
        } else if (e.size() == 4 && e[0] == "L") {
            const std::string kept = folder + "\\" + e[1];
            std::string bytes;
            if (e[2] == "1" && fw::ReadWholeFile(kept, bytes)) {
                WritePrivateProfileStringA(nullptr, nullptr, nullptr, e[3].c_str());
                if (WriteWholeFile(e[3], bytes)) ++putBack;
                else whole = false;
            } else if (e[2] == "0") {
                DeleteFileA(e[3].c_str());
                ++putBack;
            }
        }
    }
    // A folder whose files could not all go back stays, with its list.
    if (whole) RemoveFolder(folder);
    return putBack;
}

}  // namespace

bool KeepAside(RunMemory& memory, const std::string& path, bool deleting)
{
    if (!FileExists(path)) return false;
    const std::string folder = KeepFolderFor(memory, path);
    if (folder.empty()) return false;
    const std::string name = FreeName(folder, 'F', memory.keptFiles.size() + 1);
    const std::string kept = folder + "\\" + name;
    if (!AppendToList(folder, "F\t" + name + "\t" + path)) return false;
    if (!MoveFileA(path.c_str(), kept.c_str())) return false;
    memory.AddKeptFile({path, kept, !deleting});
    return true;
}

void KeepLog(RunMemory& memory, const std::string& path)
{
    if (memory.FindKeptLog(path)) return;
    memory.KeepLogBeforeWrite(path);
    const KeptLog* log = memory.FindKeptLog(path);
    // A log whose earlier bytes are unknown is never put back.
    if (!log || !log->known) return;
    // The copy waits on the drive of the temporary folder: a log's own
    // drive may be the full one, and a copy needs no rename.
    char temp[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    const std::string folder = KeepFolderFor(memory, length > 0 && length < MAX_PATH ? std::string(temp) : path);
    if (folder.empty()) return;
    const std::string name = FreeName(folder, 'L', memory.keptLogs.size());
    if (log->existed && !WriteWholeFile(folder + "\\" + name, log->bytes)) return;
    AppendToList(folder, "L\t" + name + "\t" + (log->existed ? "1" : "0") + "\t" + path);
}

void DropKeptFiles(RunMemory& memory)
{
    int back = 0;
    for (size_t i = memory.keptFiles.size(); i-- > 0;) {
        const KeptFile& file = memory.keptFiles[i];
        // A file kept for a write that never came (a damaged member) goes
        // back; one kept for a deletion, or written over, goes.
        if (file.replaced && !FileExists(file.original) && MoveReplacing(file.kept, file.original)) ++back;
        else DeleteFileA(file.kept.c_str());
    }
    for (const std::string& folder : memory.keepFolders) RemoveFolder(folder);
    fw::diag::Write("kept files dropped: " + std::to_string(memory.keptFiles.size() - back) + ", " +
                    std::to_string(back) + " put back where no new file came");
    memory.ForgetKeptFiles();
}

int PutKeptFilesBack(RunMemory& memory)
{
    int failed = 0;
    std::vector<std::string> keepFolders;
    for (size_t i = memory.keptFiles.size(); i-- > 0;) {
        const KeptFile& file = memory.keptFiles[i];
        if (!MoveReplacing(file.kept, file.original)) {
            ++failed;
            keepFolders.push_back(DirectoryOf(file.kept));
        }
    }
    for (const std::string& folder : memory.keepFolders) {
        bool holdsAFailure = false;
        for (const std::string& kept : keepFolders) holdsAFailure = holdsAFailure || SamePath(kept, folder);
        if (!holdsAFailure) RemoveFolder(folder);
    }
    fw::diag::Write("undo: " + std::to_string(memory.keptFiles.size() - failed) + " kept files put back" +
                    (failed ? ", " + std::to_string(failed) + " could not be" : std::string()));
    memory.ForgetKeptFiles();
    return failed;
}

bool AnswerLibraryQuestion(RunMemory& memory, UINT message, LPARAM path, LRESULT& answer)
{
    if (message == CUNPACK_FILE_TIMES) {
        RunMemory::ArchiveStamp& stamp = memory.archiveStamp;
        answer = 0;
        if (stamp.offered && path) {
            auto* times = reinterpret_cast<CunpackFileTimes*>(path);
            times->created = stamp.times.created;
            times->accessed = stamp.times.accessed;
            times->written = stamp.times.written;
            stamp.taken = true;
            answer = CUNPACK_ANSWER_TIMES;
        }
        return true;
    }
    if (message != CUNPACK_REPLACING && message != CUNPACK_MAKING_FOLDER) return false;
    const std::string name = path ? reinterpret_cast<const char*>(path) : "";
    if (message == CUNPACK_MAKING_FOLDER) {
        memory.RecordMadeDirectories({name});
        answer = 1;
    } else if (memory.IsRunsOwn(name)) {
        // The file there is this run's own (an earlier line wrote it): what
        // was there before is kept already, or there was nothing.
        SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        answer = DeleteFileA(name.c_str()) ? CUNPACK_ANSWER_KEPT : CUNPACK_ANSWER_REFUSED;
    } else {
        answer = KeepAside(memory, name) ? CUNPACK_ANSWER_KEPT : CUNPACK_ANSWER_REFUSED;
    }
    return true;
}

int RecoverInterruptedRun()
{
    int putBack = -1;
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        const std::string root = std::string(1, letter) + ":";
        UINT type = GetDriveTypeA((root + "\\").c_str());
        if (type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) continue;
        for (const std::string& folder : KeepFoldersOn(root)) {
            int n = RecoverFolder(folder);
            putBack = (putBack < 0 ? 0 : putBack) + n;
            fw::diag::Write("an interrupted run's " + folder + ": " + std::to_string(n) + " files and logs put back");
        }
    }
    SetErrorMode(previous);
    return putBack;
}

std::vector<std::string> KeepFoldersOn(const std::string& root)
{
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root + "\\" + kept_files::kFolderName + ".*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return folders;
    do {
        const std::string folder = root + "\\" + found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && FileExists(folder + "\\" + kept_files::kListName))
            folders.push_back(folder);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return folders;
}
