#include "records/ProductIni.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "state/InstallState.h"
#include "state/ProductFiles.h"
#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "records/RegistryRecords.h"
#include "records/RemovalLog.h"
#include "records/UninstallRecords.h"
#include "resources/resource.h"
#include "script/InstallLog.h"

namespace {

// The product INI; without one the records that go into it are left out.
std::string ProductIniPath(const SystemPlaces& places)
{
    const std::string name = product_file::ProductIni();
    return name.empty() ? std::string() : JoinPath(places.windowsDir, name);
}

// Every INI file goes through the install log's reader and writer.
std::string ReadIni(const std::string& file, const std::string& section, const char* key)
{
    return ReadLogString(file, section.c_str(), key);
}

void WriteIni(const std::string& file, const std::string& section, const char* key, const std::string& value)
{
    WriteLogString(file, section.c_str(), key, value);
}

// Puts the file on disk before the program goes on.
void FlushIni(const std::string& file)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

bool RegistryKeyNamesPresent()
{
    return !fw::LoadResString(IDS_REG_PRODUCT_ROOT).empty() &&
           !fw::LoadResString(IDS_REG_CURRENT_VERSION).empty() &&
           !fw::LoadResString(IDS_REG_APP_PATHS).empty();
}

// App Paths key of `program` ("Velomir.EXE", "TRICORN.EXE").
std::string AppPathsKey(const std::string& program)
{
    return fw::LoadResString(IDS_REG_CURRENT_VERSION) + fw::LoadResString(IDS_REG_APP_PATHS) + "\\" + program;
}

// Copies a shared library into the system directory unless the copy there
// is at least `limit` (major * 100 + minor).
void UpdateSharedLibrary(const std::string& name, UINT limitId, const InstallState& state,
                         const SystemPlaces& places)
{
    const std::string destination = JoinPath(places.systemDir, name);
    const bool existed = FileExists(destination);
    bool copy = true;
    unsigned version = 0;
    if (FileExists(destination) && FileVersionNumber(destination, version) == 1) {
        unsigned limit = (unsigned)std::strtoul(fw::LoadResString(limitId).c_str(), nullptr, 10);
        copy = version < limit;
    }
    if (copy) CopyWholeFile(state.targetDir1 + "\\SYSTEM\\" + name, destination);
    CountSharedLibrary(state, places, destination, existed);
}

// The product INI's keys, for the uninstaller.
void WriteOwnIni(const InstallState& state, const std::string& file, const std::string& section, const char* key,
                 const std::string& value)
{
    WriteIni(file, section, key, value);
    AddRemovalEntry(state, removal_log::kIniKey, file + "," + section + "," + key);
}

// Notes for the uninstaller a file that `write` creates.
template <class Write>
void Creating(const InstallState& state, const std::string& file, Write write)
{
    bool existed = FileExists(file);
    write();
    if (!existed && FileExists(file)) AddRemovalEntry(state, removal_log::kCreated, file);
}

}  // namespace

SystemPlaces SystemPlaces::OfThisSystem()
{
    SystemPlaces places;
    places.osVersionText = OsVersionText();
    char buffer[MAX_PATH] = {};
    if (GetWindowsDirectoryA(buffer, MAX_PATH)) places.windowsDir = buffer;
    buffer[0] = '\0';
    if (GetSystemDirectoryA(buffer, MAX_PATH)) places.systemDir = buffer;
    return places;
}

void DetectPreviousInstall(InstallState& state)
{
    DetectPreviousInstall(state, SystemPlaces::OfThisSystem());
}

