#include "records/Removal.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "records/RegistryRecords.h"
#include "records/RemovalLog.h"
#include "records/Undo.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/ScriptPath.h"
#include "state/ProductFiles.h"

namespace {

std::string Folded(std::string text)
{
    fw::ToUpper(text);
    return text;
}

// Splits "a,b,c,..." at its first `count` - 1 commas.
std::vector<std::string> Fields(const std::string& text, size_t count)
{
    std::vector<std::string> fields;
    size_t from = 0;
    while (fields.size() + 1 < count) {
        size_t comma = text.find(',', from);
        if (comma == std::string::npos) break;
        fields.push_back(text.substr(from, comma - from));
        from = comma + 1;
    }
    fields.push_back(text.substr(from));
    return fields;
}

bool KeyExists(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool KeyIsEmpty(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 1, values = 1;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

bool ValueExists(const std::string& keyPath, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

void DeleteValue(const std::string& keyPath, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

std::string ParentKey(const std::string& keyPath)
{
    size_t slash = keyPath.rfind('\\');
    return slash == std::string::npos ? std::string() : keyPath.substr(0, slash);
}

bool IniKeyExists(const std::string& file, const std::string& section, const std::string& key)
{
    for (const std::string& line : ProfileSectionLines(file, section)) {
        std::string name = line.substr(0, line.find('='));
        TrimTrailingSpace(name);
        if (Folded(name) == Folded(key)) return true;
    }
    return false;
}

// A file whose lines hold nothing but blanks.
bool HoldsNothing(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    bool empty = true;
    while (empty && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != ' ' && buffer[i] != '\t' && buffer[i] != '\r' && buffer[i] != '\n') empty = false;
    CloseHandle(file);
    return empty;
}

class Removal {
public:
    Removal(const RemovalSetup& setup, RemovalView& view, ProgramItemRemover& progman)
        : setup_(setup), view_(view), progman_(progman)
    {
        productName_ = ReadLogString(setup.removalLog, removal_log::kProduct, "Name");
        productDirs_ = ProductDirectories(ListEntries(setup.installLog, "Directory"), setup.places);
        for (const std::string& key : ListTexts(setup.removalLog, removal_log::kScope))
            if (IsProductKey(key, productName_)) scope_.keys.push_back(key);
        makerKey_ = ReadLogString(setup.removalLog, removal_log::kProduct, "MakerKey");
        stamps_ = ListTexts(setup.removalLog, removal_log::kStamp);
        hasRegistry_ = HasRegistry(setup.osVersionText);
    }

    RemovalResult Run()
    {
        Step(5, productName_);
        ProgramItems();
        Step(15, productName_);
        RegistryValues();
        Step(25, productName_);
        IniKeys();
        Step(35, productName_);
        MovedFiles();
        Files();
        Step(85, productName_);
        SharedLibraries();
        Directories();
        Registration();
        Step(95, productName_);
        Logs();
        Step(100, productName_);
        return result_;
    }

private:
    void Step(int percent, const std::string& what) { view_.Progress(percent, what); }
    void Keep(UINT reasonId, const std::string& what)
    {
        if (keptThings_.insert(Folded(what)).second) result_.kept.push_back(fw::FormatResString(reasonId, what));
    }

    // The product INI in the Windows directory: its section and the file,
    // when the install made it and nothing else is left in it, go.
    bool IsProductIni(const std::string& path) const
    {
        const std::string name = product_file::ProductIni();
        return !name.empty() && Folded(path) == Folded(JoinPath(setup_.places.windowsDir, name));
    }

    bool IsLog(const std::string& path) const
    {
        return Folded(path) == Folded(setup_.installLog) || Folded(path) == Folded(setup_.removalLog);
    }

    void ProgramItems()
    {
        std::vector<std::string> groups = ListTexts(setup_.installLog, "Group");
        std::vector<std::string> items = ListTexts(setup_.installLog, "Item");
        for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
            // The items are deleted from the group Program Manager shows.
            progman_.ShowGroup(*group);
            for (auto item = items.rbegin(); item != items.rend(); ++item) progman_.DeleteItem(*item);
            int left = progman_.GroupItemCount(*group);
            if (left == 0) progman_.DeleteGroup(*group);
            else if (left > 0) Keep(IDS_KEPT_GROUP, *group);
        }
    }

    // May the empty key `keyPath` go: one of the product's own, or the
    // maker's key above its record.
    bool MayDeleteKey(const std::string& keyPath) const
    {
        if (IsInScope(keyPath, scope_)) return true;
        return !makerKey_.empty() && Folded(keyPath) == Folded(makerKey_) &&
               std::count(makerKey_.begin(), makerKey_.end(), '\\') >= 1;
    }

    void DeleteEmptyKeys(std::string keyPath)
    {
        // Every key is checked to be empty before it goes: Windows 95
        // would delete a whole subtree.
        while (!keyPath.empty() && MayDeleteKey(keyPath) && KeyIsEmpty(keyPath)) {
            if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str()) != ERROR_SUCCESS) break;
            keyPath = ParentKey(keyPath);
        }
    }

    void RegistryValues()
    {
        if (!hasRegistry_) return;
        std::vector<std::string> entries = ListTexts(setup_.installLog, "Registry");
        std::vector<std::string> keys;
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
            // "Subkey,owner,root,key,value"
            std::vector<std::string> f = Fields(*entry, 5);
            if (f.size() != 5 || f[2] != "HKEY_LOCAL_MACHINE") continue;
            const std::string& key = f[3];
            const std::string& value = f[4];
            if (!ValueExists(key, value)) continue;  // gone already: nothing to say
            if (!IsInScope(key, scope_)) {
                Keep(IDS_KEPT_REGISTRY, "HKEY_LOCAL_MACHINE\\" + key + " \"" + value + "\"");
                continue;
            }
            DeleteValue(key, value);
            keys.push_back(key);
        }
        std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        for (const std::string& key : keys) DeleteEmptyKeys(key);
    }

    void DeleteIniKey(const std::string& file, const std::string& section, const std::string& key)
    {
        WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file.c_str());
        if (ProfileSectionLines(file, section).empty()) WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    }

