// End-to-end driver: starts the real INSTALL.EXE, works its windows as a
// person would, and checks what the installer did.
//
//   e2edriver SCENARIO INSTALLER_EXE SOURCE_DIR CALL_LOG [SCREENSHOT_DIR]
//
// The maker's programs that the installer starts write their command lines
// to CALL_LOG (see sample/calllog). Exit code 0 when every check held.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "Ui.h"

namespace {

const char kTitle[] = "Corvane Velomire Installation";
const char kExitQuestion[] = "Are you sure you want to exit Install?";
const char kCleanupCall[] = "CVDEL.EXE|/P Corvane Velomire Installation";
constexpr DWORD kStartTimeout = 30000;
constexpr DWORD kTimeout = 10000;

int failures = 0;

#define CHECK(cond, ...)                                              \
    do {                                                              \
        if (!(cond)) {                                                \
            ++failures;                                               \
            std::printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond); \
            std::printf(__VA_ARGS__);                                 \
            std::printf("\n");                                        \
        }                                                             \
    } while (0)

#define REQUIRE(cond, ...)       \
    do {                         \
        CHECK(cond, __VA_ARGS__); \
        if (!(cond)) return;     \
    } while (0)

struct Args {
    std::string scenario, installer, sourceDir, callLog, shots;
};

class Installer {
public:
    ~Installer()
    {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    bool Start(const std::string& exe, const std::string& arguments)
    {
        std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        // The installer gets no share of our output: a process of it that
        // lingers after its end (as Wine's can, briefly) must not keep the
        // test runner waiting for our output to close.
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul;
        bool started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi_) != FALSE;
        CloseHandle(nul);
        return started;
    }
    DWORD Pid() const { return pi_.dwProcessId; }
    // Waits until the installer waits for input, as a person waits for a
    // page to settle before clicking on it.
    void Settle() const
    {
        WaitForInputIdle(pi_.hProcess, 5000);
        Sleep(250);
    }
    bool WaitEnd(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

private:
    PROCESS_INFORMATION pi_{};
};

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int CountCalls(const std::string& log, const std::string& call)
{
    int n = 0;
    for (const std::string& line : ReadLines(log)) n += line == call;
    return n;
}

// The cleanup program is started without waiting; give it time to log.
void ExpectCleanupCalls(const Args& args, int expected)
{
    ui::WaitUntil([&] { return CountCalls(args.callLog, kCleanupCall) >= expected; }, kTimeout);
    Sleep(500);  // a further, unexpected start would show up by now
    int seen = CountCalls(args.callLog, kCleanupCall);
    CHECK(seen == expected, "cleanup program started %d times, expected %d", seen, expected);
    for (const std::string& line : ReadLines(args.callLog))
        CHECK(line == kCleanupCall, "unexpected program start: %s", line.c_str());
}

void Shot(const Args& args, const char* name)
{
    if (args.shots.empty()) return;
    Sleep(300);  // let the windows finish painting
    std::string path = args.shots + "\\" + name + ".png";
    CHECK(ui::SaveScreenshot(path), "could not save %s", path.c_str());
    std::printf("screenshot %s\n", path.c_str());
}

HWND WaitWelcome(const Installer& installer, DWORD timeout = kStartTimeout)
{
    HWND page = ui::WaitFor([&] { return ui::FindTopLevel(installer.Pid(), "#32770", "Welcome"); }, timeout);
    installer.Settle();
    return page;
}

HWND WaitExitQuestion(const Installer& installer)
{
    HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle, kExitQuestion); }, kTimeout);
    installer.Settle();
    return box;
}

// Starts the installer on the sample media (plus `extra` on its command
// line) and waits for its welcome page; null when either failed.
HWND StartAtWelcome(const Args& args, Installer& installer, const std::string& extra = "")
{
    if (!installer.Start(args.installer, "/P " + args.sourceDir + extra)) {
        CHECK(false, "cannot start %s", args.installer.c_str());
        return nullptr;
    }
    HWND page = WaitWelcome(installer);
    CHECK(page, "no welcome page");
    return page;
}

