#include "progress/ProgressWindow.h"

#include <cstdlib>

#include "fw/Message.h"
#include "fw/ResString.h"
#include "progress/BillboardDialog.h"
#include "progress/DiskPromptDialog.h"
#include "resources/resource.h"
#include "script/EngineStages.h"
#include "script/KeptFiles.h"
#include "state/InstallState.h"

namespace {

constexpr UINT_PTR kBillboardTimer = 1;

int StringNumber(UINT id)
{
    return std::atoi(fw::LoadResString(id).c_str());
}

}  // namespace

ProgressWindow::ProgressWindow(InstallState& state, HWND backdrop, bool billboards)
    : fw::Dialog(IDD_PROGRESS), state_(state), backdrop_(backdrop), billboards_(billboards)
{
}

ProgressWindow::~ProgressWindow()
{
    StopBillboards();
    DestroyOwnWindow();
}

bool ProgressWindow::Create()
{
    // The page that just closed leaves its area unpainted until the
    // backdrop paints it, and the engine's first report may be a while
    // away: the backdrop is painted before the window comes.
    if (backdrop_ && IsWindow(backdrop_)) {
        InvalidateRect(backdrop_, nullptr, FALSE);
        UpdateWindow(backdrop_);
    }
    return fw::Dialog::Create(IDD_PROGRESS, backdrop_);
}

bool ProgressWindow::OnCreate()
{
    templateRect = WindowRect();
    int width = templateRect.right - templateRect.left;
    int height = templateRect.bottom - templateRect.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 GetSystemMetrics(SM_CYSCREEN) - height - 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(false);
    Update();
    return true;
}

bool ProgressWindow::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    progressBar.SubclassControl(IDC_PROGRESS_BAR, *this);
    progressBar.SetRange(100);
    progressBar.SetColors(RGB(0, 0, 255), RGB(255, 255, 255));
    return true;
}

void ProgressWindow::DoDataExchange(fw::DataExchange& dx)
{
    dx.Text(IDC_DESTINATION_TEXT, destinationText);
    dx.Text(IDC_SOURCE_TEXT, sourceText);
}

INT_PTR ProgressWindow::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = 0;
    if (AnswerLibraryQuestion(state_.runMemory, msg, lParam, answer)) return SetResult(answer);
    if (msg == UM_PROGRESS) {
        int64_t t = engine_stages::Now();
        Progress((int)wParam);
        engine_stages::Add(engine_stages::kProgress, t);
        return SetResult(0);
    }
    return fw::Dialog::DialogProc(msg, wParam, lParam);
}

void ProgressWindow::ShowFiles(const std::string& source, const std::string& destination)
{
    sourceText = source;
    destinationText = destination;
    fw::ToUpper(sourceText);
    fw::ToUpper(destinationText);
    UpdateData(false);
}

void ProgressWindow::ShowSource(const std::string& source)
{
    sourceText = source;
    UpdateData(false);
}

void ProgressWindow::ShowDestination(const std::string& destination)
{
    destinationText = destination;
    fw::ToUpper(destinationText);
    SetItemText(IDC_DESTINATION_TEXT, destinationText);
}

HWND ProgressWindow::MessageOwner() const
{
    return (Handle() && IsWindow(Handle())) ? Handle() : nullptr;
}

void ProgressWindow::DestroyOwnWindow()
{
    if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
}

void ProgressWindow::LeaveAfterCancel()
{
    if (Handle()) ::EndDialog(Handle(), IDCANCEL);
}

void ProgressWindow::Close(bool completed)
{
    if (completed) {
        StopBillboardTimer();
        Progress(100);
    }
    StopBillboards();
    DestroyOwnWindow();
}

void ProgressWindow::ReportError(UINT messageId, const std::string& argument)
{
    fw::ShowMessageArg(MessageOwner(), messageId, argument, fw::kWarning);
}

void ProgressWindow::ReportUnpackError(UINT messageId, UINT captionId)
{
    // Owned by the progress window, a box would disable it: on a full disk
    // one error box follows another and the user could never reach Cancel.
    HWND owner = backdrop_ && IsWindow(backdrop_) ? backdrop_ : MessageOwner();
    fw::ShowMessageId(owner, messageId, fw::kWarning, captionId);
}

