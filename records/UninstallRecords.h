// The uninstall records of INSTALL.LOG beyond its files and directories: the
// program items and groups ("Item", "Group"), the registry values
// ("Registry"), and the entries that the installed product brings along in
// its UNINST.LOG ("IniKey", "Registry", "Rename"). Every list is numbered
// ("Last", then "1", "2", ...) and grows through the install log's one
// append routine.
#pragma once
#include <string>

struct InstallState;

// "number,title" into "Item".
void AddItemRecord(int number, const std::string& title, const std::string& logPath);
// "number,group" into "Group".
void AddGroupRecord(int number, const std::string& groupName, const std::string& logPath);
// "number,Subkey,owner,root,key,value" into "Registry".
void AddRegistryRecord(int number, const std::string& owner, const std::string& rootName,
                       const std::string& keyPath, const std::string& valueName, const std::string& logPath);

// Copies the "IniKey", "Registry" and "Rename" entries of targetDir1 +
// "\UNINST.LOG" to the end of the same lists of the log at installLogPath,
// from the last to the first, renumbered, empty entries left out. Nothing
// happens when either file is missing; UNINST.LOG is not changed.
void MergeUninstallSections(const InstallState& state);

// The longest entry each list's buffer holds (the terminating zero aside): a
// longer entry is cut there.
constexpr size_t kItemEntryLimit = 259;      // "Item", "Group"
constexpr size_t kRegistryEntryLimit = 299;  // "Registry", "IniKey"
constexpr size_t kMergedEntryLimit = 259;    // entries read from UNINST.LOG
