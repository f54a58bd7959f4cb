#include "app/InstallSteps.h"

#include "app/PostInstall.h"
#include "fsutil/FsUtil.h"
#include "pages/base/WizardPage.h"
#include "state/ProductFiles.h"
#include "app/VersionCheck.h"
#include "app/progman/ProgmanClient.h"
#include "pages/completion/CompletionPage.h"
#include "pages/components/ComponentsPage.h"
#include "pages/group/GroupPage.h"
#include "pages/installtype/InstallTypePage.h"
#include "pages/license/LicensePage.h"
#include "pages/locations/LocationsPage.h"
#include "pages/welcome/WelcomePage.h"
#include "progress/ProgressWindow.h"
#include "records/ProductIni.h"
#include "records/Undo.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"

namespace {
// Room for Program Manager's list of groups.
constexpr size_t kGroupListCapacity = 1000;
}  // namespace

InstallSteps::InstallSteps(InstallState& state, HWND backdrop)
    : state_(state), backdrop_(backdrop), welcome_(std::make_unique<WelcomePage>(state, backdrop))
{
}

InstallSteps::~InstallSteps()
{
    state_.ReleaseComponentsPage();
}

// ---- the pages --------------------------------------------------------------

int InstallSteps::RunPage(WizardStep page)
{
    switch (page) {
    case WizardStep::Welcome:
        return (int)welcome_->DoModal();
    case WizardStep::License:
        return (int)LicensePage(state_, backdrop_).DoModal();
    case WizardStep::InstallType:
        return (int)InstallTypePage(state_, backdrop_).DoModal();
    case WizardStep::Components: {
        // The latest components page stays readable after it closed.
        state_.ReleaseComponentsPage();
        auto components = std::make_shared<ComponentsPage>(state_, backdrop_);
        state_.componentsPage = components;
        return (int)components->DoModal();
    }
    case WizardStep::Locations:
        return (int)LocationsPage(state_, backdrop_, [this](HWND owner) { return ChooseGroup(owner); }).DoModal();
    default:
        return kPageMissing;
    }
}

int InstallSteps::ChooseGroup(HWND owner)
{
    char list[kGroupListCapacity] = {};
    ProgmanClient::RequestGroupList(list, sizeof list);
    return RunGroupPage(state_, backdrop_, list, owner);
}

// ---- the version check of the memory manager --------------------------------

void InstallSteps::CheckExistingVersion(const std::string& fileName)
{
    ::CheckExistingVersion(state_, backdrop_, fileName);
}

// ---- the previous install ---------------------------------------------------

void InstallSteps::DetectPreviousInstall()
{
    ::DetectPreviousInstall(state_);
}

// ---- the install step -------------------------------------------------------

int InstallSteps::RunInstall()
{
    // One engine and one progress window per attempt: a return to the
    // components page builds new ones. The run closes its window at its end.
    ProgressWindow progress(state_, backdrop_, true);
    if (!progress.Create()) return ScriptEngine::kRunStopped;
    return ScriptEngine(state_, progress).RunScript();
}

// ---- after a completed install ----------------------------------------------

void InstallSteps::PostInstall()
{
    ::PostInstall(state_, backdrop_,
                  [this] { StartSetupToolOr(state_, [this] { CompletionPage(state_, backdrop_).DoModal(); }); });
}

// ---- the run's start and end ---------------------------------------------------

bool PrepareRun(InstallState& state)
{
    std::string windows = WindowsDirectory();
    state.SetDefaultDrive(windows.size() >= 2 ? windows.substr(0, 2) : std::string("C:"));
    // A directory of that name is no licence text.
    return FileExists(state.sourceDir + "\\" + product_file::kLicense);
}

void EndRun(InstallState& state)
{
    if (state.installCompleted == 0) {
        ProgmanItemRemover progman;
        UndoFromLog(state, state.installLogPath, progman);
    } else {
        // The records are written: what the run wrote over is no longer
        // needed.
        DropKeptFiles(state.runMemory);
    }
    StartCleanupProgram(state.installerDir);
}
