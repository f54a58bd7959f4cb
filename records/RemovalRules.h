// The rules that keep a removal of an install to what the install made:
// which directories are the product's, which file and directory entries of
// a log may be taken back, which registry values and which INI keys. A log
// is a text anybody can edit; whatever these rules refuse is kept and
// reported, never deleted.
#pragma once
#include <string>
#include <vector>

// The system's own places, which no log can make the product's.
struct ProtectedPlaces {
    std::string windowsDir;
    std::string systemDir;
    // The places of the system this program runs on.
    static ProtectedPlaces OfThisSystem();
};

// True when `directory` can never be a product directory: a drive root (or
// no full path at all), the Windows or the system directory, or a parent of
// them.
bool IsProtectedDirectory(const std::string& directory, const ProtectedPlaces& places);

// The product's directories: the directories of the log's "Directory"
// entries ("number,directory") whose number is that of a component with a
// directory of its own, each once; a protected directory is left out.
std::vector<std::string> ProductDirectories(const std::vector<std::string>& directoryEntries,
                                            const ProtectedPlaces& places);

// True when `path` is one of `directories` or lies inside one of them
// (compared without regard to case).
bool IsInside(const std::string& path, const std::vector<std::string>& directories);

// Whether a "File" or "Directory" entry's path may be taken back: inside a
// product directory, or the staged unpack library in the Windows directory.
bool MayRemovePath(const std::string& path, const std::vector<std::string>& productDirectories,
                   const ProtectedPlaces& places);

// The registry keys under which the product's values may be deleted: its
// record key, the App Paths keys of its programs and its Uninstall key
// (paths under HKEY_LOCAL_MACHINE).
struct RegistryScope {
    std::vector<std::string> keys;
};
// Whether a key the install recorded can be one of the product's own: it
// is named after the product, or it is a program's App Paths key.
bool IsProductKey(const std::string& keyPath, const std::string& productName);
// True when `keyPath` is one of the scope's keys or lies below one.
bool IsInScope(const std::string& keyPath, const RegistryScope& scope);

// Whether the INI key `key` of `sectionLines` (the section's "key=value"
// lines) may be deleted: it occurs once in its section and its value names
// a product directory.
bool MayRemoveIniKey(const std::vector<std::string>& sectionLines, const std::string& key,
                     const std::vector<std::string>& productDirectories);
