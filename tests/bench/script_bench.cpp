// Cost of the install log's file records: AddFileRecord appends one "File"
// entry with a read of "Last" and two writes through the private-profile
// calls, each of which reads and rewrites the whole log file. Prints the
// time of runs of 1,000 to 10,000 records into a fresh log, and the time of
// the last thousand records of each run, to show how the cost grows with
// the size of the log.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "script/InstallLog.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "cvbench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string log = dir + "\\INSTALL.LOG";
    const std::string file = "C:\\RAMHOLD\\DISKSPUR\\SUBDIRECTORY\\A_FILE_NAME.EXE";

    std::vector<int> counts = {1000, 2000, 5000, 10000};
    std::printf("%8s %12s %14s %22s %12s\n", "records", "total ms", "us per record",
                "last 1000 records ms", "log bytes");
    int failures = 0;
    for (int count : counts) {
        DeleteFileA(log.c_str());
        LARGE_INTEGER start, lastThousand{}, end;
        QueryPerformanceCounter(&start);
        for (int i = 1; i <= count; ++i) {
            if (i == count - 999) QueryPerformanceCounter(&lastThousand);
            AddFileRecord(41, file, log);
        }
        QueryPerformanceCounter(&end);

        // The list must have come out whole.
        std::string last = ReadLogString(log, "File", "Last");
        if (last != std::to_string(count)) {
            std::printf("wrong count after %d records: \"%s\"\n", count, last.c_str());
            ++failures;
        }
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &data);
        double total = Seconds(start, end);
        std::printf("%8d %12.1f %14.1f %22.1f %12lu\n", count, total * 1000.0, total * 1e6 / count,
                    Seconds(lastThousand, end) * 1000.0, (unsigned long)data.nFileSizeLow);
        std::fflush(stdout);
    }
    DeleteFileA(log.c_str());
    RemoveDirectoryA(dir.c_str());
    return failures == 0 ? 0 : 1;
}
