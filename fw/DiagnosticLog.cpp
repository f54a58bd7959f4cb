#include "fw/DiagnosticLog.h"

#include <windows.h>

#include <cstdio>

namespace fw::diag {
namespace {
HANDLE file = INVALID_HANDLE_VALUE;
DWORD started = 0;
}  // namespace

bool Open(const std::string& path)
{
    Close();
    file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    started = GetTickCount();
    // A full disk shows here, before the run changes anything.
    DWORD written = 0;
    const char header[] = "    0.000 diagnostic log opened\r\n";
    if (!WriteFile(file, header, sizeof header - 1, &written, nullptr) || written != sizeof header - 1) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        DeleteFileA(path.c_str());
        return false;
    }
    return true;
}

bool IsOpen()
{
    return file != INVALID_HANDLE_VALUE;
}

void Write(const std::string& event)
{
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD ms = GetTickCount() - started;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%5lu.%03lu ", ms / 1000, ms % 1000);
    std::string line = stamp;
    for (size_t i = 0; i < event.size(); ++i) {
        char c = event[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < event.size() && event[i + 1] == '\n') ++i;
            line += " | ";
        } else {
            line += c;
        }
    }
    line += "\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), (DWORD)line.size(), &written, nullptr);
}

void Close()
{
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
}

}  // namespace fw::diag