// Exit on the page, Yes in the question: the installer ends.
void LeaveWithYes(const Args& args, Installer& installer, HWND page)
{
    ui::Click(GetDlgItem(page, IDCANCEL));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Exit");
    Shot(args, "02-exit-question");
    ui::Click(GetDlgItem(question, IDYES));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit, Yes");
}

void Startup(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;
    HWND backdrop = ui::FindTopLevel(installer.Pid(), "FwFrameWindow", kTitle);
    REQUIRE(backdrop, "no backdrop titled \"%s\"", kTitle);
    Shot(args, "01-welcome");

    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    RECT r = ui::Rect(backdrop);
    CHECK(r.left == 0 && r.top == 0 && r.right == cx && r.bottom == cy,
          "backdrop covers %ld,%ld-%ld,%ld, screen is %dx%d", r.left, r.top, r.right, r.bottom, cx, cy);

    RECT p = ui::Rect(page);
    int w = p.right - p.left, h = p.bottom - p.top;
    CHECK(p.left == (cx - w) / 2 && p.top == (cy - h) / 2, "page at %ld,%ld is not centred (%dx%d)",
          p.left, p.top, w, h);
    HWND back = GetDlgItem(page, 10102);
    CHECK(back && ui::IsVisible(back) && !ui::IsEnabled(back), "Back must be shown greyed");
    HWND help = GetDlgItem(page, 10104);
    CHECK(help && !ui::IsVisible(help), "Help must be hidden");
    HWND next = GetDlgItem(page, 10105);
    CHECK(next && ui::IsEnabled(next) && ui::Text(next) == "&Next >", "Next must be there");
    CHECK(!ui::IsVisible(GetDlgItem(page, 10407)), "10407 must be hidden");
    HWND picture = GetDlgItem(page, 1240);
    CHECK(picture && ui::IsVisible(picture), "product picture missing");

    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

void ExitNoThenYes(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;

    ui::Click(GetDlgItem(page, IDCANCEL));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Exit");
    CHECK(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO), "question needs Yes and No");
    ui::Click(GetDlgItem(question, IDNO));
    CHECK(ui::WaitUntil([&] { return !IsWindow(question); }, kTimeout), "question still open after No");
    CHECK(!installer.WaitEnd(500), "No ended the installer");
    CHECK(IsWindow(page) && ui::IsVisible(page), "No closed the page");
    CHECK(CountCalls(args.callLog, kCleanupCall) == 0, "No started the cleanup program");

    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

void EscapeActsAsExit(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;
    ui::PressKey(page, VK_ESCAPE);
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Escape");
    ui::Click(GetDlgItem(question, IDYES));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after Escape, Yes");
    ExpectCleanupCalls(args, 2);
}

void MissingSource(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer, "\\NO\\SUCH\\DIR");
    if (!page) return;
    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

// The walk of `make demo`: the same screens, one picture each.
void Demo(const Args& args)
{
    Startup(args);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::printf("usage: e2edriver SCENARIO INSTALLER_EXE SOURCE_DIR CALL_LOG [SCREENSHOT_DIR]\n");
        return 2;
    }
    Args args{argv[1], argv[2], argv[3], argv[4], argc > 5 ? argv[5] : ""};
    DeleteFileA(args.callLog.c_str());
    SetEnvironmentVariableA("CV_CALL_LOG", args.callLog.c_str());
    if (!args.shots.empty()) CreateDirectoryA(args.shots.c_str(), nullptr);

    std::map<std::string, void (*)(const Args&)> scenarios = {
        {"startup", &Startup},
        {"exit-no-yes", &ExitNoThenYes},
        {"escape", &EscapeActsAsExit},
        {"missing-source", &MissingSource},
        {"demo", &Demo},
    };
    auto it = scenarios.find(args.scenario);
    if (it == scenarios.end()) {
        std::printf("unknown scenario %s\n", args.scenario.c_str());
        return 2;
    }
    it->second(args);
    std::printf("%s: %s\n", args.scenario.c_str(), failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
