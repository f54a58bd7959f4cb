// End-to-end driver: starts the real INSTALL.EXE, works its windows as a
// person would, and checks what the installer did. The scenarios live in
// the walk files beside this one.
//
//   e2edriver SCENARIO INSTALLER_EXE SOURCE_DIR CALL_LOG [SCREENSHOT_DIR]
//
// The maker's programs that the installer starts write their command lines
// to CALL_LOG (see tools/calllog.cpp). Exit code 0 when every check held.
#include "Driver.h"

#include <tlhelp32.h>

#include <fstream>
#include <map>

#include "resources/resource.h"

namespace e2e {

const char* kTitle = "Corvane Velomire Installation";
const char kExitQuestion[] = "Are you sure you want to exit Install?";
const char kCleanupCall[] = "CVDEL.EXE|/P Corvane Velomire Installation";

int failures = 0;

namespace {
std::map<std::string, ScenarioFn>& Scenarios()
{
    static std::map<std::string, ScenarioFn> table;
    return table;
}
}  // namespace

ScenarioRegistration::ScenarioRegistration(const char* name, ScenarioFn fn)
{
    Scenarios()[name] = fn;
}

Installer::~Installer()
{
    if (pi_.hProcess) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

bool Installer::Start(const std::string& exe, const std::string& arguments)
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
    // Wine's loader now and then fails to start a process at all (its
    // address space reservation can collide); that says nothing about the
    // installer, so a failed start is tried again, said aloud, before the
    // walk gives up.
    bool started = false;
    for (int attempt = 1; attempt <= 3 && !started; ++attempt) {
        started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &si, &pi_) != FALSE;
        startError_ = started ? 0 : GetLastError();
        if (!started) {
            std::printf("note: start %d of %s failed with error %lu\n", attempt, exe.c_str(), startError_);
            Sleep(1000);
        }
    }
    CloseHandle(nul);
    exeName_ = exe.substr(exe.find_last_of("\\/") + 1);
    return started;
}

void Installer::Settle() const
{
    WaitForInputIdle(pi_.hProcess, 5000);
    Sleep(250);
}

bool Installer::WaitEnd(DWORD ms)
{
    bool ended = WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0;
    if (ended && !endChecked_) {
        endChecked_ = true;
        ExpectEndedCompletely();
    }
    return ended;
}

namespace {
// The desktop and the system services that Wine starts for the first
// program of a session: they serve every program after it.
bool IsWineServiceProcess(const std::string& exe)
{
    for (const char* name : {"explorer.exe", "services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe",
                             "rpcss.exe", "conhost.exe"})
        if (lstrcmpiA(exe.c_str(), name) == 0) return true;
    return false;
}
}  // namespace

void Installer::ExpectEndedCompletely()
{
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    CHECK(code == expectedExit_, "the installer ended with code 0x%lx, not 0x%lx", code, expectedExit_);
    // What it started without waiting (the cleanup program's stand-in) ends
    // at once.
    std::string left;
    bool clean = ui::WaitUntil(
        [&] {
            left.clear();
            for (const ProcessInfo& p : ProcessList()) {
                bool ours = lstrcmpiA(p.exeName.c_str(), exeName_.c_str()) == 0 ||
                            (p.parent == pi_.dwProcessId && !IsWineServiceProcess(p.exeName));
                if (ours) left += " " + p.exeName + "(" + std::to_string(p.pid) + ")";
            }
            return left.empty();
        },
        kTimeout);
    CHECK(clean, "still running after the installer (%lu) ended:%s", pi_.dwProcessId, left.c_str());
}

long RunToEnd(const std::string& exe, const std::string& arguments, DWORD expectedExit)
{
    Installer installer;
    installer.ExpectExitCode(expectedExit);
    if (!installer.Start(exe, arguments)) return -1;
    if (!installer.WaitEnd(120000)) return -1;
    DWORD code = 0;
    GetExitCodeProcess(installer.Process(), &code);
    return (long)code;
}

std::vector<ProcessInfo> ProcessList()
{
    std::vector<ProcessInfo> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        list.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    CloseHandle(snapshot);
    return list;
}

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

HWND WaitPage(const Installer& installer, const std::string& title, DWORD timeout)
{
    HWND page = ui::WaitFor([&] { return ui::FindTopLevel(installer.Pid(), "#32770", title); }, timeout);
    if (page) installer.Settle();
    return page;
}

HWND WaitWelcome(const Installer& installer, DWORD timeout)
{
    return WaitPage(installer, "Welcome", timeout);
}

HWND WaitExitQuestion(const Installer& installer)
{
    HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle, kExitQuestion); }, kTimeout);
    installer.Settle();
    return box;
}

HWND StartAtWelcome(const Args& args, Installer& installer, const std::string& extra, const std::string& options)
{
    if (!installer.Start(args.installer, (options.empty() ? "" : options + " ") + "/P " + args.sourceDir + extra)) {
        CHECK(false, "cannot start %s (error %lu)", args.installer.c_str(), installer.StartError());
        return nullptr;
    }
    HWND page = WaitWelcome(installer);
    CHECK(page, "no welcome page");
    return page;
}

bool DeclineExit(const Installer& installer, HWND page, const char* how)
{
    HWND question = WaitExitQuestion(installer);
    CHECK(question, "no exit question after %s", how);
    if (!question) return false;
    ui::Click(GetDlgItem(question, IDNO));
    CHECK(ui::WaitUntil([&] { return !IsWindow(question); }, kTimeout), "question still open after No");
    CHECK(IsWindow(page) && ui::IsVisible(page), "No after %s closed the page", how);
    return true;
}

void LeaveWithYes(const Args& args, Installer& installer, HWND page)
{
    // Exit is IDCANCEL on some pages and a button of its own (IDC_EXIT) on
    // the others.
    HWND exitButton = GetDlgItem(page, IDCANCEL);
    if (!exitButton) exitButton = GetDlgItem(page, IDC_EXIT);
    ui::Click(exitButton);
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Exit");
    Shot(args, "02-exit-question");
    ui::Click(GetDlgItem(question, IDYES));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit, Yes");
}

}  // namespace e2e

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::printf("usage: e2edriver SCENARIO INSTALLER_EXE SOURCE_DIR CALL_LOG [SCREENSHOT_DIR]\n");
        return 2;
    }
    // Every line reaches the log at once: a walk that the test runner stops
    // at its time limit still shows how far it came.
    setvbuf(stdout, nullptr, _IONBF, 0);
    e2e::Args args{argv[1], argv[2], argv[3], argv[4], argc > 5 ? argv[5] : ""};
    DeleteFileA(args.callLog.c_str());
    SetEnvironmentVariableA("CV_CALL_LOG", args.callLog.c_str());
    if (!args.shots.empty()) CreateDirectoryA(args.shots.c_str(), nullptr);

    auto& scenarios = e2e::Scenarios();
    auto it = scenarios.find(args.scenario);
    if (it == scenarios.end()) {
        std::printf("unknown scenario %s\n", args.scenario.c_str());
        return 2;
    }
    it->second(args);
    std::printf("%s: %s\n", args.scenario.c_str(), e2e::failures ? "FAILED" : "passed");
    return e2e::failures ? 1 : 0;
}
