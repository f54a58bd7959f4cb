#include "pages/welcome/WelcomePage.h"

#include "fw/WaitCursor.h"
#include "resources/resource.h"

WelcomePage::WelcomePage(MainWindow& main) : WizardPage(IDD_WELCOME, main) {}

bool WelcomePage::OnInitDialog()
{
    fw::WaitCursor wait;
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(IDC_PRODUCT_PICTURE, *this, IDB_PRODUCT, 0, 0, 0, 0);
    picture.SizeToContent();
    ShowWindow(Item(IDC_HIDDEN_NOTE), SW_HIDE);
    return true;
}

void WelcomePage::OnCancel()
{
    ConfirmExitAndUndo();
}

bool WelcomePage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_NEXT:
        OnOK();
        return true;
    case IDC_HELP_BUTTON:
    case ID_HELP_COMMAND:
        ShowHelp(0);
        return true;
    default:
        return false;
    }
}

void WelcomePage::OnHelp()
{
    ShowHelp(0);
}
