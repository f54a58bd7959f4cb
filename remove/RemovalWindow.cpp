#include "remove/RemovalWindow.h"

#include "fw/Message.h"
#include "fw/ResString.h"
#include "resources/resource.h"

RemovalWindow::RemovalWindow(std::string caption) : fw::Dialog(IDD_REMOVE_PROGRESS), caption_(std::move(caption)) {}

RemovalWindow::~RemovalWindow()
{
    if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
}

bool RemovalWindow::Create()
{
    if (!fw::Dialog::Create(IDD_REMOVE_PROGRESS, nullptr)) return false;
    // Painted at once: the removal works on this thread between its steps.
    UpdateWindow(Handle());
    return true;
}

bool RemovalWindow::OnInitDialog()
{
    SetWindowTextA(Handle(), caption_.c_str());
    bar_.SubclassControl(IDC_PROGRESS_BAR, *this);
    bar_.SetRange(100);
    bar_.SetColors(RGB(0, 0, 255), RGB(255, 255, 255));
    CentreOnScreen();
    return true;
}

void RemovalWindow::Progress(int percent, const std::string& what)
{
    if (!Handle()) return;
    if (percent != bar_.position) bar_.SetPos(percent);
    SetItemText(IDC_DESTINATION_TEXT, what);
    // The window stays live while the removal works on this thread.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam);
            break;
        }
        if (!IsDialogMessageA(Handle(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int RemovalWindow::Ask(UINT messageId, const std::string& argument, UINT defaultButton)
{
    return fw::ShowMessage(Handle(), fw::FormatResString(messageId, argument), caption_,
                           MB_YESNO | MB_ICONQUESTION | defaultButton);
}

bool RemovalWindow::KeepChangedFile(const std::string& path)
{
    return Ask(IDS_REMOVE_CHANGED, path, MB_DEFBUTTON1) != IDNO;
}

bool RemovalWindow::RemoveSharedFile(const std::string& path)
{
    return Ask(IDS_REMOVE_SHARED, path, MB_DEFBUTTON2) == IDYES;
}

bool RemovalWindow::RestoreMovedFile(const std::string& ownPath)
{
    return Ask(IDS_REMOVE_MOVED, ownPath, MB_DEFBUTTON1) == IDYES;
}
