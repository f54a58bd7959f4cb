// The base of every wizard page and billboard: centred on the screen, a
// light font on the body texts (10421, 10422, ...), the buttons every page
// handles alike (Next, Back, Exit with the page's exit policy, Help), its
// messages and the exit question. It knows no other page and nothing of
// the engine. The pages that show disk space build on DiskSpacePage.
#pragma once
#include <string>

#include "fw/Dialog.h"

struct InstallState;

class WizardPage : public fw::Dialog {
public:
    // What Exit (the Exit button, Escape, the close box) does on a page.
    enum class ExitPolicy {
        Close,            // the dialog's own Cancel
        Confirm,          // ConfirmExit
        ConfirmAndClean,  // ConfirmExitAndUndo
        Finish,           // ends the page with kPageExit at once
    };

    // A modal page from template `templateId` on `state`, in front of the
    // backdrop. Its Help button, the help command and F1 open the help at
    // `helpContext`; a page without help (-1) leaves them to the page.
    WizardPage(UINT templateId, InstallState& state, HWND backdrop = nullptr, int helpContext = -1,
               ExitPolicy exit = ExitPolicy::Close);
    ~WizardPage() override;

    // Message boxes with the product caption, OK and the exclamation icon.
    int ShowWarning(UINT messageId, const std::string& argument);
    int ShowWarningId(UINT messageId);

    // "Are you sure you want to exit Install?"; on anything but No closes
    // with 2 and tells the backdrop.
    void ConfirmExit();
    // The same question; on anything but No starts the cleanup program and
    // closes with 2.
    void ConfirmExitAndUndo();
    // What the page's exit policy says.
    void Exit();
    void ShowHelp(DWORD contextId);

    HFONT lightFont = nullptr;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
    // Next, Back, Exit and Help.
    bool OnCommand(int id, int notifyCode, HWND control) override;
    void OnCancel() override { Exit(); }
    void OnHelp() override;
    InstallState& state_;
    HWND backdrop_;

private:
    int helpContext_;
    ExitPolicy exitPolicy_;
    bool AskExit();
};

// Starts the maker's cleanup program beside the installer, without
// waiting; a failed start is ignored.
void StartCleanupProgram(const std::string& installerDir);
