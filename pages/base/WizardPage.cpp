#include "pages/base/WizardPage.h"

#include <cerrno>
#include <cstdlib>

#include "app/MainWindow.h"
#include "resources/resource.h"
#include "fsutil/FsUtil.h"
#include "fw/Application.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "progress/CvButton.h"
#include "resources/resource.h"

WizardPage::WizardPage(UINT templateId, MainWindow& main, int helpContext)
    : fw::Dialog(templateId, main.Handle()), main_(main), helpContext_(helpContext)
{
    separator = fw::LoadResString(IDS_KB_SEPARATOR);
    unitText = fw::LoadResString(IDS_KB_UNIT);
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
    return MessageBoxA(Handle(), fw::FormatResString(messageId, argument).c_str(),
                       fw::LoadResString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int WizardPage::ShowWarningId(UINT messageId)
{
    return MessageBoxA(Handle(), fw::LoadResString(messageId).c_str(),
                       fw::LoadResString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void WizardPage::InsertSeparator(std::string& figure) const
{
    if (figure.size() < unitText.size()) return;
    size_t n = figure.size() - unitText.size();
    if (n < 4) return;
    size_t at = n - 3;
    if (!separator.empty() && figure.compare(at - separator.size(), separator.size(), separator) == 0)
        return;
    figure.insert(at, separator);
}

void WizardPage::RemoveSeparator(std::string& figure) const
{
    if (figure.size() < unitText.size() || separator.empty()) return;
    size_t n = figure.size() - unitText.size();
    if (n < 5) return;
    size_t at = n - 3 - separator.size();
    if (figure.compare(at, separator.size(), separator) == 0) figure.erase(at, separator.size());
}

int WizardPage::ParseKB(std::string figure) const
{
    RemoveSeparator(figure);
    return atoi(figure.c_str());
}

void WizardPage::AddKB(std::string& total, const std::string& amount, int add) const
{
    int a = ParseKB(total);
    int b = ParseKB(amount);
    total = std::to_string(add == 1 ? a + b : a - b) + unitText;
    InsertSeparator(total);
}

int WizardPage::CompareKB(const std::string& available, const std::string& required) const
{
    int d = ParseKB(available) - ParseKB(required);
    if (d > 1000) return 1;
    if (d < 1) return -1;
    return 0;
}

void WizardPage::SetIndicator(CvButton& button, int state, UINT greenId, UINT yellowId, UINT redId)
{
    if (state == 1) button.ReplaceUpBitmap(greenId);
    else if (state == 0) button.ReplaceUpBitmap(yellowId);
    else if (state == -1) button.ReplaceUpBitmap(redId);
}

void WizardPage::InitIndicator(CvButton& button, int controlId, int state, UINT greenId,
                               UINT yellowId, UINT redId)
{
    UINT id = state == 1 ? greenId : state == 0 ? yellowId : state == -1 ? redId : 0;
    if (!id) return;
    button.LoadBitmaps(controlId, *this, id, 0, 0, 0, 0);
    button.SizeToContent();
}

bool WizardPage::CheckLocation(std::string& directory, std::string& available)
{
    UpdateData(true);
    if (directory.size() <= 1) {
        ShowWarningId(IDS_INVALID_PATH);
        return false;
    }
    if (directory[0] == '\\') directory = main_.defaultDrive + directory;
    TrimTrailingSpace(directory);
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    if (!IsValidPathSyntax(directory, maxName)) {
        ShowWarningId(IDS_INVALID_PATH);
        return false;
    }
    FreeSpaceKB(directory.substr(0, 2), available);
    available += unitText;
    InsertSeparator(available);
    return true;
}

bool WizardPage::RefreshFreeSpace(std::string& directory, std::string& copy, std::string& available)
{
    UpdateData(true);
    copy = directory;
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    if (!IsValidPathSyntax(directory, maxName)) return false;
    FreeSpaceKB(directory.substr(0, 2), available);
    available += unitText;
    InsertSeparator(available);
    return true;
}

void WizardPage::RefreshFreeSpaceQuiet(const std::string& directory, std::string& copy,
                                       std::string& available)
{
    copy = directory;
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    if (!IsValidPathSyntax(directory, maxName)) return;
    FreeSpaceKB(directory.substr(0, 2), available);
    available += unitText;
    InsertSeparator(available);
}

int WizardPage::TrialCreate(const std::string& directory)
{
    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    // Only the levels this trial made go again, on both paths (a creation
    // that fails half-way may have made its upper levels): a folder of the
    // user's that was there before stays, even when it is empty.
    RemoveMadeDirectories(creation.made);
    // A missing level, or a name the file system refuses ("*", "?", "|",
    // ... pass the syntax check): the directory can never be made.
    if (creation.result == -1 && (creation.error == ENOENT || creation.error == EINVAL)) {
        ShowWarningId(IDS_INVALID_PATH);
        return -1;
    }
    return 1;
}

bool WizardPage::AskExit()
{
    int answer = MessageBoxA(Handle(), fw::LoadResString(IDS_EXIT_QUESTION).c_str(),
                             fw::LoadResString(IDS_APP_TITLE).c_str(), MB_YESNO | MB_ICONQUESTION);
    return answer != IDNO;
}

void WizardPage::ConfirmExit()
{
    if (!AskExit()) return;
    EndDialog(IDCANCEL);
    if (main_.Handle()) SendMessageA(main_.Handle(), UM_EXIT_CONFIRMED, 2, 0);
}

void WizardPage::ConfirmExitAndUndo()
{
    if (!AskExit()) return;
    MainWindow::StartCleanupProgram(main_.installerDir);
    EndDialog(IDCANCEL);
}

bool WizardPage::OnCommand(int id, int notifyCode, HWND control)
{
    if (helpContext_ < 0 || (id != IDC_HELP_BUTTON && id != ID_HELP_COMMAND)) return false;
    ShowHelp((DWORD)helpContext_);
    return true;
}

void WizardPage::OnHelp()
{
    if (helpContext_ >= 0) ShowHelp((DWORD)helpContext_);
}

void WizardPage::ShowHelp(DWORD contextId)
{
    fw::Application* app = fw::Application::Current();
    std::string helpFile = app ? app->HelpFile() : "INSTALL.HLP";
    if (!WinHelpA(main_.Handle(), helpFile.c_str(), HELP_CONTEXT, contextId)) {
        MessageBoxA(Handle(), "Unable to start Help.", fw::LoadResString(IDS_APP_TITLE).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }
}
