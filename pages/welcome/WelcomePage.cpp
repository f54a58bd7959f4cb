#include "pages/welcome/WelcomePage.h"

#include "fw/WaitCursor.h"
#include "resources/resource.h"

WelcomePage::WelcomePage(InstallState& state, HWND backdrop)
    : WizardPage(IDD_WELCOME, state, backdrop, 0, ExitPolicy::ConfirmAndClean)
{
}

bool WelcomePage::OnInitDialog()
{
    fw::WaitCursor wait;
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(IDC_PRODUCT_PICTURE, *this, IDB_PRODUCT, 0, 0, 0, 0);
    picture.SizeToContent();
    HideItem(IDC_HIDDEN_NOTE);
    return true;
}

