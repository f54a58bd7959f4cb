// What each step of the wizard does in this product: the pages, the
// previous-install detection, the version check, the install step, the
// post-install step and the undo of an install that did not complete. The
// order of the steps is WizardSequence's; this is the one place that
// composes the pages, the script engine and the records and hands them the
// InstallState.
#pragma once
#include <memory>
#include <string>

#include "app/WizardSequence.h"

class MainWindow;
class WelcomePage;

class InstallSteps : public WizardSteps {
public:
    explicit InstallSteps(MainWindow& main);
    ~InstallSteps() override;

    int RunPage(WizardStep page) override;
    void DetectPreviousInstall() override;
    void CheckExistingVersion(const std::string& fileName) override;
    int RunInstall() override;
    void PostInstall() override;
    // Takes back what a run that did not complete installed.
    void UndoIncompleteInstall();

private:
    MainWindow& main_;
    // Built once and shown again each time the sequence comes back to it.
    std::unique_ptr<WelcomePage> welcome_;
};
