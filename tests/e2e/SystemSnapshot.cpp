#include "SystemSnapshot.h"

#include <cstdio>

namespace e2e {
namespace {

bool Skipped(const std::string& path, const std::vector<std::string>& skip)
{
    for (const std::string& prefix : skip)
        if (path.size() >= prefix.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                                                           (int)prefix.size(), prefix.c_str(),
                                                           (int)prefix.size()) == CSTR_EQUAL)
            return true;
    return false;
}

std::string Upper(std::string text)
{
    CharUpperBuffA(text.data(), (DWORD)text.size());
    return text;
}

}  // namespace

void SnapshotFiles(Snapshot& into, const std::string& root, bool contents, const std::vector<std::string>& skip)
{
    if (Skipped(root, skip) || !DirectoryExists(root)) return;
    into[Upper(root) + "\\"] = "folder";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = root + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            into[Upper(path)] = "link";
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            SnapshotFiles(into, path, contents, skip);
        } else if (!Skipped(path, skip)) {
            char what[80];
            std::snprintf(what, sizeof what, "%lu bytes, written %08lx%08lx", found.nFileSizeLow,
                          found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
            into[Upper(path)] = contents ? std::to_string(found.nFileSizeLow) + " bytes: " + ReadWholeFile(path)
                                         : std::string(what);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

void SnapshotKeys(Snapshot& into, HKEY root, const std::string& rootName, const std::string& path, int depth,
                  const std::vector<std::string>& skip)
{
    std::string name = rootName + "\\" + path;
    if (Skipped(name, skip)) return;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    into[Upper(name) + "\\"] = "key";
    for (DWORD i = 0;; ++i) {
        char value[16384];
        BYTE data[4096];
        DWORD valueSize = sizeof value, dataSize = sizeof data, type = 0;
        LONG r = RegEnumValueA(key, i, value, &valueSize, nullptr, &type, data, &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) {
            into[Upper(name) + "|" + Upper(value)] = "(large)";
            continue;
        }
        into[Upper(name) + "|" + Upper(value)] =
            std::to_string(type) + ":" + std::string((const char*)data, dataSize);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0; depth > 0; ++i) {
        char sub[256];
        DWORD size = sizeof sub;
        if (RegEnumKeyExA(key, i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(sub);
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys)
        SnapshotKeys(into, root, rootName, path.empty() ? sub : path + "\\" + sub, depth - 1, skip);
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> lines;
    for (const auto& [path, what] : before) {
        auto now = after.find(path);
        if (now == after.end()) lines.push_back("- " + path);
        else if (now->second != what) lines.push_back("~ " + path);
    }
    for (const auto& [path, what] : after)
        if (!before.count(path)) lines.push_back("+ " + path);
    return lines;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) bytes.append(chunk, got);
    CloseHandle(h);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    bool ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &done, nullptr) && done == bytes.size();
    CloseHandle(h);
    return ok;
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadHklmString(const std::string& key, const std::string& value, bool* found)
{
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    HKEY h;
    bool ok = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS;
    if (ok) {
        ok = RegQueryValueExA(h, value.c_str(), nullptr, &type, (BYTE*)data, &size) == ERROR_SUCCESS &&
             type == REG_SZ;
        RegCloseKey(h);
    }
    if (found) *found = ok;
    return ok ? std::string(data) : std::string();
}

}  // namespace e2e