    void IniKeys()
    {
        // The product's own keys, as the install recorded them. A file the
        // install created goes whole with the files, or stays whole when it
        // was changed: its keys are left to that.
        std::vector<std::string> own = ListTexts(setup_.removalLog, removal_log::kIniKey);
        std::set<std::string> created;
        for (const std::string& file : ListTexts(setup_.removalLog, removal_log::kCreated))
            created.insert(Folded(file));
        for (auto entry = own.rbegin(); entry != own.rend(); ++entry) {
            std::vector<std::string> f = Fields(*entry, 3);
            if (f.size() != 3 || f[0].empty()) continue;
            if (!IsProductIni(f[0]) && created.count(Folded(f[0]))) continue;
            if (!IsProductIni(f[0]) && !MayRemovePath(f[0], productDirs_, setup_.places)) {
                Keep(IDS_KEPT_INI, f[0] + " [" + f[1] + "] " + f[2]);
                continue;
            }
            if (IniKeyExists(f[0], f[1], f[2])) DeleteIniKey(f[0], f[1], f[2]);
        }
        // The product's UNINST.LOG entries: only a key that is the
        // product's alone.
        std::vector<std::string> merged = ListTexts(setup_.installLog, "IniKey");
        for (auto entry = merged.rbegin(); entry != merged.rend(); ++entry) {
            std::vector<std::string> f = Fields(*entry, 3);
            if (f.size() != 3 || f[0].empty()) continue;
            std::string file = f[0].find('\\') == std::string::npos ? JoinPath(setup_.places.windowsDir, f[0]) : f[0];
            if (!IniKeyExists(file, f[1], f[2])) continue;
            if (MayRemoveIniKey(ProfileSectionLines(file, f[1]), f[2], productDirs_)) DeleteIniKey(file, f[1], f[2]);
            else Keep(IDS_KEPT_INI, file + " [" + f[1] + "] " + f[2]);
        }
    }

