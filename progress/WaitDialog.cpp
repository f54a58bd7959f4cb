#include "progress/WaitDialog.h"

#include "resources/resource.h"

WaitDialog::WaitDialog(HWND owner) : fw::Dialog(IDD_WAIT, owner) {}

WaitDialog::~WaitDialog()
{
    Destroy();
}

bool WaitDialog::Create()
{
    if (!fw::Dialog::Create()) return false;
    UpdateWindow(Handle());
    return true;
}

void WaitDialog::Destroy()
{
    if (Handle()) DestroyWindow(Handle());
}

bool WaitDialog::OnCreate()
{
    CentreOnScreen();
    return true;
}

bool WaitDialog::OnInitDialog()
{
    SetItemText(IDC_WAIT_TEXT, message);
    return fw::Dialog::OnInitDialog();
}
