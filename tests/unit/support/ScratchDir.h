// A directory of its own for one test, under the prefix's temporary
// directory, removed with everything in it when the object goes.
#pragma once
#include <windows.h>

#include <string>

class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag)
    {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        std::string base = temp;
        if (!base.empty() && base.back() != '\\') base += '\\';
        path_ = base + "cvunit-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        RemoveTree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchDir() { RemoveTree(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The directory, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // A path inside it.
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

    static void RemoveTree(const std::string& path)
    {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                std::string child = path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(path.c_str());
    }

private:
    std::string path_;
};

// Writes `contents` to a new file at `path`; false when that failed.
inline bool WriteWholeFile(const std::string& path, const std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, contents.data(), (DWORD)contents.size(), &written, nullptr) &&
              written == contents.size();
    CloseHandle(file);
    return ok;
}

// The whole contents of the file at `path`; `ok` false when it cannot be read.
inline std::string ReadWholeFile(const std::string& path, bool* ok = nullptr)
{
    std::string contents;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ok) *ok = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return contents;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) contents.append(buffer, got);
    CloseHandle(file);
    return contents;
}

inline bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A drive letter ("Q:") that has no drive behind it in this prefix, or an
// empty text when every letter is taken.
inline std::string UnusedDriveLetter()
{
    DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter >= 'F'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    }
    return {};
}

// A directory in which nothing can be made, whoever runs the tests: the
// Unix /sys seen through drive Z: (the prefix maps Z: to "/"). Empty when
// the prefix has no such drive.
inline std::string UnwritableDirectory()
{
    DWORD attributes = GetFileAttributesA("Z:\\sys");
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return "Z:\\sys";
}
