#include "app/PostInstall.h"

#include "app/ProgramItems.h"
#include "fsutil/FsUtil.h"
#include "fw/DiagnosticLog.h"
#include "fw/Message.h"
#include "fw/Process.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "pages/completion/CompletionPage.h"
#include "progress/WaitDialog.h"
#include "records/ProductIni.h"
#include "records/RemovalLog.h"
#include "resources/resource.h"
#include "state/InstallState.h"

namespace {

void Repaint(HWND backdrop)
{
    if (!backdrop) return;
    InvalidateRect(backdrop, nullptr, FALSE);
    UpdateWindow(backdrop);
}

// The drive of `directory` and the directory itself become the current
// ones; a failure changes nothing.
void EnterDirectory(const std::string& directory)
{
    MakeDriveCurrent(directory);
    if (!directory.empty()) SetCurrentDirectoryA(directory.c_str());
}

// Runs `work` with the wait dialog showing string `messageId`, in front of
// the backdrop; without one, no dialog.
template <class Work>
void WithWaitDialog(HWND backdrop, UINT messageId, Work work)
{
    if (!backdrop) {
        work();
        return;
    }
    WaitDialog wait(backdrop);
    wait.SetMessage(fw::LoadResString(messageId));
    wait.Create();
    work();
    wait.Destroy();
}

}  // namespace

FollowUpResult RunFollowUpRecord(InstallState& state, const std::string& record, HWND owner)
{
    std::string rest = record;
    size_t comma = rest.find(',');
    if (comma == std::string::npos) {
        fw::ShowMessageArg(owner, IDS_INVALID_RECORD, rest, fw::kWarning);
        return FollowUpResult::Invalid;
    }
    int number = RecordNumber(rest.substr(0, comma));
    rest.erase(0, comma + 1);
    comma = rest.find(',');
    if (comma == std::string::npos) {
        fw::ShowMessageArg(owner, IDS_INVALID_RECORD, rest, fw::kWarning);
        return FollowUpResult::Invalid;
    }
    rest.erase(0, comma + 1);  // the title is for program items only

    // A record without its program, or whose command would not fit, has
    // been reported; it is skipped, never run cut short or without its
    // arguments.
    std::string command;
    if (!ExpandItemCommand(state, rest, command, owner)) return FollowUpResult::Invalid;
    if (!ExpandArguments(state, rest, command)) {
        fw::ShowMessageArg(owner, IDS_INVALID_RECORD, record, fw::kWarning);
        return FollowUpResult::Invalid;
    }
    if (!IsRecognisedComponent(ComponentConsumer::FollowUpPrograms, number) ||
        !state.componentSelected.IsSelected(number))
        return FollowUpResult::NotSelected;

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started;
    {
        fw::WaitCursor wait;
        started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    if (!started) {
        fw::diag::Write("follow-up program " + command + " could not be started");
        return FollowUpResult::NotStarted;
    }
    CloseHandle(pi.hThread);
    fw::WaitForProcess(pi.hProcess);
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    fw::diag::Write("follow-up program " + command + " ended with exit code " + std::to_string(exitCode));
    return FollowUpResult::Ran;
}

int RunFollowUpPrograms(InstallState& state, HWND owner)
{
    return RunFollowUpPrograms(state, LoadRecords(IDS_FOLLOW_UP_FIRST), owner);
}

int RunFollowUpPrograms(InstallState& state, const std::vector<std::string>& records, HWND owner)
{
    int ran = 0;
    for (const std::string& record : records) {
        FollowUpResult result = RunFollowUpRecord(state, record, owner);
        if (result == FollowUpResult::NotStarted) break;
        if (result == FollowUpResult::Ran) ++ran;
        state.foregroundTitle.clear();
    }
    return ran;
}

void StartSetupToolOr(const InstallState& state, const std::function<void()>& showCompletion)
{
    if (SetupToolExists(state.targetDir1)) {
        StartSetupTool(state.targetDir1, state.customInstall == 0 ? " /I /X" : " /I");
    } else if (showCompletion) {
        showCompletion();
    }
}

int PostInstall(InstallState& state, HWND backdrop, const std::function<void()>& finish)
{
    // The backdrop where the progress window was.
    Repaint(backdrop);

    if (state.addToGroup != 0) {
        WithWaitDialog(backdrop, IDS_WAIT_GROUP, [&] { CreateProgramItems(state, backdrop); });
        fw::diag::Write("program group \"" + state.groupName + "\" and its items made");
    } else {
        fw::diag::Write("no program group");
    }
    if (backdrop) BringWindowToTop(backdrop);
    WithWaitDialog(backdrop, IDS_WAIT_CONFIGURATION, [&] {
        SystemPlaces places = SystemPlaces::OfThisSystem();
        InstallUninstaller(state, places);
        WriteProductIni(state, places);
    });
    fw::diag::Write("uninstaller, product INI and registry records written");

    RunFollowUpPrograms(state, backdrop);
    // What the uninstaller compares with: the files as the install leaves
    // them, before the setup tool or the user may change any.
    FinishRemovalLog(state);
    Repaint(backdrop);
    EnterDirectory(state.targetDir1);
    if (finish) finish();
    return 0;
}
