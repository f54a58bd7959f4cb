#include "app/PostInstall.h"

#include <direct.h>

#include "app/MainWindow.h"
#include "app/ProgramItems.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "pages/completion/CompletionPage.h"
#include "progress/WaitDialog.h"
#include "records/ProductIni.h"
#include "resources/resource.h"

namespace {

const char kSetupTool[] = "RHSETUP.EXE";

void Repaint(MainWindow& main)
{
    if (!main.Handle()) return;
    main.Invalidate(false);
    main.Update();
}

// The drive of `directory` and the directory itself become the current
// ones; a failure changes nothing.
void EnterDirectory(const std::string& directory)
{
    MakeDriveCurrent(directory);
    if (!directory.empty()) SetCurrentDirectoryA(directory.c_str());
}

std::string Quoted(const std::string& path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

void MakeDriveCurrent(const std::string& path)
{
    if (path.empty()) return;
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') letter = (char)(letter - 'a' + 'A');
    if (letter >= 'A' && letter <= 'Z') _chdrive(letter - 'A' + 1);
}

void WaitForProcess(HANDLE process)
{
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        // Sleeps until the process ends or a message comes: the exit code
        // is never asked, so a program that ends with code 259 (the value
        // that reads as "still running") is seen to end like any other.
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1) break;  // ended, or the handle cannot be waited on
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quit) PostQuitMessage((int)quitCode);
}

bool StartProgram(const std::string& commandLine, const std::string& program)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool SetupToolExists(const std::string& directory)
{
    DWORD attributes = GetFileAttributesA((directory + "\\" + kSetupTool).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool StartSetupTool(const std::string& directory, const std::string& arguments)
{
    if (!SetupToolExists(directory)) return false;
    std::string program = directory + "\\" + kSetupTool;
    fw::WaitCursor wait;
    return StartProgram(Quoted(program) + arguments, program);
}

FollowUpResult RunFollowUpRecord(MainWindow& main, const std::string& record)
{
    std::string rest = record;
    size_t comma = rest.find(',');
    if (comma == std::string::npos) {
        main.ShowMessageArg(IDS_INVALID_RECORD, rest);
        return FollowUpResult::Invalid;
    }
    int number = RecordNumber(rest.substr(0, comma));
    rest.erase(0, comma + 1);
    comma = rest.find(',');
    if (comma == std::string::npos) {
        main.ShowMessageArg(IDS_INVALID_RECORD, rest);
        return FollowUpResult::Invalid;
    }
    rest.erase(0, comma + 1);  // the title is for program items only

    // A record without its program, or whose command would not fit, has
    // been reported; it is skipped, never run cut short or without its
    // arguments.
    std::string command;
    if (!ExpandItemCommand(main, rest, command)) return FollowUpResult::Invalid;
    if (!ExpandArguments(main, rest, command)) {
        main.ShowMessageArg(IDS_INVALID_RECORD, record);
        return FollowUpResult::Invalid;
    }
    if (!IsRecognisedComponent(ComponentConsumer::FollowUpPrograms, number) ||
        !main.componentSelected.IsSelected(number))
        return FollowUpResult::NotSelected;

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started;
    {
        fw::WaitCursor wait;
        started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    if (!started) return FollowUpResult::NotStarted;
    CloseHandle(pi.hThread);
    WaitForProcess(pi.hProcess);
    CloseHandle(pi.hProcess);
    return FollowUpResult::Ran;
}

int RunFollowUpPrograms(MainWindow& main)
{
    return RunFollowUpPrograms(main, LoadRecords(IDS_FOLLOW_UP_FIRST));
}

int RunFollowUpPrograms(MainWindow& main, const std::vector<std::string>& records)
{
    int ran = 0;
    for (const std::string& record : records) {
        FollowUpResult result = RunFollowUpRecord(main, record);
        if (result == FollowUpResult::NotStarted) break;
        if (result == FollowUpResult::Ran) ++ran;
        main.foregroundTitle.clear();
    }
    return ran;
}

int PostInstall(MainWindow& main)
{
    // The backdrop where the progress window was.
    Repaint(main);

    if (main.addToGroup != 0) {
        WaitDialog wait(main.Handle());
        wait.SetMessage(fw::LoadResString(IDS_WAIT_GROUP));
        wait.Create();
        CreateProgramItems(main);
        wait.Destroy();
    }
    if (main.Handle()) BringWindowToTop(main.Handle());
    {
        WaitDialog wait(main.Handle());
        wait.SetMessage(fw::LoadResString(IDS_WAIT_CONFIGURATION));
        wait.Create();
        WriteProductIni(main);
        wait.Destroy();
    }

    RunFollowUpPrograms(main);
    Repaint(main);
    EnterDirectory(main.targetDir1);

    if (SetupToolExists(main.targetDir1)) {
        StartSetupTool(main.targetDir1, main.customInstall == 0 ? " /I /X" : " /I");
    } else {
        CompletionPage page(main);
        page.DoModal();
    }
    return 0;
}
