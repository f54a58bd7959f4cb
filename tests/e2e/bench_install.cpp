// The install step's benchmark walk (run by `make bench` through
// tests/bench/install_bench.py, never by `make test`): installs a big
// generated product from single-directory media through the real wizard
// with Express and times it from outside, as a person with a stopwatch would.
//
// The plan file named by CV_BENCH_PLAN (written by install_bench.py) gives,
// one tab-separated record a line:
//   media   DIR            single-directory media; INSTALL.EXE is written there
//   target  DIR            the product directory typed on the locations page
//   line    ID  TEXT       a script line of the installer copy (IDS_SCRIPT_FIRST + k)
//   drop    ID             a string removed from the copy
//   stage   NAME  PATH  SIZE   a file whose arrival with SIZE bytes ends a stage
// The stages come in script order; the last one is the marker file that the
// script's last working line copies, so its arrival is the end of the
// script's last line. The clock starts when the progress window opens.
//
// Prints, for install_bench.py:
//   BENCH stage NAME SECONDS   (since the progress window opened)
//   BENCH install SECONDS      (window opened to the marker in place)
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "Driver.h"
#include "Pages.h"
#include "SystemSnapshot.h"
#include "Walks.h"
#include "Variants.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr DWORD kInstallTimeout = 900000;

struct Stage {
    std::string name, path;
    ULONGLONG size = 0;
    double seconds = -1;
};

struct Plan {
    std::string media, target;
    StringChanges script;
    std::vector<Stage> stages;
};

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

bool ReadPlan(const std::string& path, Plan& plan)
{
    for (const std::string& line : ReadLines(path)) {
        std::vector<std::string> f = SplitTabs(line);
        if (f.size() == 2 && f[0] == "media") plan.media = f[1];
        else if (f.size() == 2 && f[0] == "target") plan.target = f[1];
        else if (f.size() == 3 && f[0] == "line") plan.script[(UINT)std::atoi(f[1].c_str())] = f[2];
        else if (f.size() == 2 && f[0] == "drop") plan.script[(UINT)std::atoi(f[1].c_str())] = std::nullopt;
        else if (f.size() == 4 && f[0] == "stage") plan.stages.push_back({f[1], f[2], std::strtoull(f[3].c_str(), nullptr, 10)});
        else if (!line.empty()) return false;
    }
    return !plan.media.empty() && !plan.target.empty() && !plan.stages.empty();
}

bool Arrived(const Stage& stage)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(stage.path.c_str(), GetFileExInfoStandard, &data)) return false;
    return (((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow) == stage.size;
}

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&frequency_); }
    void Start() { QueryPerformanceCounter(&start_); }
    double Seconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return double(now.QuadPart - start_.QuadPart) / double(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{}, start_{};
};

