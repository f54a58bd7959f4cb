#include "app/InstallSteps.h"

#include "app/MainWindow.h"
#include "app/VersionCheck.h"
#include "pages/components/ComponentsPage.h"
#include "pages/installtype/InstallTypePage.h"
#include "pages/license/LicensePage.h"
#include "pages/locations/LocationsPage.h"
#include "app/PostInstall.h"
#include "pages/welcome/WelcomePage.h"
#include "records/ProductIni.h"
#include "records/Undo.h"
#include "script/ScriptEngine.h"

InstallSteps::InstallSteps(MainWindow& main) : main_(main), welcome_(std::make_unique<WelcomePage>(main)) {}

InstallSteps::~InstallSteps()
{
    main_.ReleaseComponentsPage();
}

void InstallState::ReleaseComponentsPage()
{
    delete componentsPage;
    componentsPage = nullptr;
}

// ---- the pages --------------------------------------------------------------

int InstallSteps::RunPage(WizardStep page)
{
    switch (page) {
    case WizardStep::Welcome:
        return (int)welcome_->DoModal();
    case WizardStep::License: {
        LicensePage license(main_);
        return (int)license.DoModal();
    }
    case WizardStep::InstallType: {
        InstallTypePage installType(main_);
        return (int)installType.DoModal();
    }
    case WizardStep::Components:
        // The latest components page stays readable after it closed.
        main_.ReleaseComponentsPage();
        main_.componentsPage = new ComponentsPage(main_);
        return (int)main_.componentsPage->DoModal();
    case WizardStep::Locations: {
        LocationsPage locations(main_);
        return (int)locations.DoModal();
    }
    default:
        return kPageMissing;
    }
}

// ---- the version check of the memory manager --------------------------------

void InstallSteps::CheckExistingVersion(const std::string& fileName)
{
    ::CheckExistingVersion(main_, main_.Handle(), fileName);
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
    ::PostInstall(main_);
}

// ---- the undo of an install that did not complete ----------------------------

void InstallSteps::UndoIncompleteInstall()
{
    UndoFromLog(main_, main_.installLogPath);
}