bool ProgressWindow::AskGoOn(UINT messageId, const std::string& argument)
{
    return fw::ShowMessageArg(MessageOwner(), messageId, argument, MB_OKCANCEL | MB_ICONINFORMATION) != IDCANCEL;
}

bool ProgressWindow::AskRetry(UINT messageId, const std::string& argument)
{
    return fw::ShowMessageArg(MessageOwner(), messageId, argument, MB_RETRYCANCEL | MB_ICONINFORMATION) == IDRETRY;
}

bool ProgressWindow::PromptForDisk(int disk, std::string& location)
{
    DiskPromptDialog prompt(backdrop_, location);
    prompt.SetDiskLabel(fw::LoadResString(IDS_DISK_LABEL_BASE + disk));
    prompt.SetHostRect(templateRect.left, templateRect.top, templateRect.right, templateRect.bottom);
    if (Handle()) EnableWindow(Handle(), FALSE);
    int answer = prompt.Run();
    if (Handle()) EnableWindow(Handle(), TRUE);
    if (answer != DiskPromptDialog::kContinue) return false;
    location = prompt.location;
    return true;
}

void ProgressWindow::Refresh()
{
    if (!Handle()) return;
    Invalidate(false);
    Update();
}

void ProgressWindow::OnCancel()
{
    int answer = fw::ShowMessageId(MessageOwner(), IDS_EXIT_QUESTION, fw::kQuestion);
    // The window stays; the run sees the flag at its next test of it.
    if (answer != IDNO) cancelRequested = 1;
}

void ProgressWindow::OnTimer(UINT_PTR id)
{
    if (id == kBillboardTimer) billboardTickDue = 1;
}

bool ProgressWindow::PumpOneMessage()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    if (msg.message == WM_QUIT) {
        // The quit message belongs to the application's own loop.
        PostQuitMessage((int)msg.wParam);
        return false;
    }
    if (Handle() && IsDialogMessageA(Handle(), &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void ProgressWindow::ShowBillboard(int index)
{
    billboard.reset();
    if (!billboards_) return;
    auto next = std::make_unique<BillboardDialog>(templateRect, IDD_BILLBOARD_FIRST + index,
                                                  IDB_BILLBOARD_FIRST + index, state_, backdrop_);
    // A billboard that cannot be made leaves none on screen until the
    // next change.
    if (!next->Create()) return;
    EnableWindow(next->Handle(), FALSE);
    billboard = std::move(next);
}

void ProgressWindow::StartBillboards()
{
    ShowBillboard(0);
    lastBillboardThreshold = 0;
    billboardTickDue = 0;
    if (Handle())
        timerRunning_ = SetTimer(Handle(), kBillboardTimer, (UINT)StringNumber(IDS_BILLBOARD_PERIOD),
                                 nullptr) != 0;
}

void ProgressWindow::StopBillboardTimer()
{
    if (timerRunning_ && Handle()) KillTimer(Handle(), kBillboardTimer);
    timerRunning_ = false;
}

void ProgressWindow::StopBillboards()
{
    StopBillboardTimer();
    billboard.reset();
}

void ProgressWindow::WaitForBillboardTick()
{
    // Without a running timer no tick would ever come.
    while (timerRunning_ && billboardTickDue != 1 && Handle()) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        if (!PumpOneMessage()) break;
    }
}

void ProgressWindow::Progress(int percent)
{
    if (cancelRequested == 1) return;
    // The library reports every block it writes, thousands of times in a
    // big product for a hundred positions; a bar that already shows the
    // percentage is left as it is, so it is drawn only when it changes.
    if (percent != progressBar.position) progressBar.SetPos(percent);
    // A count below 1 shows the first billboard for the whole run.
    int count = StringNumber(IDS_BILLBOARD_COUNT);
    if (count < 1) count = 1;
    int step = 100 / count;
    PumpOneMessage();
    if (percent != 100 && count != 1) {
        for (int i = 1; i <= count - 1; ++i) {
            int threshold = i * step;
            int previous = (i - 1) * step;
            if (percent >= threshold && lastBillboardThreshold == previous && billboardTickDue == 1) {
                lastBillboardThreshold = threshold;
                billboardTickDue = 0;
                ShowBillboard(i);
            }
        }
    }
    if (Handle() && IsWindow(Handle())) SetActiveWindow(Handle());
}
