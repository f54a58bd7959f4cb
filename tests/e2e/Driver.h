// What every end-to-end walk shares: the arguments, the installer process,
// the checks, the call log of the maker's stand-in programs, screenshots,
// and the scenario table. Each walk file registers its scenarios with
// E2E_SCENARIO; driver.cpp runs the one named on the command line.
//
//   e2edriver SCENARIO INSTALLER_EXE SOURCE_DIR CALL_LOG [SCREENSHOT_DIR]
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Ui.h"

namespace e2e {

extern const char* kTitle;         // "Corvane Velomire Installation"; a walk of another product sets its own
extern const char kExitQuestion[];  // "Are you sure you want to exit Install?"
extern const char kCleanupCall[];   // what the cleanup program logs
constexpr DWORD kStartTimeout = 30000;
constexpr DWORD kTimeout = 10000;

extern int failures;

#define CHECK(cond, ...)                                                \
    do {                                                                \
        if (!(cond)) {                                                  \
            ++e2e::failures;                                            \
            std::printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond); \
            std::printf(__VA_ARGS__);                                   \
            std::printf("\n");                                          \
        }                                                               \
    } while (0)

// The condition is evaluated once: it may start a program or wait.
#define REQUIRE(cond, ...)                     \
    do {                                       \
        bool required_ = static_cast<bool>(cond); \
        CHECK(required_, __VA_ARGS__);         \
        if (!required_) return;                \
    } while (0)

struct Args {
    std::string scenario, installer, sourceDir, callLog, shots;
};

// The installer process under test. Ended by force when the walk leaves it
// running.
class Installer {
public:
    ~Installer();
    bool Start(const std::string& exe, const std::string& arguments);
    DWORD StartError() const { return startError_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    // Waits until the installer waits for input, as a person waits for a
    // page to settle before clicking on it.
    void Settle() const;
    // True when the installer has ended within `ms`. The first time it has,
    // checks that the run ended completely (ExpectEndedCompletely).
    bool WaitEnd(DWORD ms);
    // The exit code the run is to end with (0 unless said).
    void ExpectExitCode(DWORD code) { expectedExit_ = code; }

private:
    // The installer ended with code 0, and soon no process of it, nor any
    // program it started, runs on in the prefix.
    void ExpectEndedCompletely();

    PROCESS_INFORMATION pi_{};
    std::string exeName_;
    DWORD startError_ = 0;
    bool endChecked_ = false;
    DWORD expectedExit_ = 0;
};

struct ProcessInfo {
    DWORD pid, parent;
    std::string exeName;
};
// Every process of our prefix, from the system's process snapshot.
std::vector<ProcessInfo> ProcessList();

std::vector<std::string> ReadLines(const std::string& path);
int CountCalls(const std::string& log, const std::string& call);
// The cleanup program is started without waiting; gives it time to log,
// then checks it ran `expected` times and nothing else was started.
void ExpectCleanupCalls(const Args& args, int expected);
// Saves a screenshot NAME.png into the screenshot folder, when there is one.
void Shot(const Args& args, const char* name);

// A page of the installer by its title, once it has settled; null after
// `timeout`.
HWND WaitPage(const Installer& installer, const std::string& title, DWORD timeout = kTimeout);
HWND WaitWelcome(const Installer& installer, DWORD timeout = kStartTimeout);
HWND WaitExitQuestion(const Installer& installer);
// Starts the installer on the sample media (plus `extra` on its command
// line) and waits for its welcome page; null when either failed.
// `options` go before the "/P" that names the source.
HWND StartAtWelcome(const Args& args, Installer& installer, const std::string& extra = "",
                    const std::string& options = "");
// Runs the installer `exe` with `arguments` to its end, without a window to
// work: its exit code, or -1 when it did not start or end in time. Checks
// that it ended completely.
long RunToEnd(const std::string& exe, const std::string& arguments, DWORD expectedExit);
// The exit question that `how` (Exit, Escape, ...) just asked on `page`,
// answered No: the question closes and the page stays. False when no
// question came.
bool DeclineExit(const Installer& installer, HWND page, const char* how);
// Exit on the page, Yes in the question: the installer ends.
void LeaveWithYes(const Args& args, Installer& installer, HWND page);

// Whether drive `letter` is there in the prefix: the fault walks' full
// drive F: and read-only drive R: (tests/scripts/fault-drives).
bool FaultDrive(char letter);

using ScenarioFn = void (*)(const Args&);
struct ScenarioRegistration {
    ScenarioRegistration(const char* name, ScenarioFn fn);
};
#define E2E_SCENARIO(name, fn) static e2e::ScenarioRegistration registration_##fn(name, &fn)

}  // namespace e2e
