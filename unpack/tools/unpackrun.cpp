// Unpacks archives through CUNPCK32.DLL's three entry points, loaded by name
// as the installer loads them, and reports what it wrote and how fast.
//
//   UNPACKRUN.EXE [--quiet] [--window] ARCHIVE DESTINATION [ARCHIVE DESTINATION ...]
//
// Prints the ANSI code page the names are in ("ACP <number>"), one line per
// file written ("FILE <full path>", in that code page), then
//   TOTAL <files> <bytes> <seconds>
//   STARTUP <seconds from the process's creation to the first init>
// --window hands the library a real window for its progress messages.
// Exit code 0 when every archive ended with result 0, else the result.
#include "cunpack.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgressProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "UnpackRunProgress";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    std::printf("ACP %u\n", GetACP());
    bool quiet = false, withWindow = false;
    std::vector<std::pair<std::string, std::string>> jobs;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--quiet"))
            quiet = true;
        else if (!std::strcmp(argv[i], "--window"))
            withWindow = true;
        else if (i + 1 < argc) {
            jobs.emplace_back(argv[i], argv[i + 1]);
            ++i;
        } else {
            std::fprintf(stderr, "usage: UNPACKRUN [--quiet] [--window] ARCHIVE DESTINATION ...\n");
            return 64;
        }
    }
    if (jobs.empty()) {
        std::fprintf(stderr, "usage: UNPACKRUN [--quiet] [--window] ARCHIVE DESTINATION ...\n");
        return 64;
    }

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dll = self;
    dll = dll.substr(0, dll.find_last_of('\\') + 1) + "CUNPCK32.DLL";
    HMODULE lib = LoadLibraryA(dll.c_str());
    if (!lib) {
        std::fprintf(stderr, "cannot load %s\n", dll.c_str());
        return 70;
    }
    auto init = reinterpret_cast<CunpackInitProc>(GetProcAddress(lib, CUNPACK_INIT_NAME));
    auto exec = reinterpret_cast<CunpackExecProc>(GetProcAddress(lib, CUNPACK_EXEC_NAME));
    auto exit = reinterpret_cast<CunpackExitProc>(GetProcAddress(lib, CUNPACK_EXIT_NAME));
    if (!init || !exec || !exit) {
        std::fprintf(stderr, "entry points missing in %s\n", dll.c_str());
        return 70;
    }
    HWND window = withWindow ? MakeWindow() : nullptr;
    volatile LONG cancel = 0;

    LARGE_INTEGER freq, start, stop;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    FILETIME created, ended, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) { return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime; };
    double startup = double(ticks(now) - ticks(created)) / 1e7;
    unsigned long long files = 0, bytes = 0;  // bytes: the low 32 bits of each file's size
    int status = 0;
    for (auto& [archive, dest] : jobs) {
        if (init(archive.c_str(), dest.c_str(), 0, 100, window, 1034, &cancel) == 1) {
            std::fprintf(stderr, "%s: cannot be opened\n", archive.c_str());
            exit();
            status = 1;
            continue;
        }
        char name[CUNPACK_NAME_BUFFER] = "";
        DWORD aux = 0;
        int rc;
        while ((rc = exec(name, &aux)) != 0) {
            if (rc == 2) {
                ++files;
                bytes += aux;
                if (!quiet) std::printf("FILE %s\n", name);
            } else if (rc == 1 || rc == 4) {
                std::fprintf(stderr, "%s: exec gave %d\n", archive.c_str(), rc);
                status = rc;
                break;
            }
        }
        if (exit() == 1) {
            std::fprintf(stderr, "%s: exit gave 1\n", archive.c_str());
            status = 1;
        }
    }
    QueryPerformanceCounter(&stop);
    double seconds = double(stop.QuadPart - start.QuadPart) / double(freq.QuadPart);
    std::printf("TOTAL %llu %llu %.3f\n", files, bytes, seconds);
    std::printf("STARTUP %.3f\n", startup);
    if (window) DestroyWindow(window);
    FreeLibrary(lib);
    return status;
}
