#include "progress/ProgressWindow.h"

#include <cstdlib>

#include "app/MainWindow.h"
#include "fw/ResString.h"
#include "progress/BillboardDialog.h"
#include "script/EngineStages.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kBillboardTimer = 1;

int StringNumber(UINT id)
{
    return std::atoi(fw::LoadResString(id).c_str());
}

}  // namespace

ProgressWindow::ProgressWindow(MainWindow* main) : fw::Dialog(IDD_PROGRESS), main_(main) {}

ProgressWindow::~ProgressWindow()
{
    StopBillboards();
    DestroyOwnWindow();
}

bool ProgressWindow::Create()
{
    return fw::Dialog::Create(IDD_PROGRESS, main_ ? main_->Handle() : nullptr);
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
    if (msg == UM_PROGRESS) {
        int64_t t = engine_stages::Now();
        OnProgress((int)wParam);
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

HWND ProgressWindow::MessageOwner() const
{
    return (Handle() && IsWindow(Handle())) ? Handle() : nullptr;
}

HWND ProgressWindow::UnpackErrorOwner() const
{
    // Owned by the progress window, a box would disable it: on a full disk
    // one error box follows another and the user could never reach Cancel.
    if (main_ && main_->Handle() && IsWindow(main_->Handle())) return main_->Handle();
    return MessageOwner();
}

void ProgressWindow::DestroyOwnWindow()
{
    if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
    ownHandle = nullptr;
}

void ProgressWindow::EndWithCancel()
{
    if (Handle()) ::EndDialog(Handle(), IDCANCEL);
}

void ProgressWindow::ReportError(UINT messageId, const std::string& argument)
{
    std::string text = fw::FormatResString(messageId, argument);
    std::string caption = fw::LoadResString(IDS_APP_TITLE);
    MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int ProgressWindow::AskOnError(UINT messageId, const std::string& argument, int silent)
{
    std::string text = fw::FormatResString(messageId, argument);
    if (askOnError != 1 || silent == 1) return kGoOn;
    std::string caption = fw::LoadResString(IDS_APP_TITLE);
    int answer = MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(),
                             MB_OKCANCEL | MB_ICONINFORMATION);
    if (answer == IDCANCEL) {
        cancelRequested = 1;
        return kStop;
    }
    return kGoOn;
}

int ProgressWindow::FailDirectory(const std::string& path)
{
    ReportError(IDS_CANNOT_MAKE_DIRECTORY, path);
    DestroyOwnWindow();
    return -1;
}

void ProgressWindow::OnCancel()
{
    int answer = MessageBoxA(MessageOwner(), fw::LoadResString(IDS_EXIT_QUESTION).c_str(),
                             fw::LoadResString(IDS_APP_TITLE).c_str(), MB_YESNO | MB_ICONQUESTION);
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
    if (!main_) return;
    auto next = std::make_unique<BillboardDialog>(templateRect, IDD_BILLBOARD_FIRST + index,
                                                  IDB_BILLBOARD_FIRST + index, *main_);
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

void ProgressWindow::OnProgress(int percent)
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
