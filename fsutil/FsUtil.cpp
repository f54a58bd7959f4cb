#include "fsutil/FsUtil.h"

#include <windows.h>
#include <direct.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fw/File.h"
#include "fw/ResString.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A drive letter and its colon alone ("C:") names the current directory of
// that drive, not a directory of any chain of parents.
bool IsBareDrive(const std::string& path)
{
    return path.size() == 2 && path[1] == ':';
}

}  // namespace

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MoveReplacing(const std::string& from, const std::string& to)
{
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ||
           (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && (DeleteFileA(to.c_str()) || !FileExists(to)) &&
            MoveFileA(from.c_str(), to.c_str()));
}

std::string JoinPath(std::string directory, const std::string& name)
{
    while (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory + "\\" + name;
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    return fw::ReadWholeFile(path, bytes);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
    return CloseHandle(file) && ok;
}

std::string WindowsDirectory()
{
    char buffer[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : std::string();
}

std::string SystemDirectory()
{
    char buffer[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : std::string();
}

void MakeDriveCurrent(const std::string& path)
{
    if (path.empty()) return;
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') letter = (char)(letter - 'a' + 'A');
    if (letter >= 'A' && letter <= 'Z') _chdrive(letter - 'A' + 1);
}

DirectoryCreation CreateDirectoryPathTracked(const std::string& input)
{
    DirectoryCreation creation;
    std::string path = input;
    StripTrailingBackslash(path);
    // Every level from the top down; the drive part and the levels that
    // exist already simply fail.
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '\\' || i == 0) continue;
        std::string level = path.substr(0, i);
        if (_mkdir(level.c_str()) == 0) creation.made.push_back(level);
    }
    errno = 0;
    if (_mkdir(path.c_str()) == 0) {
        creation.made.push_back(path);
    } else {
        creation.result = -1;
        creation.error = errno;
    }
    return creation;
}

int CreateDirectoryPath(const std::string& path)
{
    DirectoryCreation creation = CreateDirectoryPathTracked(path);
    errno = creation.error;
    return creation.result;
}

void RemoveMadeDirectories(const std::vector<std::string>& made)
{
    for (auto level = made.rbegin(); level != made.rend(); ++level) RemoveDirectoryA(level->c_str());
}

int IsDirectoryWritable(const std::string& dir)
{
    // The probe file is made new, so that a file the user keeps under the
    // same name is neither truncated nor deleted; when "test.tmp" is taken
    // the system picks a fresh name in the same directory.
    std::string probe = dir + "\\test.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
        char unique[MAX_PATH] = {};
        if (dir.size() < MAX_PATH - 14 && GetTempFileNameA(dir.c_str(), "tst", 0, unique) != 0) {
            probe = unique;
            file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) DeleteFileA(probe.c_str());
        }
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    bool wrote = WriteFile(file, "a", 1, &written, nullptr) && written == 1;
    bool closed = CloseHandle(file) != 0;
    DeleteFileA(probe.c_str());
    return (wrote && closed) ? 0 : 1;
}

namespace {

bool FreeSpaceIn(const std::string& path, uint64_t& kb)
{
    std::string root = path;
    if (root.empty() || root.back() != '\\') root += '\\';
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    BOOL ok = GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector,
                                &freeClusters, &totalClusters);
    SetErrorMode(previousMode);
    kb = 0;
    if (!ok) return false;
    // Computed in 64 bits: drives with more than 4 GB free would wrap in
    // 32 bits and report a small, wrong figure.
    uint64_t bytes = (uint64_t)freeClusters * bytesPerSector * sectorsPerCluster;
    kb = bytes >> 10;
    return true;
}

}  // namespace

int FreeSpaceKB(const std::string& path, std::string& text)
{
    uint64_t kb = 0;
    bool known = FreeSpaceIn(path, kb);
    text = std::to_string(kb);
    return known ? 0 : 1;
}

uint64_t FreeSpaceKB(const std::string& path)
{
    uint64_t kb = 0;
    FreeSpaceIn(path, kb);
    return kb;
}


int IsDriveAvailable(const std::string& path)
{
    if (path.empty()) return 0;
    std::string upper = path.substr(0, 1);
    fw::ToUpper(upper);
    int drive = (unsigned char)upper[0] - 64;  // A = 1
    if (drive < 1 || drive > 26) return 0;
    int remembered = _getdrive();
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    int result = _chdrive(drive) == 0 ? 1 : 0;
    if (remembered > 0) _chdrive(remembered);
    SetErrorMode(previousMode);
    return result;
}

int IsValidPathSyntax(const std::string& path, int maxName)
{
    if (path.size() < 2) return 0;
    char first = path[0];
    if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'))) return 0;
    if (path[1] != ':') return 0;
    if (path.size() > 2 && path[2] != '\\') return 0;
    if (path.find('/') != std::string::npos || path.find(' ') != std::string::npos) return 0;

    size_t slash = path.find('\\');
    for (;;) {
        if (slash == std::string::npos || slash + 1 == path.size()) return 1;
        if (path[slash + 1] == '\\') return 0;
        size_t next = path.find('\\', slash + 1);
        size_t length = (next == std::string::npos ? path.size() : next) - (slash + 1);
        if ((long long)length > maxName) return 0;
        slash = next;
    }
}

std::string MakeOsVersionText()
{
    DWORD version = GetVersion();
    unsigned major = LOBYTE(LOWORD(version));
    unsigned minor = HIBYTE(LOWORD(version));
    char buffer[80];
    if ((version & 0x80000000u) == 0)
        std::snprintf(buffer, sizeof buffer, "WinNT %u.%u", major, minor);
    else if (major >= 4)
        std::snprintf(buffer, sizeof buffer, "Win95 %u.%u", major, minor);
    else
        std::snprintf(buffer, sizeof buffer, "Win32S %u.%u", major, minor);
    return buffer;
}

void RemoveDirectoryChain(const std::string& directory)
{
    RemoveDirectoryA(directory.c_str());
    std::string path = directory;
    StripTrailingBackslash(path);
    for (size_t cut = path.rfind('\\'); cut != std::string::npos; cut = path.rfind('\\')) {
        path.erase(cut);
        // "C:" would be the current directory of drive C, which is no
        // parent of this chain: stop at the drive.
        if (IsBareDrive(path)) break;
        RemoveDirectoryA(path.c_str());
    }
}

void StripTrailingBackslash(std::string& text)
{
    if (!text.empty() && text.back() == '\\') text.pop_back();
}

void TrimLeadingSpace(std::string& text)
{
    size_t n = 0;
    while (n < text.size() && IsSpace(text[n])) ++n;
    text.erase(0, n);
}

void TrimTrailingSpace(std::string& text)
{
    size_t n = text.size();
    while (n > 0 && IsSpace(text[n - 1])) --n;
    text.erase(n);
}