void DetectPreviousInstall(InstallState& state, const SystemPlaces& places)
{
    const std::string ini = ProductIniPath(places);
    const std::string section = fw::LoadResString(IDS_PRODUCT_DIR_DEFAULT);
    // The section an earlier release of the product kept its place in.
    const std::string earlierSection = fw::LoadResString(IDS_EARLIER_SECTION);

    // The product directory: where an earlier release recorded it, else
    // where this installer records it, on every platform.
    const std::string earlierPath = ini.empty() || earlierSection.empty() ? std::string()
                                                                            : ReadIni(ini, earlierSection, "Path");
    const std::string ownPath = ini.empty() ? std::string() : ReadIni(ini, section, "Path");
    if (!earlierPath.empty())
        state.SetProductDir(earlierPath);
    else if (!ownPath.empty())
        state.SetProductDir(ownPath);

    std::string candidate = state.defaultDrive + "\\" + section;
    if (!HasRegistry(places.osVersionText)) {
        if (!ownPath.empty()) candidate = ownPath;
        state.SetTargetDir1(candidate);
        // "LogPath" is a directory; it may or may not end with "\".
        const std::string logDir = ini.empty() ? std::string() : ReadIni(ini, section, "LogPath");
        if (!logDir.empty()) state.installLogPath = JoinPath(logDir, kInstallLogName);
    } else if (RegistryKeyNamesPresent()) {
        const std::string program = section + ".EXE";
        const std::string key = AppPathsKey(program);
        std::string directory;
        if (ReadStringValue(key, program, directory) && !directory.empty())
            candidate = directory;
        else if (!ownPath.empty())
            candidate = ownPath;
        state.SetTargetDir1(candidate);
        std::string log;
        if (ReadStringValue(key, kInstallLogName, log) && !log.empty()) state.installLogPath = log;
    }

    // No key names a log that is there: the earlier install's log may still
    // lie in its product directory, and a run without the memory manager
    // continues it rather than starting another.
    if (!state.productDir.empty() && !(state.installLogPath.size() && FileExists(state.installLogPath))) {
        std::string directory = state.productDir;
        StripTrailingBackslash(directory);
        const std::string log = directory + "\\" + kInstallLogName;
        if (FileExists(log) && !ReadLogString(log, "Directory", "Last").empty()) state.installLogPath = log;
    }
}

void WriteProductIni(InstallState& state)
{
    WriteProductIni(state, SystemPlaces::OfThisSystem());
}

void WriteProductIni(InstallState& state, const SystemPlaces& places)
{
    const std::string ini = ProductIniPath(places);
    const std::string section = fw::LoadResString(IDS_PRODUCT_DIR_DEFAULT);
    if (!ini.empty()) {
        Creating(state, ini, [&] {
            WriteOwnIni(state, ini, section, "Path", state.productDir);
            FlushIni(ini);
        });
        WriteOwnIni(state, ini, section, "Group", state.addToGroup == 1 ? state.groupName : std::string());
    }
    if (state.componentSelected[component::kMemoryManager] == 1) WriteMemoryManagerRecords(state, ini, places);
    // TRICORN.INI belongs to the game trainer (component 31): its archive
    // makes the TRICORN directory, so its flag decides, not the disk
    // cache's, which would miss the file when only the trainer is chosen.
    if (state.componentSelected[component::kTrainer] == 1) WriteTrainerIni(state);
    if (!ini.empty()) FlushIni(ini);
}

int WriteMemoryManagerRecords(InstallState& state, const std::string& iniPath, const SystemPlaces& places)
{
    const std::string name = fw::LoadResString(IDS_TRAINER_NAME);
    if (!HasRegistry(places.osVersionText)) {
        if (!iniPath.empty() && !name.empty()) {
            WriteOwnIni(state, iniPath, name, "Path", state.targetDir1);
            FlushIni(iniPath);
        }
    } else {
        if (!RegistryKeyNamesPresent()) return -1;
        const std::string product = fw::LoadResString(IDS_DEFAULT_GROUP);
        if (!product.empty())
            WriteProductRecord(component::kMemoryManager, fw::LoadResString(IDS_REG_PRODUCT_ROOT) + "\\" + product + "\\CurrentVersion",
                               state.installLogPath);
        const std::string program = name + ".EXE";
        if (!name.empty())
            WriteAppPathValue(component::kMemoryManager, fw::LoadResString(IDS_REG_APP_PATHS), AppPathsKey(program), state.targetDir1, program,
                              state.installLogPath);
    }
    MergeUninstallSections(state);

    for (int n = 0; n < 2; ++n) {
        const std::string library = product_file::SharedLibrary(n);
        if (!library.empty()) UpdateSharedLibrary(library, product_file::SharedLibraryVersionId(n), state, places);
    }

    const std::string tuningName = product_file::TuningFile();
    if (tuningName.empty()) return 0;
    const std::string definitions = state.targetDir1 + "\\" + tuningName + ".DEF";
    const std::string tuning = state.targetDir1 + "\\" + tuningName + ".NOT";
    if (FileExists(tuning)) {
        std::vector<std::string> appended;
        if (AppendTextLines(definitions, tuning, &appended) != 0) appended.clear();
        for (const std::string& line : appended) AddRemovalEntry(state, removal_log::kAppended, tuning + "|" + line);
    } else {
        Creating(state, tuning, [&] { CopyWholeFile(definitions, tuning); });
    }
    return 0;
}

