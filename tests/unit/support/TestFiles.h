// Small helpers the unit tests share for the files they look at.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The directory of the unit-test program (the build's bin folder, where the
// test programs and the unpack library are).
inline std::string ProgramDir()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\'));
}

// The sample product's media of this build, every file in one directory.
inline std::string SampleMediaAll() { return ProgramDir() + "\\..\\products\\velomire\\media\\ALL"; }

// Every "key=value" of an INI file's section, in file order.
inline std::vector<std::string> ProfileSection(const std::string& file, const char* section)
{
    std::vector<char> buffer(1 << 20);
    DWORD n = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), file.c_str());
    std::vector<std::string> lines;
    for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += lstrlenA(p) + 1) lines.push_back(p);
    return lines;
}

// The Windows and system directories, as the system names them.
inline std::string WindowsDir()
{
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

inline std::string SystemDir()
{
    char buffer[MAX_PATH] = {};
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}
