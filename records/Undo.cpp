#include "records/Undo.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "fw/DiagnosticLog.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "records/RegistryRecords.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/KeptFiles.h"
#include "script/ScriptPath.h"

namespace {

// Characters of the own path at the head of a "Rename" entry; the moved
// path follows after one more character.
const char kRenamePathChars[] = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:_";

std::string Upper(std::string text)
{
    fw::ToUpper(text);
    return text;
}

// The numbered lists of a log as it was before this run wrote it.
struct EarlierLog {
    std::vector<std::string> item, group, file, rename;
    // False when what the log held before the run cannot be read: then no
    // entry of it can be shown to be the run's.
    bool known = true;

    const std::vector<std::string>& Of(const char* section) const
    {
        switch (section[0]) {
        case 'I': return item;
        case 'G': return group;
        case 'F': return file;
        default: return rename;
        }
    }
};

// Reads the kept bytes through the same profile reader as every log: they
// go into a temporary file for as long as it takes. `known` is false when
// they could not be read back that way.
EarlierLog ReadEarlierLog(const KeptLog& kept)
{
    EarlierLog earlier;
    earlier.known = kept.known;
    if (!kept.existed || !kept.known) return earlier;
    earlier.known = false;
    char directory[MAX_PATH] = {}, file[MAX_PATH] = {};
    if (!GetTempPathA(MAX_PATH, directory) || !GetTempFileNameA(directory, "cvk", 0, file)) return earlier;
    HANDLE out = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        bool whole = WriteFile(out, kept.bytes.data(), (DWORD)kept.bytes.size(), &written, nullptr) &&
                     written == kept.bytes.size();
        whole = CloseHandle(out) && whole;
        if (whole) {
            for (auto [section, list] : {std::pair{"Item", &earlier.item}, std::pair{"Group", &earlier.group},
                                         std::pair{"File", &earlier.file}, std::pair{"Rename", &earlier.rename}}) {
                long last = LastEntryNumber(file, section);
                for (long i = 1; i <= last; ++i)
                    list->push_back(ReadLogString(file, section, std::to_string(i).c_str()));
            }
            earlier.known = true;
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
    }
    DeleteFileA(file);
    return earlier;
}

// The text after an entry's leading number and its comma.
std::string WithoutNumber(const std::string& entry)
{
    size_t digits = SpanOf(entry, "0123456789");
    if (digits == 0) return {};
    return digits < entry.size() ? entry.substr(digits + 1) : std::string();
}

// Takes back the entries of one log that this run wrote: those above what
// the log held before, and those that differ from what it held there (a log
// this run started anew over an earlier one).
class LogUndo {
public:
    LogUndo(const KeptLog& kept, const EarlierLog& earlier, const UndoFlags& flags,
            const std::set<std::string>& earlierFiles, const RunMemory& memory, int& allItemsRemoved,
            ProgramItemRemover& progman)
        : path_(kept.path), earlier_(earlier), flags_(flags), earlierFiles_(earlierFiles), memory_(memory),
          allItemsRemoved_(allItemsRemoved), progman_(progman)
    {
    }

