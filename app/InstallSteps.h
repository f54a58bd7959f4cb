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

class InstallSteps : public WizardSteps {
public:
    InstallSteps(InstallState& state, HWND backdrop);
    ~InstallSteps() override;

    int RunPage(WizardStep page) override;
    void DetectPreviousInstall() override;
    void CheckExistingVersion(const std::string& fileName) override;
    int RunInstall() override;
    void PostInstall() override;
    // Takes back what a run that did not complete installed.
    void UndoIncompleteInstall();

private:
    // The group page, asked for from the locations page, modal to `owner`.
    int ChooseGroup(HWND owner);

    InstallState& state_;
    HWND backdrop_;
    // Built once and shown again each time the sequence comes back to it.
    std::unique_ptr<WelcomePage> welcome_;
};