    void MovedFiles()
    {
        std::vector<std::string> entries = ListTexts(setup_.installLog, "Rename");
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
            size_t ownLength = SpanOf(*entry, "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:_");
            if (ownLength == 0 || ownLength + 1 >= entry->size()) continue;
            std::string ownPath = entry->substr(0, ownLength), movedPath = entry->substr(ownLength + 1);
            if (!FileExists(movedPath)) continue;
            if (view_.RestoreMovedFile(ownPath)) ::RestoreMovedFile(movedPath, ownPath, setup_.osVersionText);
        }
    }

    // Deletes a file now, or at the next restart when it is in use.
    void Delete(const std::string& path)
    {
        if (DeleteFileA(path.c_str()) || !FileExists(path)) return;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) {
            Keep(IDS_KEPT_NOT_REMOVED, path);
            return;
        }
        ScheduleDelete(path);
        result_.atRestart.push_back(fw::FormatResString(IDS_AT_RESTART, path));
    }

    void ScheduleDelete(const std::string& path)
    {
        DeleteAtRestart(path, setup_.osVersionText, setup_.places.windowsDir);
    }

    void TakeBackFile(const std::string& path)
    {
        if (IsLog(path) || Folded(path) == Folded(setup_.runningProgram)) return;
        if (!FileExists(path)) return;  // gone already: nothing to say
        if (!MayRemovePath(path, productDirs_, setup_.places)) {
            Keep(IDS_KEPT_REFUSED, path);
            return;
        }
        FileStamp recorded, now;
        if (!RecordedStamp(stamps_, path, recorded)) {
            Keep(IDS_KEPT_UNVERIFIED, path);
            return;
        }
        if (ReadStamp(path, now) && StampChanged(recorded, now) && view_.KeepChangedFile(path)) {
            Keep(IDS_KEPT_CHANGED, path);
            return;
        }
        Delete(path);
    }

    void Files()
    {
        std::vector<std::string> files = ListTexts(setup_.installLog, "File");
        std::vector<std::string> created = ListTexts(setup_.removalLog, removal_log::kCreated);
        size_t total = files.size() + created.size(), done = 0;
        std::set<std::string> seen;
        auto take = [&](const std::string& path) {
            if (seen.insert(Folded(path)).second) TakeBackFile(path);
            if (total && ++done % 16 == 0) Step(35 + (int)(50 * done / total), path);
        };
        for (auto file = created.rbegin(); file != created.rend(); ++file) {
            // The product INI goes only when nothing else is left in it.
            if (IsProductIni(*file)) {
                if (FileExists(*file) && HoldsNothing(*file)) Delete(*file);
                seen.insert(Folded(*file));
                continue;
            }
            take(*file);
        }
        for (auto file = files.rbegin(); file != files.rend(); ++file) take(*file);
        RemoveAppendedLines();
    }

    void RemoveAppendedLines()
    {
        std::vector<std::string> appended = ListTexts(setup_.removalLog, removal_log::kAppended);
        for (auto entry = appended.rbegin(); entry != appended.rend(); ++entry) {
            size_t bar = entry->find('|');
            if (bar == std::string::npos) continue;
            std::string file = entry->substr(0, bar), line = entry->substr(bar + 1) + "\r\n";
            if (!FileExists(file) || !MayRemovePath(file, productDirs_, setup_.places)) continue;
            std::string text;
            size_t at = ReadWholeFile(file, text) ? text.rfind(line) : std::string::npos;
            if (at != std::string::npos && (at == 0 || text[at - 1] == '\n')) {
                text.erase(at, line.size());
                WriteWholeFile(file, text);
            }
        }
    }

    void SharedLibraries()
    {
        if (!hasRegistry_) return;
        std::vector<std::string> subtracted = ListTexts(setup_.removalLog, removal_log::kSubtracted);
        for (const std::string& path : ListTexts(setup_.removalLog, removal_log::kSharedDll)) {
            bool done = std::any_of(subtracted.begin(), subtracted.end(),
                                    [&](const std::string& s) { return Folded(s) == Folded(path); });
            if (done) continue;
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
                continue;
            DWORD count = 0, type = 0, size = sizeof count;
            bool counted = RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count),
                                            &size) == ERROR_SUCCESS &&
                           type == REG_DWORD && size == sizeof count && count > 0;
            if (!counted) {
                RegCloseKey(key);
                continue;
            }
            // Recorded first: a removal that is interrupted and run again
            // never subtracts twice.
            AppendLogEntry(setup_.removalLog, removal_log::kSubtracted, "0," + path);
            --count;
            if (count > 0) {
                RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
                RegCloseKey(key);
                continue;
            }
            RegDeleteValueA(key, path.c_str());
            RegCloseKey(key);
            if (view_.RemoveSharedFile(path)) Delete(path);
        }
    }

    // Files of a directory that no log lists: the user's.
    std::vector<std::string> FilesIn(const std::string& directory) const
    {
        std::vector<std::string> files;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((directory + "\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return files;
        do {
            std::string name = data.cFileName;
            if (name == "." || name == ".." || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            files.push_back(directory + "\\" + name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return files;
    }

    void Directories()
    {
        std::vector<std::string> made = ListTexts(setup_.removalLog, removal_log::kMadeDirectory);
        std::stable_sort(made.begin(), made.end(), [](const std::string& a, const std::string& b) {
            return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
        });
        const std::string programDir = Folded(DirectoryOf(setup_.runningProgram));
        std::set<std::string> seen;
        for (const std::string& directory : made) {
            if (!seen.insert(Folded(directory)).second) continue;
            if (!MayRemovePath(directory, productDirs_, setup_.places) ||
                IsProtectedDirectory(directory, setup_.places))
                continue;
            DWORD attributes = GetFileAttributesA(directory.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            // The folders of the logs and of the program that runs go last.
            std::string folded = Folded(directory);
            if (programDir == folded || programDir.compare(0, folded.size() + 1, folded + "\\") == 0) {
                result_.lastDirectories.push_back(directory);
                continue;
            }
            if (RemoveDirectoryA(directory.c_str())) continue;
            for (const std::string& file : FilesIn(directory)) Keep(IDS_KEPT_NOT_INSTALLED, file);
        }
    }

    void Registration()
    {
        if (!hasRegistry_) return;
        for (const std::string& key : ListTexts(setup_.removalLog, removal_log::kKey)) {
            if (!IsInScope(key, scope_) || !KeyExists(key)) continue;
            for (const char* name : {"DisplayName", "UninstallString", "DisplayVersion", "Publisher",
                                     "InstallLocation", "DisplayIcon"})
                DeleteValue(key, name);
            DeleteEmptyKeys(key);
        }
    }

    void Logs()
    {
        for (const std::string& log : {setup_.installLog, setup_.removalLog}) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, log.c_str());
            if (MayRemovePath(log, productDirs_, setup_.places)) Delete(log);
        }
        // The logs' folders, unless the program that runs is in them.
        for (const std::string& directory : std::vector<std::string>(result_.lastDirectories)) {
            if (Folded(directory) == Folded(DirectoryOf(setup_.runningProgram))) continue;
            if (FileExists(setup_.runningProgram) &&
                Folded(setup_.runningProgram).compare(0, directory.size() + 1, Folded(directory) + "\\") == 0)
                continue;
            RemoveDirectoryA(directory.c_str());
        }
        // What stays in the program's own folder besides the program is the
        // user's.
        for (const std::string& directory : result_.lastDirectories)
            for (const std::string& file : FilesIn(directory))
                if (Folded(file) != Folded(setup_.runningProgram)) Keep(IDS_KEPT_NOT_INSTALLED, file);
    }

    const RemovalSetup& setup_;
    RemovalView& view_;
    ProgramItemRemover& progman_;
    std::string productName_;
    std::vector<std::string> productDirs_;
    RegistryScope scope_;
    std::string makerKey_;
    std::vector<std::string> stamps_;
    std::set<std::string> keptThings_;
    bool hasRegistry_ = false;
    RemovalResult result_;
};

}  // namespace

void DeleteAtRestart(const std::string& path, const std::string& osVersionText, const std::string& windowsDir)
{
    if (osVersionText.find("WinNT") != std::string::npos) {
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    if (osVersionText.find("Win95") == std::string::npos) return;
    // Windows 95 reads WININIT.INI at its start; "NUL=" lines delete,
    // several of them in one section, so the file is written as text.
    char shortPath[MAX_PATH] = {};
    std::string name = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH) ? shortPath : path;
    const std::string wininit = JoinPath(windowsDir, "WININIT.INI");
    std::string text;
    ReadWholeFile(wininit, text);
    std::string line = "NUL=" + name + "\r\n";
    size_t section = Folded(text).find("[RENAME]");
    if (section == std::string::npos) {
        if (!text.empty() && text.back() != '\n') text += "\r\n";
        text += "[rename]\r\n" + line;
    } else {
        size_t end = text.find('\n', section);
        text.insert(end == std::string::npos ? text.size() : end + 1, line);
    }
    WriteWholeFile(wininit, text);
}

RemovalResult RemoveInstall(const RemovalSetup& setup, RemovalView& view, ProgramItemRemover& progman)
{
    return Removal(setup, view, progman).Run();
}

bool RemovalLogsReadable(const std::string& installLog, const std::string& removalLog)
{
    return FileExists(installLog) && FileExists(removalLog) &&
           !ReadLogString(installLog, "Directory", "Last").empty() &&
           !ReadLogString(removalLog, removal_log::kProduct, "Name").empty();
}
