// The composition root of the wizard: what each step of the wizard does in
// this product. It is the one place that creates the pages, the script
// engine with its face, the records, the post-install step and the undo,
// and hands them the InstallState and the backdrop. The order of the steps
// is WizardSequence's.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/WizardSequence.h"

class WelcomePage;

// What every run does before its first page: the default drive. True when
// the media carry a licence text.
bool PrepareRun(InstallState& state);
// What every run does at its end: the undo of an install that did not
// complete, then the cleanup program.
void EndRun(InstallState& state);

class InstallSteps : public WizardSteps {
public:
    InstallSteps(InstallState& state, HWND backdrop);
    ~InstallSteps() override;

    int RunPage(WizardStep page) override;
    void DetectPreviousInstall() override;
    void CheckExistingVersion(const std::string& fileName) override;
    int RunInstall() override;
    void PostInstall() override;

private:
    // The group page, asked for from the locations page, modal to `owner`.
    int ChooseGroup(HWND owner);

    InstallState& state_;
    HWND backdrop_;
    // Built once and shown again each time the sequence comes back to it.
    std::unique_ptr<WelcomePage> welcome_;
};
