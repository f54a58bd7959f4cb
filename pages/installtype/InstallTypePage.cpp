#include "pages/installtype/InstallTypePage.h"

#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"

namespace {
// A key went down while this page had the keyboard: only its release acts,
// so a key pressed on the page before and released here does nothing.
int keyWentDown = 0;
}  // namespace

InstallTypePage::InstallTypePage(InstallState& state, HWND backdrop)
    : WizardPage(IDD_INSTALL_TYPE, state, backdrop, 0, ExitPolicy::ConfirmAndClean)
{
}

bool InstallTypePage::OnInitDialog()
{
    fw::WaitCursor wait;
    WizardPage::OnInitDialog();
    // A key that went down on an earlier visit of this page belongs to it.
    keyWentDown = 0;
    logo.LoadBitmaps(IDC_PRODUCT_PICTURE, *this, IDB_PRODUCT, 0, 0, 0, 0);
    logo.SizeToContent();
    express.LoadBitmaps(IDC_EXPRESS, *this, IDB_EXPRESS, 0, 0, 0, 1);
    custom.LoadBitmaps(IDC_CUSTOM, *this, IDB_CUSTOM, 0, 0, 0, 1);
    return true;
}

INT_PTR InstallTypePage::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        keyWentDown = 1;
        break;
    case WM_KEYUP:
        if (keyWentDown) {
            keyWentDown = 0;
            ActOnLetter(wParam);
        }
        return TRUE;
    case WM_SYSKEYUP:
        keyWentDown = 0;
        ActOnLetter(wParam);
        return TRUE;
    }
    return WizardPage::DialogProc(msg, wParam, lParam);
}

void InstallTypePage::ActOnLetter(WPARAM virtualKey)
{
    UINT ch = MapVirtualKeyA((UINT)virtualKey, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (!IsCharAlphaA((CHAR)ch)) return;
    ch = (UINT)(UINT_PTR)CharUpperA(reinterpret_cast<LPSTR>((UINT_PTR)(BYTE)ch));
    std::string letters = fw::LoadResString(IDS_TYPE_LETTERS);
    if (letters.size() > 0 && (BYTE)letters[0] == ch) EndDialog(IDC_EXPRESS);
    else if (letters.size() > 1 && (BYTE)letters[1] == ch) EndDialog(IDC_CUSTOM);
}

void InstallTypePage::OnOK()
{
    HWND focus = GetFocus();
    if (focus == Item(IDC_CUSTOM)) EndDialog(IDC_CUSTOM);
    else if (focus == Item(IDC_EXPRESS)) EndDialog(IDC_EXPRESS);
}

bool InstallTypePage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_EXPRESS:
    case IDC_CUSTOM:
        if (notifyCode == BN_CLICKED) EndDialog(id);
        return true;
    default:
        return WizardPage::OnCommand(id, notifyCode, control);
    }
}

