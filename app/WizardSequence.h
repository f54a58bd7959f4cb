// The order of the wizard: which page follows which result. The pages and
// the install step are reached through WizardSteps, so the sequence itself
// does not depend on any page being built.
#pragma once
#include <string>

#include "resources/resource.h"
#include "state/InstallState.h"


enum class WizardStep { Welcome, License, Locations, InstallType, Components };

class WizardSteps {
public:
    virtual ~WizardSteps() = default;
    // Runs one page modally and returns its end code.
    virtual int RunPage(WizardStep page) = 0;
    virtual void DetectPreviousInstall() = 0;
    virtual void CheckExistingVersion(const std::string& fileName) = 0;
    // -1: back to the component choice, 1: success, anything else: stop.
    virtual int RunInstall() = 0;
    virtual void PostInstall() = 0;
};

// Runs the wizard from the welcome page to its end state. Sets
// customInstall and installCompleted in `state` as the user moves on.
void RunWizardSequence(InstallState& state, WizardSteps& steps, bool licensePresent);
