#include "records/RemovalRules.h"

#include <algorithm>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "script/ScriptPath.h"
#include "script/UnpackLibrary.h"
#include "state/ComponentFlags.h"

namespace {

std::string Folded(std::string text)
{
    fw::ToUpper(text);
    while (!text.empty() && text.back() == '\\') text.pop_back();
    return text;
}

// True when `inner` is `outer` or lies below it.
bool IsAtOrBelow(const std::string& inner, const std::string& outer)
{
    std::string a = Folded(inner), b = Folded(outer);
    if (b.empty()) return false;
    return a == b || (a.size() > b.size() && a.compare(0, b.size(), b) == 0 && a[b.size()] == '\\');
}

bool IsFullPath(const std::string& path)
{
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

}  // namespace

ProtectedPlaces ProtectedPlaces::OfThisSystem()
{
    return {WindowsDirectory(), SystemDirectory()};
}

bool IsProtectedDirectory(const std::string& directory, const ProtectedPlaces& places)
{
    std::string folded = Folded(directory);
    if (!IsFullPath(folded + "\\") || folded.size() <= 2) return true;
    for (const std::string& place : {places.windowsDir, places.systemDir})
        if (!place.empty() && IsAtOrBelow(place, folded)) return true;
    return false;
}

std::vector<std::string> ProductDirectories(const std::vector<std::string>& directoryEntries,
                                            const ProtectedPlaces& places)
{
    std::vector<std::string> directories;
    for (const std::string& entry : directoryEntries) {
        size_t digits = SpanOf(entry, "0123456789");
        if (digits == 0 || digits >= entry.size() || entry[digits] != ',') continue;
        int number = std::atoi(entry.substr(0, digits).c_str());
        const auto& own = component::kWithDirectory;
        if (std::find(own.begin(), own.end(), number) == own.end()) continue;
        std::string directory = entry.substr(digits + 1);
        if (IsProtectedDirectory(directory, places) || IsInside(directory, directories)) continue;
        directories.push_back(directory);
    }
    return directories;
}

bool IsInside(const std::string& path, const std::vector<std::string>& directories)
{
    for (const std::string& directory : directories)
        if (IsAtOrBelow(path, directory)) return true;
    return false;
}

bool MayRemovePath(const std::string& path, const std::vector<std::string>& productDirectories,
                   const ProtectedPlaces& places)
{
    if (!IsFullPath(path)) return false;
    if (IsInside(path, productDirectories)) return true;
    return Folded(path) == Folded(JoinPath(places.windowsDir, kStagedLibraryName));
}

bool IsProductKey(const std::string& keyPath, const std::string& productName)
{
    std::string key = Folded(keyPath);
    size_t slash = key.rfind('\\');
    // At least "Software\\<maker or place>\\<name>".
    if (productName.empty() || slash == std::string::npos || std::count(key.begin(), key.end(), '\\') < 2)
        return false;
    std::string last = key.substr(slash + 1), parent = key.substr(0, slash);
    if (last == Folded(productName)) return true;
    size_t up = parent.rfind('\\');
    return parent.substr(up + 1) == "APP PATHS" && last.size() > 4 && last.compare(last.size() - 4, 4, ".EXE") == 0;
}

bool IsInScope(const std::string& keyPath, const RegistryScope& scope)
{
    for (const std::string& key : scope.keys)
        if (IsAtOrBelow(keyPath, key)) return true;
    return false;
}

bool MayRemoveIniKey(const std::vector<std::string>& sectionLines, const std::string& key,
                     const std::vector<std::string>& productDirectories)
{
    int found = 0;
    std::string value;
    for (const std::string& line : sectionLines) {
        size_t eq = line.find('=');
        std::string name = line.substr(0, eq);
        TrimTrailingSpace(name);
        if (Folded(name) != Folded(key)) continue;
        ++found;
        value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    }
    if (found != 1) return false;
    TrimLeadingSpace(value);
    for (const std::string& directory : productDirectories) {
        std::string folded = Folded(value), dir = Folded(directory);
        size_t at = folded.find(dir);
        // The directory itself, or a path in it, not a longer name that
        // starts with the same letters.
        if (at != std::string::npos &&
            (at + dir.size() == folded.size() || folded[at + dir.size()] == '\\' ||
             folded[at + dir.size()] == ' ' || folded[at + dir.size()] == ';' || folded[at + dir.size()] == ','))
            return true;
    }
    return false;
}
