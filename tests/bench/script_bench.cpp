// Cost of the install log's records. For every unpacked file the engine
// calls AddDirectoryRecord and AddFileRecord; here the files lie in 60
// folders and come in archives, and the log is checkpointed after each
// archive, as the engine does while an InstallLogBatch is open.
//
// Prints, for 1,000 to 10,000 files into a fresh log:
// - the install's way: 20 archives (the shipped script has 13 lines that
//   write records), records kept in memory, one checkpoint per archive;
// - the same files in archives of 100 files each (a checkpoint per 100);
// - for comparison, every record written as it happens (no batch), for the
//   smaller counts only: 10,000 that way take minutes.
// and the ratio of 10,000 files to 1,000 files of the install's way (the
// goal: at most 12).
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

struct Run {
    double total = 0;      // seconds
    double flushing = 0;   // seconds in the checkpoints
    unsigned long bytes = 0;
    bool whole = false;    // the log holds every record
};

// `count` files, `perArchive` to an archive (0: no batch at all).
Run Measure(const std::string& log, int count, int perArchive)
{
    const int kFolders = 60;
    DeleteFileA(log.c_str());
    Run run;
    LARGE_INTEGER start, end, a, b;
    QueryPerformanceCounter(&start);
    {
        InstallLogBatch* batch = perArchive > 0 ? new InstallLogBatch : nullptr;
        for (int i = 1; i <= count; ++i) {
            std::string file = "C:\\VELOMIR\\FOLDER" + std::to_string(i % kFolders) + "\\A_FILE_NAME" +
                               std::to_string(i) + ".EXE";
            AddDirectoryRecord(41, file, log);
            AddFileRecord(41, file, log);
            if (perArchive > 0 && (i % perArchive == 0 || i == count)) {
                QueryPerformanceCounter(&a);
                FlushInstallLog();
                QueryPerformanceCounter(&b);
                run.flushing += Seconds(a, b);
            }
        }
        delete batch;
    }
    QueryPerformanceCounter(&end);
    run.total = Seconds(start, end);

    run.whole = ReadLogString(log, "File", "Last") == std::to_string(count) &&
                ReadLogString(log, "File", std::to_string(count).c_str()).find(std::to_string(count) + ".EXE") !=
                    std::string::npos &&
                ReadLogString(log, "Directory", "Last") == std::to_string(count < kFolders ? count : kFolders);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &data);
    run.bytes = data.nFileSizeLow;
    return run;
}

}  // namespace

int main()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "cvbench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string log = dir + "\\INSTALL.LOG";

    int failures = 0;
    std::printf("%8s  %-28s %10s %14s %14s %10s\n", "files", "how", "total ms", "us per file",
                "checkpoints ms", "log bytes");
    double thousand = 0, tenThousand = 0;
    struct Way {
        const char* name;
        int archives;     // fixed number of archives, or
        int perArchive;   // fixed archive size; both 0: no batch
        int upTo;         // largest count measured this way
    };
    const Way ways[] = {
        {"20 archives, batched", 20, 0, 10000},
        {"archives of 100, batched", 0, 100, 10000},
        {"every record as it happens", 0, 0, 2000},
    };
    for (const Way& way : ways) {
        for (int count : {1000, 2000, 5000, 10000}) {
            if (count > way.upTo) continue;
            int perArchive = way.archives ? count / way.archives : way.perArchive;
            Run run = Measure(log, count, perArchive);
            if (!run.whole) {
                std::printf("the log does not hold all %d files (%s)\n", count, way.name);
                ++failures;
            }
            std::printf("%8d  %-28s %10.1f %14.1f %14.1f %10lu\n", count, way.name, run.total * 1000.0,
                        run.total * 1e6 / count, run.flushing * 1000.0, run.bytes);
            std::fflush(stdout);
            if (way.archives == 20 && count == 1000) thousand = run.total;
            if (way.archives == 20 && count == 10000) tenThousand = run.total;
        }
    }
    double ratio = thousand > 0 ? tenThousand / thousand : 0;
    std::printf("ratio 10,000 files / 1,000 files (20 archives): %.1f (goal: at most 12)\n", ratio);
    DeleteFileA(log.c_str());
    RemoveDirectoryA(dir.c_str());
    return failures == 0 ? 0 : 1;
}
