#include "app/WizardSequence.h"

namespace {
// State numbers of the sequence.
enum State { kWelcome = 1, kLicense = 3, kLocations = 5, kInstallType = 6, kComponents = 7,
             kInstall = 8, kAfterInstall = 9, kEnd = 10 };
}  // namespace

void RunWizardSequence(InstallState& state, WizardSteps& steps, bool licensePresent)
{
    bool detectionDone = false;
    int current = kWelcome;
    while (current != kEnd) {
        switch (current) {
        case kWelcome:
            if (steps.RunPage(WizardStep::Welcome) == kPageNext) {
                if (!detectionDone) {
                    steps.DetectPreviousInstall();
                    detectionDone = true;
                }
                current = licensePresent ? kLicense : kLocations;
            } else {
                current = kEnd;
            }
            break;
        case kLicense:
            current = steps.RunPage(WizardStep::License) == kPageNext ? kLocations : kEnd;
            break;
        case kLocations:
            switch (steps.RunPage(WizardStep::Locations)) {
            case kPageNext: current = kInstallType; break;
            case kPageBack: current = kWelcome; break;
            default: current = kEnd; break;
            }
            break;
        case kInstallType:
            switch (steps.RunPage(WizardStep::InstallType)) {
            case kPageCustom:
                state.customInstall = 1;
                current = kComponents;
                break;
            case kPageExpress:
                current = kInstall;
                steps.CheckExistingVersion("RHREG.COM");
                state.customInstall = 0;
                break;
            case kPageBack: current = kLocations; break;
            default: current = kEnd; break;
            }
            break;
        case kComponents:
            switch (steps.RunPage(WizardStep::Components)) {
            case kPageNext:
                if (state.componentSelected[11] != 0) steps.CheckExistingVersion("RHREG.COM");
                current = kInstall;
                break;
            case kPageBack: current = kInstallType; break;
            default: current = kEnd; break;
            }
            break;
        case kInstall: {
            int result = steps.RunInstall();
            current = result == -1 ? kComponents : result == 1 ? kAfterInstall : kEnd;
            break;
        }
        case kAfterInstall:
            state.installCompleted = 1;
            steps.PostInstall();
            current = kEnd;
            break;
        default:
            current = kEnd;
            break;
        }
    }
}
