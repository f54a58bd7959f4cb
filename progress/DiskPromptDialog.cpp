#include "progress/DiskPromptDialog.h"

#include "resources/resource.h"

DiskPromptDialog::DiskPromptDialog(HWND owner, const std::string& startLocation)
    : fw::Dialog(IDD_DISK_PROMPT, owner), location(startLocation)
{
}

int DiskPromptDialog::Run()
{
    return DoModal() == kContinue ? kContinue : kExit;
}

bool DiskPromptDialog::OnCreate()
{
    // Over a running install: centred in the area above the progress
    // window, like the billboards.
    CentreOnScreen(IsRectEmpty(&hostRect) ? 0 : hostRect.bottom - hostRect.top + 20);
    return true;
}

bool DiskPromptDialog::OnInitDialog()
{
    SetItemText(IDC_DISK_LABEL, diskLabel);
    UpdateData(false);
    return true;
}

void DiskPromptDialog::DoDataExchange(fw::DataExchange& dx)
{
    dx.Text(IDC_DISK_LOCATION, location);
}

void DiskPromptDialog::OnOK()
{
    // Enter: Continue is the default button.
    OnCommand(IDC_NEXT, BN_CLICKED, nullptr);
}

void DiskPromptDialog::OnCancel()
{
    EndDialog(kExit);
}

bool DiskPromptDialog::OnCommand(int id, int notifyCode, HWND control)
{
    if (id == IDC_DISK_LOCATION) return true;  // its lose-focus note needs nothing
    if (id != IDC_NEXT) return false;
    UpdateData(true);
    // Not checked here: the next look for the file does that.
    if (!location.empty() && location.back() == '\\') location.pop_back();
    EndDialog(kContinue);
    return true;
}
