#include "progress/WaitDialog.h"

#include "resources/resource.h"

WaitDialog::WaitDialog(HWND owner) : fw::Dialog(IDD_WAIT, owner) {}

WaitDialog::~WaitDialog()
{
    Destroy();
}

bool WaitDialog::Create()
{
    return fw::Dialog::Create(IDD_WAIT);
}

void WaitDialog::Destroy()
{
    if (Handle()) DestroyWindow(Handle());
}

bool WaitDialog::OnCreate()
{
    RECT r = WindowRect();
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool WaitDialog::OnInitDialog()
{
    SetItemText(IDC_WAIT_TEXT, message);
    fw::Dialog::OnInitDialog();
    // Shown at once: the work that follows dispatches no messages.
    UpdateWindow(Handle());
    return true;
}
