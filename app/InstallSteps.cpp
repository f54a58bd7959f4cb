#include "app/InstallSteps.h"

#include "app/MainWindow.h"
#include "pages/welcome/WelcomePage.h"
#include "records/ProductIni.h"
#include "records/Undo.h"
#include "script/ScriptEngine.h"

InstallSteps::InstallSteps(MainWindow& main) : main_(main), welcome_(std::make_unique<WelcomePage>(main)) {}

InstallSteps::~InstallSteps() = default;

void InstallState::ReleaseComponentsPage()
{
    componentsPage = nullptr;
}

// ---- the pages --------------------------------------------------------------

int InstallSteps::RunPage(WizardStep page)
{
    switch (page) {
    case WizardStep::Welcome:
        return (int)welcome_->DoModal();
    default:
        return kPageMissing;
    }
}

// ---- the version check of the memory manager --------------------------------

void InstallSteps::CheckExistingVersion(const std::string& fileName)
{
}

// ---- the previous install ---------------------------------------------------

void InstallSteps::DetectPreviousInstall()
{
    ::DetectPreviousInstall(main_);
}

// ---- the install step -------------------------------------------------------

int InstallSteps::RunInstall()
{
    // One engine per attempt: a return to the components page builds a new
    // one. It destroys its own window at the end of the run.
    auto engine = std::make_unique<ScriptEngine>(main_);
    if (!engine->Create()) return ScriptEngine::kRunStopped;
    return engine->RunScript();
}

// ---- after a completed install ----------------------------------------------

void InstallSteps::PostInstall()
{
}

// ---- the undo of an install that did not complete ----------------------------

void InstallSteps::UndoIncompleteInstall()
{
    UndoFromLog(main_, main_.installLogPath);
}
