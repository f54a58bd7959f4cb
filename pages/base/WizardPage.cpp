#include "pages/base/WizardPage.h"

#include "fw/Application.h"
#include "fw/Message.h"
#include "fw/Process.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "state/InstallState.h"
#include "state/ProductFiles.h"

WizardPage::WizardPage(UINT templateId, InstallState& state, HWND backdrop, int helpContext, ExitPolicy exit)
    : fw::Dialog(templateId, backdrop), state_(state), backdrop_(backdrop), helpContext_(helpContext),
      exitPolicy_(exit)
{
}

WizardPage::~WizardPage()
{
    if (lightFont) DeleteObject(lightFont);
}

bool WizardPage::OnCreate()
{
    CentreOnScreen();
    return true;
}

bool WizardPage::OnInitDialog()
{
    fw::WaitCursor wait;
    HWND first = Item(IDC_BODY_FIRST);
    if (!lightFont && first) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(first, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        if (font && GetObjectA(font, sizeof lf, &lf)) {
            lf.lfWeight = 100;
            lightFont = CreateFontIndirectA(&lf);
        }
    }
    if (first && lightFont) {
        for (int id = IDC_BODY_FIRST; HWND body = Item(id); ++id)
            SendMessageA(body, WM_SETFONT, reinterpret_cast<WPARAM>(lightFont), TRUE);
    }
    fw::Dialog::OnInitDialog();
    return true;
}

int WizardPage::ShowWarning(UINT messageId, const std::string& argument)
{
    return fw::ShowMessageArg(Handle(), messageId, argument, fw::kWarning);
}

int WizardPage::ShowWarningId(UINT messageId)
{
    return fw::ShowMessageId(Handle(), messageId, fw::kWarning);
}

bool WizardPage::AskExit()
{
    return fw::ShowMessageId(Handle(), IDS_EXIT_QUESTION, fw::kQuestion) != IDNO;
}

void WizardPage::ConfirmExit()
{
    if (!AskExit()) return;
    EndDialog(IDCANCEL);
    if (backdrop_) SendMessageA(backdrop_, UM_EXIT_CONFIRMED, kPageExit, 0);
}

void WizardPage::ConfirmExitAndUndo()
{
    if (!AskExit()) return;
    StartCleanupProgram(state_.installerDir);
    EndDialog(IDCANCEL);
}

void WizardPage::Exit()
{
    switch (exitPolicy_) {
    case ExitPolicy::Close: fw::Dialog::OnCancel(); break;
    case ExitPolicy::Confirm: ConfirmExit(); break;
    case ExitPolicy::ConfirmAndClean: ConfirmExitAndUndo(); break;
    case ExitPolicy::Finish: EndDialog(kPageExit); break;
    }
}

bool WizardPage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_NEXT:
        OnOK();
        return true;
    case IDC_BACK:
        UpdateData(true);
        EndDialog(kPageBack);
        return true;
    case IDC_EXIT:
        Exit();
        return true;
    case IDC_HELP_BUTTON:
    case ID_HELP_COMMAND:
        if (helpContext_ < 0) return false;
        ShowHelp((DWORD)helpContext_);
        return true;
    default:
        return false;
    }
}

void WizardPage::OnHelp()
{
    if (helpContext_ >= 0) ShowHelp((DWORD)helpContext_);
}

void WizardPage::ShowHelp(DWORD contextId)
{
    fw::Application* app = fw::Application::Current();
    std::string helpFile = app ? app->HelpFile() : product_file::kHelp;
    if (!WinHelpA(backdrop_, helpFile.c_str(), HELP_CONTEXT, contextId))
        fw::ShowMessage(Handle(), "Unable to start Help.", fw::kWarning);
}

void StartCleanupProgram(const std::string& installerDir)
{
    const std::string name = product_file::CleanupProgram();
    if (name.empty()) return;
    std::string program = installerDir + "\\" + name;
    fw::StartProgram(fw::QuotedPath(program) + " /P " + fw::LoadResString(IDS_APP_TITLE), program);
}
