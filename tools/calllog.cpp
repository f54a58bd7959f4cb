// A stand-in for one of the maker's programs. It appends one line to a call
// log and exits:  NAME.EXE|<arguments as given>
// The log is the file named by the environment variable CV_CALL_LOG, or
// CALLS.LOG beside the program. Several programs may share one log; each line
// is written with a single append so concurrent starts do not mix lines.
#include <windows.h>
#include <string>

static const char* SkipProgramName(const char* cmd)
{
    if (*cmd == '"') {
        ++cmd;
        while (*cmd && *cmd != '"') ++cmd;
        if (*cmd == '"') ++cmd;
    } else {
        while (*cmd && *cmd != ' ' && *cmd != '\t') ++cmd;
    }
    while (*cmd == ' ' || *cmd == '\t') ++cmd;
    return cmd;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string selfPath = self;
    std::string name = selfPath.substr(selfPath.find_last_of("\\/") + 1);
    CharUpperA(name.data());

    char logPath[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("CV_CALL_LOG", logPath, MAX_PATH)) {
        std::string beside = selfPath.substr(0, selfPath.find_last_of("\\/") + 1) + "CALLS.LOG";
        lstrcpynA(logPath, beside.c_str(), MAX_PATH);
    }

    std::string line = name + "|" + SkipProgramName(GetCommandLineA()) + "\r\n";
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE h = CreateFileA(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, line.data(), (DWORD)line.size(), &written, nullptr);
            CloseHandle(h);
            break;
        }
        Sleep(20);  // another program holds the log for a moment
    }
    return 0;
}
