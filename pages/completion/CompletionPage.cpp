#include "pages/completion/CompletionPage.h"

#include "app/MainWindow.h"
#include "app/PostInstall.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kHelpContext = 12;
constexpr int kPageEnd = 2;

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CompletionPage::CompletionPage(MainWindow& main) : WizardPage(IDD_COMPLETION, main, kHelpContext) {}

std::string CompletionPage::ReadMeFile(const std::string& productDir)
{
    std::string readme = productDir + "\\README.TXT";
    return IsFile(readme) ? readme : productDir + "\\READ.ME";
}

bool CompletionPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(IDC_COMPLETION_PICTURE, *this, IDB_COMPLETION, 0, 0, 0, 1);
    picture.SizeToContent();
    setupDir = main_.targetDir1;
    MakeDriveCurrent(setupDir);
    if (!main_.componentSelected.IsSelected(11)) EnableItem(IDC_RAMHOLD_SETUP, false);
    return true;
}

bool CompletionPage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_EXIT:
        EndDialog(kPageEnd);
        return true;
    case IDC_READ_ME:
        OpenReadMe();
        return true;
    case IDC_RAMHOLD_SETUP:
        StartRamholdSetup();
        return true;
    default:
        return WizardPage::OnCommand(id, notifyCode, control);
    }
}

void CompletionPage::OnCancel()
{
    EndDialog(kPageEnd);
}


void CompletionPage::OpenReadMe()
{
    // The page stays; a Notepad that does not start is not reported.
    StartProgram("notepad.exe " + ReadMeFile(main_.varString1));
}

void CompletionPage::StartRamholdSetup()
{
    if (!SetupToolExists(setupDir)) {
        ShowWarningId(IDS_SETUP_NOT_FOUND);
        return;
    }
    StartSetupTool(setupDir, " /I");
    EndDialog(kPageEnd);
}
