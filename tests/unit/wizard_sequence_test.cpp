// The order of the wizard, driven by scripted page results.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/WizardSequence.h"

namespace {

// Plays back page results and records every step the sequence takes.
class ScriptedSteps : public WizardSteps {
public:
    ScriptedSteps(InstallState& state, std::deque<int> results) : state_(state), results_(std::move(results)) {}

    int RunPage(WizardStep page) override
    {
        static const char* names[] = {"welcome", "license", "locations", "type", "components"};
        return Next(names[static_cast<int>(page)]);
    }
    void DetectPreviousInstall() override { log.push_back("detect"); }
    void CheckExistingVersion(const std::string& file) override { log.push_back("check " + file); }
    int RunInstall() override { return Next("install"); }
    void PostInstall() override
    {
        log.push_back(state_.installCompleted ? "post (completed)" : "post (not completed)");
    }

    std::vector<std::string> log;

private:
    int Next(const char* step)
    {
        log.push_back(step);
        if (results_.empty()) {
            ADD_FAILURE() << "no result scripted for " << step;
            return kPageExit;
        }
        int r = results_.front();
        results_.pop_front();
        return r;
    }
    InstallState& state_;
    std::deque<int> results_;
};

using Log = std::vector<std::string>;

struct Outcome {
    Log log;
    InstallState state;
};

Outcome Play(std::deque<int> results, bool license, int memoryManager = 1)
{
    Outcome run;
    run.state.componentSelected[11] = memoryManager;
    ScriptedSteps steps(run.state, std::move(results));
    RunWizardSequence(run.state, steps, license);
    run.log = steps.log;
    return run;
}

}  // namespace

TEST(WizardSequence, ExpressInstallWithoutLicence)
{
    Outcome run = Play({kPageNext, kPageNext, kPageExpress, 1}, false);
    EXPECT_EQ(run.log, (Log{"welcome", "detect", "locations", "type", "check RHREG.COM", "install",
                            "post (completed)"}));
    EXPECT_EQ(run.state.customInstall, 0);
    EXPECT_EQ(run.state.installCompleted, 1);
}

TEST(WizardSequence, LicenceShownAgainAfterBackButDetectionOnce)
{
    Outcome run = Play({kPageNext, kPageNext, kPageBack, kPageNext, kPageNext, kPageExit}, true);
    EXPECT_EQ(run.log, (Log{"welcome", "detect", "license", "locations", "welcome", "license",
                            "locations"}));
    EXPECT_EQ(run.state.installCompleted, 0);
}

TEST(WizardSequence, CustomWithAndWithoutMemoryManager)
{
    Outcome with = Play({kPageNext, kPageNext, kPageCustom, kPageNext, 1}, false, 1);
    EXPECT_EQ(with.log, (Log{"welcome", "detect", "locations", "type", "components",
                             "check RHREG.COM", "install", "post (completed)"}));
    EXPECT_EQ(with.state.customInstall, 1);

    Outcome without = Play({kPageNext, kPageNext, kPageCustom, kPageNext, 1}, false, 0);
    EXPECT_EQ(without.log, (Log{"welcome", "detect", "locations", "type", "components", "install",
                                "post (completed)"}));
}

TEST(WizardSequence, BackButtons)
{
    Outcome run = Play({kPageNext, kPageNext, kPageCustom, kPageBack, kPageBack, kPageBack, kPageExit},
                   false);
    EXPECT_EQ(run.log, (Log{"welcome", "detect", "locations", "type", "components", "type",
                            "locations", "welcome"}));
}

TEST(WizardSequence, InstallAsksForComponentsAgainEvenAfterExpress)
{
    Outcome run = Play({kPageNext, kPageNext, kPageExpress, -1, kPageNext, -1, kPageNext, -1, kPageExit},
                   false);
    EXPECT_EQ(run.log, (Log{"welcome", "detect", "locations", "type", "check RHREG.COM", "install",
                            "components", "check RHREG.COM", "install", "components",
                            "check RHREG.COM", "install", "components"}));
    EXPECT_EQ(run.state.installCompleted, 0);
}

TEST(WizardSequence, EveryOtherResultEndsTheRun)
{
    // Exit, a page this build lacks (0), and unknown codes end at once; so
    // does an install step that neither succeeds nor asks to go back.
    for (int result : {(int)kPageExit, (int)kPageMissing, 7, 10102 + 1, (int)kPageCustom}) {
        Outcome welcome = Play({result}, true);
        EXPECT_EQ(welcome.log, (Log{"welcome"})) << result;
    }
    for (int result : {(int)kPageExit, (int)kPageMissing, (int)kPageBack, (int)kPageExpress}) {
        Outcome licence = Play({kPageNext, result}, true);
        EXPECT_EQ(licence.log, (Log{"welcome", "detect", "license"})) << result;
    }
    for (int result : {0, 2, 3, -2}) {
        Outcome install = Play({kPageNext, kPageNext, kPageExpress, result}, false);
        EXPECT_EQ(install.log.back(), "install") << result;
        EXPECT_EQ(install.state.installCompleted, 0) << result;
    }
    Outcome typeNext = Play({kPageNext, kPageNext, kPageNext}, false);
    EXPECT_EQ(typeNext.log.back(), "type");
}
