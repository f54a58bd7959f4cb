// The base of every wizard page and billboard: centred on the screen, a
// light font on the body texts (10421, 10422, ...), and the services the
// pages share: messages, KB figures, the free-space light, the location
// check, trial creation of a directory, the exit question and help.
#pragma once
#include <string>

#include "fw/Dialog.h"

class CvButton;
class MainWindow;

class WizardPage : public fw::Dialog {
public:
    // A modal page from template `templateId`, in front of `main`. Its Help
    // button, the help command and F1 open the help at `helpContext`; a page
    // without help (-1) leaves them to the page.
    WizardPage(UINT templateId, MainWindow& main, int helpContext = -1);
    ~WizardPage() override;

    // Message boxes with the product caption, OK and the exclamation icon.
    int ShowWarning(UINT messageId, const std::string& argument);
    int ShowWarningId(UINT messageId);

    // KB figures: decimal kilobytes followed by unitText, with one separator
    // before the last three digits when there are four or more.
    void InsertSeparator(std::string& figure) const;
    void RemoveSeparator(std::string& figure) const;
    void AddKB(std::string& total, const std::string& amount, int add) const;
    // 1 plenty (more than 1000 KB to spare), 0 tight, -1 not enough.
    int CompareKB(const std::string& available, const std::string& required) const;

    // The free-space light: state 1 green, 0 yellow, -1 red.
    void SetIndicator(CvButton& button, int state, UINT greenId, UINT yellowId, UINT redId);
    void InitIndicator(CvButton& button, int controlId, int state, UINT greenId, UINT yellowId,
                       UINT redId);

    // Checks a typed directory; on success `available` holds the free
    // space of its drive as a KB figure.
    bool CheckLocation(std::string& directory, std::string& available);
    // copy = directory; when its syntax is valid, available = free space of
    // its drive. The first form reads the controls first and reports whether
    // the syntax passed.
    bool RefreshFreeSpace(std::string& directory, std::string& copy, std::string& available);
    void RefreshFreeSpaceQuiet(const std::string& directory, std::string& copy, std::string& available);
    // Makes the directory and takes away again the levels it made (never
    // one that was there before): 1, or -1 when a parent cannot be made.
    int TrialCreate(const std::string& directory);

    // "Are you sure you want to exit Install?"; on anything but No closes
    // with 2 and tells the main window.
    void ConfirmExit();
    // The same question; on anything but No starts the cleanup program and
    // closes with 2.
    void ConfirmExitAndUndo();
    void ShowHelp(DWORD contextId);

    std::string separator;
    std::string unitText;
    HFONT lightFont = nullptr;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
    void OnHelp() override;
    MainWindow& main_;

private:
    int helpContext_;
    bool AskExit();
    int ParseKB(std::string figure) const;
};
