#include "pages/welcome/WelcomePage.h"

#include "fw/WaitCursor.h"
#include "resources/resource.h"

WelcomePage::WelcomePage(MainWindow& main) : WizardPage(IDD_WELCOME, main, 0) {}

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
    default:
        return WizardPage::OnCommand(id, notifyCode, control);
    }
}

