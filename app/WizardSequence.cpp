#include "app/WizardSequence.h"

#include "fw/DiagnosticLog.h"
#include "state/ProductFiles.h"

namespace {

// State numbers of the sequence.
enum State { kWelcome = 1, kLicense = 3, kLocations = 5, kInstallType = 6, kComponents = 7,
             kInstall = 8, kAfterInstall = 9, kEnd = 10 };

// What happens on the way from one state to the next.
enum class Action {
    None,
    DetectPreviousInstall,  // once per run, after the welcome page
    ChooseCustom,           // customInstall = 1
    ChooseExpress,          // the memory manager's version check, customInstall = 0
    CheckMemoryManager,     // the version check when the memory manager is chosen
};

// Which result of a state leads where. A result that is not listed ends
// the wizard.
struct Transition {
    State from;
    int result;
    State to;
    Action action;
};

constexpr int kInstallBack = -1;  // the install step's "back to the components page"
constexpr int kInstallDone = 1;

constexpr Transition kTransitions[] = {
    {kWelcome, kPageNext, kLicense, Action::DetectPreviousInstall},
    {kLicense, kPageNext, kLocations, Action::None},
    {kLocations, kPageNext, kInstallType, Action::None},
    {kLocations, kPageBack, kWelcome, Action::None},
    {kInstallType, kPageCustom, kComponents, Action::ChooseCustom},
    {kInstallType, kPageExpress, kInstall, Action::ChooseExpress},
    {kInstallType, kPageBack, kLocations, Action::None},
    {kComponents, kPageNext, kInstall, Action::CheckMemoryManager},
    {kComponents, kPageBack, kInstallType, Action::None},
    {kInstall, kInstallBack, kComponents, Action::None},
    {kInstall, kInstallDone, kAfterInstall, Action::None},
};

// The page each page state shows.
WizardStep PageOf(State state)
{
    switch (state) {
    case kLicense: return WizardStep::License;
    case kLocations: return WizardStep::Locations;
    case kInstallType: return WizardStep::InstallType;
    case kComponents: return WizardStep::Components;
    default: return WizardStep::Welcome;
    }
}

const char* NameOf(State state)
{
    switch (state) {
    case kWelcome: return "welcome page";
    case kLicense: return "licence page";
    case kLocations: return "locations page";
    case kInstallType: return "installation type page";
    case kComponents: return "components page";
    case kInstall: return "install step";
    default: return "end";
    }
}

// What the install step is about to use, for the diagnostic log.
void LogChoices(const InstallState& state)
{
    if (!fw::diag::IsOpen()) return;
    fw::diag::Write(std::string(state.customInstall ? "Custom" : "Express") + " install from " + state.sourceDir +
                    " into " + state.productDir);
    std::string targets = "target directories:";
    for (int i = 1; i <= 6; ++i) targets += " T" + std::to_string(i) + "=" + state.TargetDir(i);
    fw::diag::Write(targets);
    std::string components = "components:";
    for (int number : component::kWithDirectory)
        if (state.componentSelected[number] == 1) components += " " + std::to_string(number);
    fw::diag::Write(components);
    fw::diag::Write(state.addToGroup ? "program group: " + state.groupName : std::string("program group: none"));
}

}  // namespace

void RunWizardSequence(InstallState& state, WizardSteps& steps, bool licensePresent)
{
    bool detectionDone = false;
    State current = kWelcome;
    while (current != kEnd) {
        if (current == kAfterInstall) {
            state.installCompleted = 1;
            steps.PostInstall();
            break;
        }
        if (current == kInstall) LogChoices(state);
        int result = current == kInstall ? steps.RunInstall() : steps.RunPage(PageOf(current));
        State next = kEnd;
        for (const Transition& t : kTransitions) {
            if (t.from != current || t.result != result) continue;
            next = t.to;
            switch (t.action) {
            case Action::None: break;
            case Action::DetectPreviousInstall:
                if (!detectionDone) steps.DetectPreviousInstall();
                detectionDone = true;
                break;
            case Action::ChooseCustom: state.customInstall = 1; break;
            case Action::ChooseExpress:
                steps.CheckExistingVersion(product_file::CheckedProgram());
                state.customInstall = 0;
                break;
            case Action::CheckMemoryManager:
                if (state.componentSelected[component::kMemoryManager] != 0)
                    steps.CheckExistingVersion(product_file::CheckedProgram());
                break;
            }
            break;
        }
        // Without a licence text on the media its page is passed over.
        if (next == kLicense && !licensePresent) next = kLocations;
        fw::diag::Write(std::string(NameOf(current)) + ": result " + std::to_string(result) + ", on to the " +
                        NameOf(next));
        current = next;
    }
}