void WriteTrainerIni(const InstallState& state)
{
    // Without its directory the write fails, silently.
    const std::string name = product_file::TrainerIni();
    if (name.empty()) return;
    const std::string file = state.targetDir1 + "\\" + name;
    Creating(state, file, [&] {
        WriteOwnIni(state, file, fw::LoadResString(IDS_TRAINER_INI_SECTION), "Scanned", "No");
        FlushIni(file);
    });
}

int FileVersionNumber(const std::string& path, unsigned& number)
{
    // The system's version reader finds the fixed file information in
    // either layout of the resource (16-bit libraries and 32-bit ones).
    number = 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return 0;
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path.c_str(), 0, size, data.data()) &&
        VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof(VS_FIXEDFILEINFO) && fixed->dwSignature == 0xFEEF04BD)
        number = HIWORD(fixed->dwFileVersionMS) * 100u + LOWORD(fixed->dwFileVersionMS);
    return 1;
}

namespace {

// The bytes of `source` into the new file `destination`.
bool CopyBytes(const std::string& source, const std::string& destination)
{
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    bool ok = true;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(in, buffer.data(), (DWORD)buffer.size(), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
    }
    if (!CloseHandle(out)) ok = false;
    CloseHandle(in);
    return ok;
}

}  // namespace

int CopyWholeFile(const std::string& source, const std::string& destination)
{
    // The copy is made under a temporary name beside the destination and
    // moved into place only when whole: a full disk never leaves a file
    // cut short (a shared library other programs load, the uninstaller),
    // and the file that was there stays.
    char temp[MAX_PATH] = {};
    if (!GetTempFileNameA(DirectoryOf(destination).c_str(), "cvc", 0, temp)) return 1;
    bool moved = CopyBytes(source, temp) && MoveReplacing(temp, destination);
    if (!moved) DeleteFileA(temp);
    return moved ? 0 : 1;
}

int AppendTextLines(const std::string& source, const std::string& destination,
                    std::vector<std::string>* appendedLines)
{
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return 1;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(in, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(in);

    HANDLE out = CreateFileA(destination.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 1;

    // Lines are kept whole, however long; the first appended line never
    // joins a last line of the destination that has no line end.
    std::string lineEnd, appended;
    DWORD size = GetFileSize(out, nullptr);
    if (size != INVALID_FILE_SIZE && size > 0) {
        char last = 0;
        DWORD read = 0;
        SetFilePointer(out, -1, nullptr, FILE_END);
        if (ReadFile(out, &last, 1, &read, nullptr) && read == 1 && last != '\n') lineEnd = "\r\n";
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.size() < 2 || line[0] == ';' || line[0] == '#') continue;
        appended += line + "\r\n";
        if (appendedLines) appendedLines->push_back(line);
    }
    if (!appended.empty()) appended = lineEnd + appended;
    bool ok = SetFilePointer(out, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER;
    DWORD written = 0;
    if (ok && !appended.empty())
        ok = WriteFile(out, appended.data(), (DWORD)appended.size(), &written, nullptr) &&
             written == appended.size();
    if (!CloseHandle(out)) ok = false;
    return ok ? 0 : 1;
}
