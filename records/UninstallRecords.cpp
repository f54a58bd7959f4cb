#include "records/UninstallRecords.h"

#include <windows.h>

#include <cstdlib>

#include "app/InstallState.h"
#include "script/InstallLog.h"

namespace {

void Append(const std::string& logPath, const char* section, std::string entry, size_t limit)
{
    if (entry.size() > limit) entry.resize(limit);
    AppendLogEntry(logPath, section, entry);
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long LastOf(const std::string& logPath, const char* section)
{
    return std::strtol(ReadLogString(logPath, section, "Last").c_str(), nullptr, 10);
}

}  // namespace

void AddItemRecord(int number, const std::string& title, const std::string& logPath)
{
    Append(logPath, "Item", std::to_string(number) + "," + title, kItemEntryLimit);
}

void AddGroupRecord(int number, const std::string& groupName, const std::string& logPath)
{
    Append(logPath, "Group", std::to_string(number) + "," + groupName, kItemEntryLimit);
}

void AddRegistryRecord(int number, const std::string& owner, const std::string& rootName,
                       const std::string& keyPath, const std::string& valueName, const std::string& logPath)
{
    Append(logPath, "Registry",
           std::to_string(number) + ",Subkey," + owner + "," + rootName + "," + keyPath + "," + valueName,
           kRegistryEntryLimit);
}

void MergeUninstallSections(const InstallState& state)
{
    const std::string source = state.targetDir1 + "\\UNINST.LOG";
    const std::string& destination = state.installLogPath;
    if (destination.empty() || !FileExists(destination) || !FileExists(source)) return;
    for (const char* section : {"IniKey", "Registry", "Rename"}) {
        for (long i = LastOf(source, section); i >= 1; --i) {
            std::string entry = ReadLogString(source, section, std::to_string(i).c_str());
            if (!entry.empty()) Append(destination, section, entry, kMergedEntryLimit);
        }
    }
}
