// CVREMOVE.LOG: what the uninstaller needs beyond INSTALL.LOG, which stays
// exactly as it is. It lies beside INSTALL.LOG, in the same numbered-list
// format, written through the install log's one writer:
//   [Product]        Name, Version, Publisher
//   "Uninstaller"    0,<the uninstaller's copy in the product directory>
//   "Key"            0,<its registry key under HKEY_LOCAL_MACHINE>
//   "Created"        0,<a file the post-install step created>
//   "Appended"       0,<file>|<a line appended to that existing file>
//   "IniKey"         0,<INI file>,<section>,<key> the product INI's keys
//   "MadeDirectory"  0,<a directory level the install made>
//   "SharedDll"      0,<a shared library this product directory counts>
//   "Subtracted"     0,<a shared library whose count a removal took back>
//   "Stamp"          0,<size>,<write time>,<file> of every file the logs list
//   "Scope"          0,<a registry key the product's own values lie under>
// A later install into the same directory goes on with the same file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct InstallState;
struct SystemPlaces;

namespace removal_log {
constexpr char kProduct[] = "Product";
constexpr char kUninstaller[] = "Uninstaller";
constexpr char kKey[] = "Key";
constexpr char kCreated[] = "Created";
constexpr char kAppended[] = "Appended";
constexpr char kIniKey[] = "IniKey";
constexpr char kMadeDirectory[] = "MadeDirectory";
constexpr char kSharedDll[] = "SharedDll";
constexpr char kSubtracted[] = "Subtracted";
constexpr char kStamp[] = "Stamp";
constexpr char kScope[] = "Scope";
}  // namespace removal_log

// Where Windows 95 and NT count the users of a shared library (below
// HKEY_LOCAL_MACHINE).
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// CVREMOVE.LOG beside the install log; empty when there is no log.
std::string RemovalLogPath(const std::string& installLogPath);

// One entry of a list, without its number ("0,").
void AddRemovalEntry(const InstallState& state, const char* section, const std::string& text);

// A file's size and last-write time, as the "Stamp" list keeps them.
struct FileStamp {
    uint64_t size = 0;
    uint64_t written = 0;  // FILETIME, 100 ns
};
bool ReadStamp(const std::string& path, FileStamp& stamp);
// The recorded stamp of `path`; false when none is recorded.
bool RecordedStamp(const std::vector<std::string>& stampEntries, const std::string& path, FileStamp& stamp);
// True when the two differ in size, or in write time by more than two
// seconds (the resolution of the FAT file systems).
bool StampChanged(const FileStamp& recorded, const FileStamp& now);

// The registry key the uninstaller is registered under (below
// HKEY_LOCAL_MACHINE).
std::string UninstallKey(const std::string& productName);
// The product's name, as the install records it and the uninstaller shows it.
std::string ProductName();

// After a completed install: copies the uninstaller from the installer's
// directory into targetDir1, records the product and, on Windows 95 and
// NT, registers it where those systems list installed programs. Nothing
// when the media carry no uninstaller or there is no log. True when the
// uninstaller was put in place.
bool InstallUninstaller(InstallState& state, const SystemPlaces& places);

// Counts the shared library at `path` for this product directory in the
// system's SharedDLLs list (Windows 95 and NT), once: a library this
// product directory counts already is not counted again. `existedBefore`:
// the file was there before this install; without a count it is counted
// for its earlier user first.
void CountSharedLibrary(const InstallState& state, const SystemPlaces& places, const std::string& path,
                        bool existedBefore);

// At the very end of a completed install: the directory levels the run
// made, and the stamp of every file the logs list.
void FinishRemovalLog(const InstallState& state);
