#include "records/UninstallRecords.h"

#include <windows.h>

#include <cstdlib>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "script/InstallLog.h"
#include "state/ProductFiles.h"

namespace {

void Append(const std::string& logPath, const char* section, std::string entry, size_t limit)
{
    if (entry.size() > limit) entry.resize(limit);
    AppendLogEntry(logPath, section, entry);
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
    const std::string source = state.targetDir1 + "\\" + product_file::kProductUninstallLog;
    const std::string& destination = state.installLogPath;
    if (destination.empty() || !FileExists(destination) || !FileExists(source)) return;
    for (const char* section : {"IniKey", "Registry", "Rename"}) {
        for (long i = LastEntryNumber(source, section); i >= 1; --i) {
            std::string entry = ReadLogString(source, section, std::to_string(i).c_str());
            if (!entry.empty()) Append(destination, section, entry, kMergedEntryLimit);
        }
    }
}