    void Run()
    {
        if (!earlier_.known) {
            // Doubt never deletes: every entry may be the earlier install's.
            fw::diag::Write("undo of " + path_ + ": what it held before the run is unknown; everything it lists is kept");
            allItemsRemoved_ = 0;
            return;
        }
        ProgramItemRemover& progman = progman_;
        int items = 0, groups = 0, files = 0, moved = 0;
        ForOwnEntries("Item", [&](std::string& entry) {
            if (ConditionHolds(entry, flags_)) {
                progman.DeleteItem(entry);
                ++items;
            } else {
                allItemsRemoved_ = 0;
            }
        });
        ForOwnEntries("Group", [&](std::string& entry) {
            if (ConditionHolds(entry, flags_) && allItemsRemoved_ == 1) {
                progman.DeleteGroup(entry);
                fw::diag::Write("undo: program group \"" + entry + "\" deleted");
                ++groups;
            }
        });
        ForOwnEntries("File", [&](std::string& entry) {
            // A file that the earlier install recorded stays: it is its,
            // unless this run made it where no file was (the user had
            // deleted it since). One the run wrote over comes back from
            // its keeping after this.
            if (ConditionHolds(entry, flags_) && (!earlierFiles_.count(Upper(entry)) || memory_.WasMadeAnew(entry)) &&
                DeleteFileA(entry.c_str()))
                ++files;
        });
        ForOwnEntries("Rename", [&](std::string& entry) {
            if (entry.empty() || !ConditionHolds(entry, flags_)) return;
            size_t ownLength = SpanOf(entry, kRenamePathChars);
            if (ownLength == 0 || ownLength + 1 >= entry.size()) return;
            const std::string ownPath = entry.substr(0, ownLength);
            const std::string movedPath = entry.substr(ownLength + 1);
            if (fw::ShowMessageArg(GetActiveWindow(), IDS_RENAME_QUESTION, ownPath, fw::kQuestion) == IDYES &&
                RestoreMovedFile(movedPath, ownPath) == 0)
                ++moved;
        });
        fw::diag::Write("undo of " + path_ + ": " + std::to_string(items) + " program items, " +
                        std::to_string(groups) + " groups and " + std::to_string(files) + " files deleted, " +
                        std::to_string(moved) + " files moved back");
    }

private:
    // This run's entries of `section`, last first: what the log on disk
    // holds above or beside the earlier log, then what the run appended but
    // the disk does not hold (a write refused by a full disk).
    template <class Action>
    void ForOwnEntries(const char* section, Action action)
    {
        std::set<std::string> seen;
        const std::vector<std::string>& before = earlier_.Of(section);
        if (FileExists(path_)) {
            for (long i = LastEntryNumber(path_, section); i >= 1; --i) {
                std::string entry = ReadLogString(path_, section, std::to_string(i).c_str());
                if (i <= (long)before.size() && before[i - 1] == entry) continue;
                seen.insert(entry);
                action(entry);
            }
        }
        // An entry the earlier log holds too stays the earlier install's.
        seen.insert(before.begin(), before.end());
        std::vector<LoggedEntry> appended = RunLogEntries(path_, section);
        for (size_t i = appended.size(); i-- > 0;) {
            std::string entry = appended[i].text;
            if (!seen.insert(entry).second) continue;
            action(entry);
        }
    }

    std::string path_;
    const EarlierLog& earlier_;
    const UndoFlags& flags_;
    const std::set<std::string>& earlierFiles_;
    const RunMemory& memory_;
    // Cleared for good by the first program item that the undo leaves in
    // place: a group is then kept, since it may still hold that item.
    int& allItemsRemoved_;
    ProgramItemRemover& progman_;
};

// Writes the log back as it was before the run, or deletes it where there
// was none.
void PutLogBack(const KeptLog& kept)
{
    // The profile calls may still hold the file; let go of it first.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kept.path.c_str());
    // A log whose earlier contents are unknown stays as it is.
    if (!kept.known) return;
    if (!kept.existed) {
        DeleteFileA(kept.path.c_str());
        return;
    }
    WriteWholeFile(kept.path, kept.bytes);
}

}  // namespace

bool ConditionHolds(std::string& entry, const UndoFlags& flags)
{
    size_t digits = SpanOf(entry, "0123456789");
    if (digits == 0) return false;
    // A number of more than four digits is none that any list knows.
    int n = digits <= 4 ? std::atoi(entry.substr(0, digits).c_str()) : -1;
    entry = digits < entry.size() ? entry.substr(digits + 1) : std::string();
    if (n == component::kAlways) return true;
    if (component::IsCondition(n))
        return flags.conditions[n] == 1 || (n <= component::kLastSeededCondition && flags.components[n] == 1);
    return n > component::kLastCondition && IsRecognisedComponent(ComponentConsumer::ScriptLines, n) &&
           flags.components[n] == 1;
}

