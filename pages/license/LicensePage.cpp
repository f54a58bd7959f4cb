#include "pages/license/LicensePage.h"

#include "fw/File.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "state/InstallState.h"
#include "state/ProductFiles.h"

LicensePage::LicensePage(InstallState& state, HWND backdrop)
    : WizardPage(IDD_LICENSE, state, backdrop, -1, ExitPolicy::ConfirmAndClean)
{
}

void LicensePage::DoDataExchange(fw::DataExchange& dx)
{
    dx.Text(IDC_LICENSE_TEXT, agreementText);
}

bool LicensePage::OnInitDialog()
{
    fw::WaitCursor wait;
    WizardPage::OnInitDialog();
    logo.LoadBitmaps(IDC_LOGO, *this, IDB_LOGO, 0, 0, 0, 0);
    logo.SizeToContent();
    LoadAgreement(state_.sourceDir + "\\" + product_file::kLicense);
    UpdateData(false);
    return true;
}

void LicensePage::LoadAgreement(const std::string& path)
{
    agreementText.clear();
    fw::File file;
    if (!file.Open(path, fw::File::modeRead)) {
        MessageBeep(MB_OK);
        ShowWarning(IDS_LICENSE_OPEN_ERROR, path);
        return;
    }
    uint64_t length = 0;
    if (!file.Length(length)) {
        MessageBeep(MB_OK);
        ShowWarning(IDS_LICENSE_READ_ERROR, path);
        return;
    }
    if (length > kMaxLength) {
        MessageBeep(MB_OK);
        ShowWarning(IDS_LICENSE_TOO_LARGE, path);
        return;
    }
    // One byte more than the file: the zero after the last byte ends the
    // text even when the file itself has none.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)length + 1);
    if (!memory) return;
    char* buffer = static_cast<char*>(GlobalLock(memory));
    if (!buffer) {
        GlobalFree(memory);
        return;
    }
    DWORD done = 0;
    if (!file.Read(buffer, (DWORD)length, done) || done < length) {
        MessageBeep(MB_OK);
        ShowWarning(IDS_LICENSE_READ_ERROR, path);
    } else {
        agreementText = buffer;
    }
    GlobalUnlock(memory);
    GlobalFree(memory);
}

bool LicensePage::OnCommand(int id, int notifyCode, HWND control)
{
    if (id == IDC_LICENSE_TEXT) {
        if (notifyCode == EN_SETFOCUS) ScrollTextToTop();
        return false;
    }
    return WizardPage::OnCommand(id, notifyCode, control);
}

void LicensePage::ScrollTextToTop()
{
    HWND edit = Item(IDC_LICENSE_TEXT);
    SendMessageA(edit, EM_SETSEL, (WPARAM)-1, 0);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    LRESULT first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(edit, EM_LINESCROLL, 0, -first);
}
