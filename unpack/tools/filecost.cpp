// What each Win32 call of writing one unpacked file costs on this system (under
// Wine above all): the calls the library and the installer make per file,
// timed one by one over many small files, as the bench's archives have them.
//
//   FILECOST.EXE DIRECTORY [FILES] [BYTES]
//
// Makes FILES files (2000 unless told) of BYTES bytes (8192) in 60 folders
// under DIRECTORY, and prints the mean microseconds of each call:
//   directory-check   GetFileAttributes of the file's folder
//   make-directory    CreateDirectory, once per folder
//   create            CreateFile, CREATE_NEW (a new name, looked up case-insensitively)
//   write             WriteFile of the file's bytes
//   stamp-on-handle   SetFileTime on the open handle
//   close             CloseHandle
//   reopen-stamp      CreateFile OPEN_EXISTING, SetFileTime, CloseHandle: a later stamp by name
//   attributes        GetFileAttributes of the new file
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

LARGE_INTEGER frequency;

double Micro(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    return double(to.QuadPart - from.QuadPart) * 1e6 / double(frequency.QuadPart);
}

struct Cost {
    const char* name;
    double total = 0;
    long count = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: FILECOST DIRECTORY [FILES] [BYTES]\n");
        return 64;
    }
    const std::string root = argv[1];
    const int files = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int bytes = argc > 3 ? std::atoi(argv[3]) : 8192;
    QueryPerformanceFrequency(&frequency);
    std::vector<char> data(bytes, 'x');
    FILETIME stamp{0x2A5B4C00u, 0x01BC6F3Bu};  // a day in 1997
    enum { kCheck, kMakeDir, kCreate, kWrite, kStamp, kClose, kReopen, kAttributes, kCount };
    Cost costs[kCount] = {{"directory-check"}, {"make-directory"}, {"create"}, {"write"},
                          {"stamp-on-handle"}, {"close"}, {"reopen-stamp"}, {"attributes"}};
    auto timed = [&](int which, auto&& call) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        auto result = call();
        QueryPerformanceCounter(&b);
        costs[which].total += Micro(a, b);
        ++costs[which].count;
        return result;
    };

    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<bool> made(60, false);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int n = 0; n < files; ++n) {
        char folder[32], name[32];
        std::snprintf(folder, sizeof folder, "\\D%02d", n % 60);
        std::snprintf(name, sizeof name, "\\F%05d.TXT", n);
        const std::string dir = root + folder, path = dir + name;
        DWORD a = timed(kCheck, [&] { return GetFileAttributesA(dir.c_str()); });
        if (!made[n % 60] && a == INVALID_FILE_ATTRIBUTES) {
            timed(kMakeDir, [&] { return CreateDirectoryA(dir.c_str(), nullptr); });
            made[n % 60] = true;
        }
        HANDLE out = timed(kCreate, [&] {
            return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        });
        if (out == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "cannot create %s (%lu)\n", path.c_str(), GetLastError());
            return 1;
        }
        DWORD done = 0;
        timed(kWrite, [&] { return WriteFile(out, data.data(), DWORD(bytes), &done, nullptr); });
        timed(kStamp, [&] { return SetFileTime(out, nullptr, nullptr, &stamp); });
        timed(kClose, [&] { return CloseHandle(out); });
        timed(kReopen, [&] {
            HANDLE again = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (again == INVALID_HANDLE_VALUE) return FALSE;
            SetFileTime(again, &stamp, &stamp, &stamp);
            return CloseHandle(again);
        });
        timed(kAttributes, [&] { return GetFileAttributesA(path.c_str()); });
    }
    QueryPerformanceCounter(&end);
    std::printf("%d files of %d bytes in %.3f s\n", files, bytes, Micro(start, end) / 1e6);
    for (const Cost& c : costs)
        if (c.count) std::printf("%-16s %8.1f us  (x%ld, %.3f s)\n", c.name, c.total / c.count, c.count, c.total / 1e6);
    return 0;
}