std::vector<std::string> MadeLevels(const RunMemory& memory)
{
    // Exactly the levels the engine made and the unpack library reported
    // before it made them: a folder that was there before the run, empty
    // or not, is never among them.
    std::vector<std::string> levels;
    std::set<std::string> seen;
    for (const std::string& level : memory.madeDirectories)
        if (seen.insert(Upper(level)).second) levels.push_back(level);
    auto depth = [](const std::string& path) { return std::count(path.begin(), path.end(), '\\'); };
    std::stable_sort(levels.begin(), levels.end(),
                     [&](const std::string& a, const std::string& b) { return depth(a) < depth(b); });
    return levels;
}


void UndoFromLog(InstallState& state, const std::string& /*logPath*/, ProgramItemRemover& progman)
{
    RunMemory& memory = state.runMemory;
    // Before its install step this run has written nothing.
    if (!memory.installStarted && memory.keptLogs.empty() && memory.madeDirectories.empty() &&
        memory.keptFiles.empty())
        return;

    UndoFlags flags;
    flags.components = memory.componentFlags;
    flags.conditions = memory.conditionFlags;

    std::vector<EarlierLog> earlier;
    std::set<std::string> earlierFiles;
    for (const KeptLog& kept : memory.keptLogs) {
        earlier.push_back(ReadEarlierLog(kept));
        for (const std::string& entry : earlier.back().file) earlierFiles.insert(Upper(WithoutNumber(entry)));
        // What a log of unknown earlier contents lists now may be an earlier
        // install's: no other log's undo deletes it either.
        if (!earlier.back().known && FileExists(kept.path))
            for (const std::string& text : ListTexts(kept.path, "File")) earlierFiles.insert(Upper(text));
    }

    int allItemsRemoved = 1;
    for (size_t i = memory.keptLogs.size(); i-- > 0;)
        LogUndo(memory.keptLogs[i], earlier[i], flags, earlierFiles, memory, allItemsRemoved, progman).Run();
    for (size_t i = memory.keptLogs.size(); i-- > 0;) PutLogBack(memory.keptLogs[i]);
    // What the run wrote over or deleted goes back where it was.
    PutKeptFilesBack(memory);

    std::vector<std::string> levels = MadeLevels(memory);
    RemoveMadeDirectories(levels);
    fw::diag::Write("undo: the install logs put back, " + std::to_string(levels.size()) +
                    " directories made by the run taken away where empty");
}

int RestoreMovedFile(const std::string& movedPath, const std::string& ownPath)
{
    return RestoreMovedFile(movedPath, ownPath, OsVersionText());
}

int RestoreMovedFile(const std::string& movedPath, const std::string& ownPath, const std::string& osVersionText)
{
    if (!FileExists(movedPath)) return -1;
    if (osVersionText.find("WinNT") != std::string::npos)
        return MoveFileExA(movedPath.c_str(), ownPath.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : -1;

    // Windows 95 and Win32s have no replacing move: the file at its own
    // name goes aside under a free name first, and comes back if the move
    // fails.
    if (!FileExists(ownPath)) return MoveFileA(movedPath.c_str(), ownPath.c_str()) ? 0 : -1;
    size_t slash = ownPath.rfind('\\');
    std::string directory = slash == std::string::npos ? std::string(".") : ownPath.substr(0, slash);
    if (directory.size() == 2 && directory[1] == ':') directory += '\\';
    char aside[MAX_PATH] = {};
    if (!GetTempFileNameA(directory.c_str(), "cvr", 0, aside)) return -1;
    DeleteFileA(aside);
    if (!MoveFileA(ownPath.c_str(), aside)) return -1;
    if (!MoveFileA(movedPath.c_str(), ownPath.c_str())) {
        MoveFileA(aside, ownPath.c_str());
        return -1;
    }
    DeleteFileA(aside);
    return 0;
}
