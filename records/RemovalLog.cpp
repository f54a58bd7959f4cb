#include "records/RemovalLog.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "records/ProductIni.h"
#include "records/RegistryRecords.h"
#include "records/Undo.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/ScriptPath.h"
#include "state/InstallState.h"
#include "state/ProductFiles.h"

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Listed(const std::vector<std::string>& entries, const std::string& text)
{
    for (const std::string& entry : entries)
        if (SamePath(entry, text)) return true;
    return false;
}

// Sets a REG_SZ value; false when the system refused.
bool SetString(HKEY key, const char* name, const std::string& data)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          (DWORD)data.size() + 1) == ERROR_SUCCESS;
}

}  // namespace

std::string RemovalLogPath(const std::string& installLogPath)
{
    if (installLogPath.empty()) return {};
    return JoinPath(DirectoryOf(installLogPath), product_file::kRemovalLog);
}

void AddRemovalEntry(const InstallState& state, const char* section, const std::string& text)
{
    // Only beside an uninstaller: InstallUninstaller starts the file.
    std::string path = RemovalLogPath(state.installLogPath);
    if (!path.empty() && FileExists(path)) AppendLogEntry(path, section, "0," + text);
}

bool ReadStamp(const std::string& path, FileStamp& stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp.size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    stamp.written = ((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool RecordedStamp(const std::vector<std::string>& stampEntries, const std::string& path, FileStamp& stamp)
{
    // "size,written,path": the path last, since it may hold commas.
    for (auto entry = stampEntries.rbegin(); entry != stampEntries.rend(); ++entry) {
        size_t first = entry->find(','), second = entry->find(',', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        if (!SamePath(entry->substr(second + 1), path)) continue;
        stamp.size = std::strtoull(entry->c_str(), nullptr, 10);
        stamp.written = std::strtoull(entry->c_str() + first + 1, nullptr, 10);
        return true;
    }
    return false;
}

bool StampChanged(const FileStamp& recorded, const FileStamp& now)
{
    const uint64_t twoSeconds = 2 * 10000000ULL;
    uint64_t apart = recorded.written > now.written ? recorded.written - now.written : now.written - recorded.written;
    return recorded.size != now.size || apart > twoSeconds;
}

std::string UninstallKey(const std::string& productName)
{
    return fw::LoadResString(IDS_REG_CURRENT_VERSION) + "Uninstall\\" + productName;
}

std::string ProductName()
{
    return fw::LoadResString(IDS_DEFAULT_GROUP);
}

bool InstallUninstaller(InstallState& state, const SystemPlaces& places)
{
    const std::string log = RemovalLogPath(state.installLogPath);
    const std::string source = JoinPath(state.installerDir, product_file::kUninstaller);
    const std::string copy = JoinPath(state.targetDir1, product_file::kUninstaller);
    if (log.empty() || !FileExists(source) || CopyWholeFile(source, copy) != 0) return false;

    const std::string name = ProductName();
    // Written through the profile calls, which make the file.
    WritePrivateProfileStringA(removal_log::kProduct, "Name", name.c_str(), log.c_str());
    WriteLogString(log, removal_log::kProduct, "Version", fw::LoadResString(IDS_PRODUCT_VERSION));
    WriteLogString(log, removal_log::kProduct, "Publisher", fw::LoadResString(IDS_REG_OWNER));
    // The keys whose values are the product's: its record, its program's
    // App Paths entry, its registration; and the maker's key above its
    // record, which goes when nothing else is left in it.
    const std::string maker = fw::LoadResString(IDS_REG_PRODUCT_ROOT);
    WriteLogString(log, removal_log::kProduct, "MakerKey", maker);
    const std::string trainer = fw::LoadResString(IDS_TRAINER_NAME);
    std::vector<std::string> scope = ListTexts(log, removal_log::kScope);
    for (const std::string& key : {maker + "\\" + name,
                                   trainer.empty() ? std::string()
                                                   : fw::LoadResString(IDS_REG_CURRENT_VERSION) +
                                                         fw::LoadResString(IDS_REG_APP_PATHS) + "\\" + trainer + ".EXE",
                                   UninstallKey(name)})
        if (!key.empty() && !Listed(scope, key)) AddRemovalEntry(state, removal_log::kScope, key);
    if (!Listed(ListTexts(log, removal_log::kUninstaller), copy))
        AddRemovalEntry(state, removal_log::kUninstaller, copy);
    if (!HasRegistry(places.osVersionText) || name.empty()) return true;

    const std::string keyPath = UninstallKey(name);
    HKEY key = nullptr;
    if (CreateKey(HKEY_LOCAL_MACHINE, keyPath, key) != ERROR_SUCCESS) return true;
    if (!Listed(ListTexts(log, removal_log::kKey), keyPath)) AddRemovalEntry(state, removal_log::kKey, keyPath);
    SetString(key, "DisplayName", name);
    // Every path in quotes: a blank in either would split the command.
    SetString(key, "UninstallString", "\"" + copy + "\" \"" + state.installLogPath + "\"");
    SetString(key, "DisplayVersion", fw::LoadResString(IDS_PRODUCT_VERSION));
    SetString(key, "Publisher", fw::LoadResString(IDS_REG_OWNER));
    SetString(key, "InstallLocation", state.targetDir1);
    SetString(key, "DisplayIcon", copy);
    RegCloseKey(key);
    return true;
}

void CountSharedLibrary(const InstallState& state, const SystemPlaces& places, const std::string& path,
                        bool existedBefore)
{
    const std::string log = RemovalLogPath(state.installLogPath);
    if (log.empty() || !FileExists(log) || !HasRegistry(places.osVersionText) || !FileExists(path)) return;
    // Once per product directory: a reinstall into it counts no more.
    if (Listed(ListTexts(log, removal_log::kSharedDll), path)) return;
    HKEY key = nullptr;
    if (CreateKey(HKEY_LOCAL_MACHINE, kSharedDllsKey, key) != ERROR_SUCCESS) return;
    DWORD count = 0, type = 0, size = sizeof count;
    if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof count)
        count = 0;
    // A library that was there without a count has a user already.
    if (count == 0 && existedBefore) count = 1;
    ++count;
    // Recorded first: a removal may subtract only what was added.
    AddRemovalEntry(state, removal_log::kSharedDll, path);
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
}

void FinishRemovalLog(const InstallState& state)
{
    const std::string log = RemovalLogPath(state.installLogPath);
    if (log.empty() || !FileExists(log)) return;
    std::vector<std::string> made = ListTexts(log, removal_log::kMadeDirectory);
    for (const std::string& level : MadeLevels(state.runMemory))
        if (!Listed(made, level)) AddRemovalEntry(state, removal_log::kMadeDirectory, level);

    // The stamps are taken anew: a later install's files replace an
    // earlier one's. Kept in memory and written once: a product of
    // thousands of files would otherwise rewrite the list for each.
    WritePrivateProfileStringA(removal_log::kStamp, nullptr, nullptr, log.c_str());
    InstallLogBatch batch;
    std::vector<std::string> files = ListTexts(state.installLogPath, "File");
    for (const std::string& created : ListTexts(log, removal_log::kCreated)) files.push_back(created);
    std::vector<std::string> stamped;
    for (const std::string& file : files) {
        FileStamp stamp;
        if (Listed(stamped, file) || !ReadStamp(file, stamp)) continue;
        stamped.push_back(file);
        char text[64];
        std::snprintf(text, sizeof text, "%llu,%llu,", (unsigned long long)stamp.size,
                      (unsigned long long)stamp.written);
        AddRemovalEntry(state, removal_log::kStamp, text + file);
    }
}
