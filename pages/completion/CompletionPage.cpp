#include "pages/completion/CompletionPage.h"

#include "fsutil/FsUtil.h"
#include "fw/Process.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "state/InstallState.h"
#include "state/ProductFiles.h"

namespace {
constexpr DWORD kHelpContext = 12;
constexpr int kSetupHint = 10424;  // how to start the setup tool
}  // namespace

bool SetupToolExists(const std::string& directory)
{
    const std::string name = product_file::SetupTool();
    return !name.empty() && FileExists(directory + "\\" + name);
}

bool StartSetupTool(const std::string& directory, const std::string& arguments)
{
    if (!SetupToolExists(directory)) return false;
    std::string program = directory + "\\" + product_file::SetupTool();
    fw::WaitCursor wait;
    return fw::StartProgram(fw::QuotedPath(program) + arguments, program);
}

CompletionPage::CompletionPage(InstallState& state, HWND backdrop)
    : WizardPage(IDD_COMPLETION, state, backdrop, kHelpContext, ExitPolicy::Finish)
{
}

std::string CompletionPage::ReadMeFile(const std::string& productDir)
{
    std::string readme = productDir + "\\README.TXT";
    return FileExists(readme) ? readme : productDir + "\\READ.ME";
}

bool CompletionPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(IDC_COMPLETION_PICTURE, *this, IDB_COMPLETION, 0, 0, 0, 1);
    picture.SizeToContent();
    setupDir = state_.targetDir1;
    MakeDriveCurrent(setupDir);
    if (!state_.componentSelected.IsSelected(component::kMemoryManager)) EnableItem(IDC_RAMHOLD_SETUP, false);
    // A product without a setup tool shows none of its part of the page.
    if (product_file::SetupTool().empty())
        for (int id : {IDC_SETUP_ICON, IDC_SETUP_HEADING, kSetupHint, IDC_RAMHOLD_SETUP}) HideItem(id);
    return true;
}

bool CompletionPage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
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


void CompletionPage::OpenReadMe()
{
    // The page stays; a Notepad that does not start is not reported.
    fw::StartProgram("notepad.exe " + ReadMeFile(state_.varString1));
}

void CompletionPage::StartRamholdSetup()
{
    if (!SetupToolExists(setupDir)) {
        ShowWarningId(IDS_SETUP_NOT_FOUND);
        return;
    }
    StartSetupTool(setupDir, " /I");
    EndDialog(kPageExit);
}
