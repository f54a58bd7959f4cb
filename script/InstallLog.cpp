#include "script/InstallLog.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "script/ScriptEngine.h"
#include "script/ScriptIds.h"

const char kInstallLogName[] = "INSTALL.LOG";

namespace {

std::string Entry(int number, const std::string& text)
{
    return std::to_string(number) + "," + text;
}

// Appends "number,text" to the numbered list `section`.
void AppendEntry(const std::string& logPath, const char* section, int number,
                 const std::string& text)
{
    AppendLogEntry(logPath, section, Entry(number, text));
}

}  // namespace

std::string ReadLogString(const std::string& logPath, const char* section, const char* key)
{
    if (logPath.empty()) return {};
    // The call says that a value was cut by filling the buffer to its
    // last character but one; read again with more room until it fits.
    std::vector<char> buffer(1040);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), (DWORD)buffer.size(),
                                           logPath.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 24)) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

void WriteLogString(const std::string& logPath, const char* section, const char* key,
                    const std::string& value)
{
    // No log yet (no component has been prepared): a profile call without
    // a file name would write into the Windows directory's own INI files.
    if (logPath.empty()) return;
    // As everywhere in the log, a failed write shows nothing.
    WritePrivateProfileStringA(section, key, value.c_str(), logPath.c_str());
}

long NextEntryNumber(const std::string& logPath, const char* section)
{
    std::string last = ReadLogString(logPath, section, "Last");
    if (last.empty()) return 1;
    return std::strtol(last.c_str(), nullptr, 10) + 1;
}

void AppendLogEntry(const std::string& logPath, const char* section, const std::string& entry)
{
    long next = NextEntryNumber(logPath, section);
    std::string key = std::to_string(next);
    WriteLogString(logPath, section, "Last", key);
    WriteLogString(logPath, section, key.c_str(), entry);
}

void AddFileRecord(int number, const std::string& path, const std::string& logPath)
{
    AppendEntry(logPath, "File", number, path);
}

void AddDirectoryRecord(int number, const std::string& path, const std::string& logPath)
{
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return;
    std::string directory = path.substr(0, slash);
    // A plain substring test: a directory inside the text of a longer one
    // (C:\RAM in ;11,C:\RAMHOLD) counts as recorded.
    std::string list = ReadLogString(logPath, "DirList", "1");
    if (list.find(directory) != std::string::npos) return;
    WriteLogString(logPath, "DirList", "1", list + ";" + directory);
    AppendEntry(logPath, "Directory", number, directory);
}

bool CannotUseDirectory(const DirectoryCreation& creation, const std::string& directory)
{
    if (creation.result != -1) return false;
    // A missing parent cannot be helped. Any other failure (the directory
    // is there already, access denied, a write-protected drive) is fine
    // only when a file can be made in the directory.
    if (creation.error == ENOENT) return true;
    return IsDirectoryWritable(directory) == 1;
}

int CreateEmptyFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    CloseHandle(file);
    return 1;
}

unsigned ComponentNameId(int number)
{
    switch (number) {
    case 11: return IDS_NAME_MEMORY_MANAGER;
    case 21: return IDS_NAME_TECHNOTES;
    case 31: return IDS_NAME_TRAINER;
    case 41: return IDS_NAME_DISK_CACHE;
    case 51: return IDS_NAME_COMPONENT_51;
    case 61: return IDS_NAME_COMPONENT_61;
    default: return IDS_NAME_MEMORY_MANAGER;
    }
}

int ScriptEngine::PrepareInstallLog(int selected, int number, const std::string& directory,
                                    bool first)
{
    if (selected != 1) return 1;

    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    state.runMemory.RecordMadeDirectories(creation.made);
    if (CannotUseDirectory(creation, directory)) return FailDirectory(directory);

    long directoryNumber;
    std::string last = ReadLogString(state.installLogPath, "Directory", "Last");
    if (last.empty() || first) {
        // A new log in this directory: the seed from the media, or an
        // empty file when the media carry none.
        directoryNumber = 1;
        std::string logPath = directory + "\\" + kInstallLogName;
        state.installLogPath = logPath;
        state.runMemory.KeepLogBeforeWrite(logPath);
        int saved = askOnError;
        askOnError = 0;
        int copied = CopyFileWithTimes(state.sourceDir + "\\" + kInstallLogName, logPath, 1,
                                       1, 0);
        askOnError = saved;
        if (copied != kCopied) CreateEmptyFile(logPath);
    } else {
        directoryNumber = std::strtol(last.c_str(), nullptr, 10) + 1;
        state.runMemory.KeepLogBeforeWrite(state.installLogPath);
    }

    const std::string& logPath = state.installLogPath;
    std::string key = std::to_string(directoryNumber);
    std::string entry = Entry(number, directory);
    WriteLogString(logPath, "Directory", "Last", key);
    WriteLogString(logPath, "Directory", key.c_str(), entry);

    std::string list = ReadLogString(logPath, "DirList", "1");
    if (list.find(directory) == std::string::npos)
        WriteLogString(logPath, "DirList", "1", list + ";" + entry);

    AppendEntry(logPath, "Program", number, fw::LoadResString(ComponentNameId(number)));
    return 1;
}

int ScriptEngine::PrepareInstallLogs()
{
    static const int kComponents[6] = {11, 21, 31, 41, 51, 61};
    for (int i = 0; i < 6; ++i) {
        int number = kComponents[i];
        if (PrepareInstallLog(componentFlags[number], number, directories.targetDirs[i],
                              number == 11) == -1)
            return -1;
    }
    return 1;
}
