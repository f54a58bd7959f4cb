#include "app/StartUp.h"

#include <windows.h>

#include "fw/ResString.h"

std::string InstallerDirFromModulePath(std::string modulePath)
{
    fw::ToUpper(modulePath);
    size_t slash = modulePath.rfind('\\');
    if (slash == std::string::npos) return modulePath;
    // At a drive root this leaves the letter and its colon.
    return modulePath.substr(0, slash);
}

std::string SourceDirFromCommandLine(const std::string& commandLine, const std::string& installerDir)
{
    if (commandLine.empty()) return installerDir;
    std::string copy = commandLine;
    fw::ToUpper(copy);
    if (copy.find("/P") == std::string::npos) return installerDir;
    size_t colon = copy.rfind(':');
    if (colon != std::string::npos) {
        // The drive letter stands one character before the colon. A colon at
        // the very start of the line has no letter before it; take the text
        // from the colon on rather than reading before the line.
        return copy.substr(colon > 0 ? colon - 1 : 0);
    }
    size_t backslash = copy.find('\\');
    if (backslash != std::string::npos) return copy.substr(backslash);
    return installerDir;
}

bool SourceDirFits(const std::string& sourceDir)
{
    return sourceDir.size() + 1 + kLongestMediaFileName <= MAX_PATH - 1;
}

std::string ModulePath()
{
    // A cut path would name another directory: grow the buffer until the
    // whole path fits.
    for (DWORD size = MAX_PATH + 1;; size *= 2) {
        std::string path(size, '\0');
        DWORD n = GetModuleFileNameA(nullptr, path.data(), size);
        if (n < size || size >= 32768) {
            path.resize(n < size ? n : size - 1);
            return path;
        }
    }
}