// The installer's own windows are found without sending them a message: a
// window's title comes through a message to its thread, and the installer's
// thread answers only between files, which would start the clock late.
struct Search {
    DWORD pid;
    bool (*wanted)(HWND);
    HWND found = nullptr;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[16] = {};
    if (pid != search->pid || !IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        lstrcmpA(className, "#32770") != 0 || !search->wanted(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindOwnWindow(DWORD pid, bool (*wanted)(HWND))
{
    Search search{pid, wanted};
    EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsProgressWindow(HWND window)
{
    return GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr;
}

// A message box or question: an enabled dialog with an answer button that is
// not the progress window (the billboards are disabled).
bool IsQuestion(HWND window)
{
    return IsWindowEnabled(window) && !IsProgressWindow(window) &&
           (GetDlgItem(window, IDOK) || GetDlgItem(window, IDYES) || GetDlgItem(window, IDRETRY));
}

struct Watch {
    DWORD pid = 0;
    HWND window = nullptr;
    Clock clock;
};

DWORD WINAPI WatchForProgressWindow(void* param)
{
    auto* watch = static_cast<Watch*>(param);
    for (DWORD waited = 0; waited < kStartTimeout; waited += 1) {
        if (HWND window = FindOwnWindow(watch->pid, IsProgressWindow)) {
            watch->clock.Start();
            watch->window = window;
            return 0;
        }
        Sleep(1);
    }
    return 0;
}

void BenchInstall(const Args& args)
{
    const char* planPath = std::getenv("CV_BENCH_PLAN");
    REQUIRE(planPath, "CV_BENCH_PLAN is not set (this walk is run by install_bench.py)");
    Plan plan;
    bool planRead = ReadPlan(planPath, plan);
    REQUIRE(planRead, "the plan %s cannot be read", planPath);

    Args run = args;
    run.sourceDir = plan.media;
    run.installer = plan.media + "\\INSTALL.EXE";
    std::string why;
    bool written = WriteInstallerVariant(args.installer, run.installer, plan.script, why);
    REQUIRE(written, "%s", why.c_str());

    // The same install with the diagnostic log, when the plan asks for one.
    const char* logPath = std::getenv("CV_BENCH_LOG");
    Installer installer;
    HWND locations = StartAtLocations(run, installer, logPath ? "\"/LOG=" + std::string(logPath) + "\"" : "");
    REQUIRE(locations, "no locations page");
    LocationsNext(locations, plan.target);
    bool closed = ui::WaitUntil([&] { return !IsWindow(locations); }, kTimeout);
    REQUIRE(closed, "Next did not close the page");
    HWND type = WaitPage(installer, kInstallTypeTitle);
    REQUIRE(type, "no installation type page");
    // The window is watched for from before the click on (the click itself
    // waits a little after the button is up), often enough to catch its
    // opening within a few milliseconds; the installer is in the wizard
    // until then.
    Watch watch;
    watch.pid = installer.Pid();
    HANDLE watcher = CreateThread(nullptr, 0, WatchForProgressWindow, &watch, 0, nullptr);
    REQUIRE(watcher, "cannot start the watch for the progress window");
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    HWND progress = watch.window;
    REQUIRE(progress, "no progress window after Express");
    Clock clock = watch.clock;

    // Then the files, every 10 ms: a look at a file's size costs the
    // installer next to nothing.
    size_t next = 0;
    while (next < plan.stages.size()) {
        double now = clock.Seconds();
        // A later stage that is there finishes the ones before it as well.
        for (size_t i = plan.stages.size(); i-- > next;) {
            if (!Arrived(plan.stages[i])) continue;
            for (; next <= i; ++next) plan.stages[next].seconds = now;
            break;
        }
        if (next == plan.stages.size()) break;
        REQUIRE(now * 1000 < kInstallTimeout, "the install did not end within %lu s", kInstallTimeout / 1000);
        if (HWND box = FindOwnWindow(installer.Pid(), IsQuestion)) {
            REQUIRE(false, "the installer asks: %s", ui::MessageBoxText(box).c_str());
        }
        REQUIRE(WaitForSingleObject(installer.Process(), 0) == WAIT_TIMEOUT, "the installer ended early");
        Sleep(10);
    }
    double installed = plan.stages.back().seconds;
    for (const Stage& stage : plan.stages) std::printf("BENCH stage %s %.3f\n", stage.name.c_str(), stage.seconds);
    std::printf("BENCH install %.3f\n", installed);

    // The installer is ended while it waits for the billboard tick, once it
    // has removed its staged copy of the unpack library: what follows the
    // install step (the product's records) is not for the benchmark's
    // prefix, and the benchmark removes the product directory itself.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string staged = std::string(windows) + "\\CUNPACK.DLL";
    bool removed = ui::WaitUntil([&] { return GetFileAttributesA(staged.c_str()) == INVALID_FILE_ATTRIBUTES; }, kTimeout);
    CHECK(removed, "the staged library %s stayed", staged.c_str());
    // Ended there, the run leaves its keep folder with the log's earlier
    // copy, which the next installer would put back first: the benchmark
    // takes it away with the product directory.
    TerminateProcess(installer.Process(), 0);
    WaitForSingleObject(installer.Process(), kTimeout);
    for (const std::string& folder : FileNames("C:", "~CVKEEP.*")) RemoveTree("C:\\" + folder);
    std::fflush(stdout);
}

}  // namespace

E2E_SCENARIO("bench-install", BenchInstall);

}  // namespace e2e
