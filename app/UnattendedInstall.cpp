#include "app/UnattendedInstall.h"

#include <algorithm>
#include <array>

#include "app/InstallSteps.h"
#include "app/PostInstall.h"
#include "app/StartUp.h"
#include "app/VersionCheck.h"
#include "app/WizardSequence.h"
#include "fsutil/FsUtil.h"
#include "fw/DiagnosticLog.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "pages/components/ComponentsPage.h"
#include "pages/locations/LocationsPage.h"
#include "records/ProductIni.h"
#include "resources/resource.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"
#include "state/InstallState.h"

namespace {

// The engine's face when nobody is at the screen: it shows nothing, and
// every failure the wizard would report or ask about ends the run there
// (the engine stops at the cancel flag, the run is undone). A retry is
// never chosen, so nothing can loop.
class SilentFace : public EngineView {
public:
    // A window of no size that nobody sees (a message-only window): it
    // answers the unpack library's questions, so that what an archive
    // writes over is kept as in the wizard.
    explicit SilentFace(RunMemory& memory)
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &SilentFace::WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
        window_ = CreateWindowA(kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
        // Windows before 2000 have no message-only windows: a window that
        // is never shown does the same.
        if (!window_)
            window_ = CreateWindowA(kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                                    nullptr);
        if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&memory));
    }
    ~SilentFace() override
    {
        if (window_) DestroyWindow(window_);
    }

    // The exit code of the first failure; 0 while there was none.
    int failure = 0;

    HWND ProgressTarget() const override { return window_; }
    void ShowFiles(const std::string&, const std::string&) override {}
    void ShowSource(const std::string&) override {}
    void ShowDestination(const std::string&) override {}
    void Progress(int) override {}
    void ReportError(UINT messageId, const std::string& argument) override
    {
        Fail(install_exit::kStopped, messageId, fw::FormatResString(messageId, argument));
    }
    bool AskGoOn(UINT messageId, const std::string& argument) override
    {
        Fail(install_exit::kStopped, messageId, fw::FormatResString(messageId, argument));
        return false;
    }
    bool AskRetry(UINT messageId, const std::string& argument) override
    {
        Fail(install_exit::kStopped, messageId, fw::FormatResString(messageId, argument));
        return false;
    }
    void ReportUnpackError(UINT messageId, UINT) override
    {
        Fail(install_exit::kStopped, messageId, fw::LoadResString(messageId));
    }
    bool PromptForDisk(int disk, std::string& location) override
    {
        // Where a person would be asked: the diskette's folder beside the
        // source, once per diskette.
        if (triedDisk_ != disk) {
            triedDisk_ = disk;
            std::string sibling = SiblingDisketteFolder(location, disk);
            if (!sibling.empty()) {
                fw::diag::Write("diskette " + std::to_string(disk) + ": looking in " + sibling);
                location = sibling;
                return true;
            }
        }
        fw::diag::Write("diskette " + std::to_string(disk) + " (" + fw::LoadResString(IDS_DISK_LABEL_BASE + disk) +
                        ") not found in " + location + ": the unattended run ends");
        if (!failure) failure = install_exit::kMediaMissing;
        return false;
    }
    void Refresh() override {}
    void StartBillboards() override {}
    void WaitForBillboardTick() override {}
    void LeaveAfterCancel() override {}
    void Close(bool) override {}

private:
    void Fail(int code, UINT messageId, const std::string& text)
    {
        fw::diag::Write("message " + std::to_string(messageId) + " \"" + text + "\" ends the unattended run");
        if (!failure) failure = code;
        cancelRequested = 1;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* memory = reinterpret_cast<RunMemory*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        LRESULT answer = 0;
        if (memory && AnswerLibraryQuestion(*memory, message, lParam, answer)) return answer;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static constexpr char kClassName[] = "CorvaneUnattendedFace";
    HWND window_ = nullptr;
    int triedDisk_ = 0;
};

// The wizard's steps with the command line's choices.
class UnattendedSteps : public WizardSteps {
public:
    UnattendedSteps(InstallState& state, const InstallOptions& options) : state_(state), options_(options) {}

    // The exit code of a run that ends before it completes.
    int exitCode = install_exit::kStopped;

    int RunPage(WizardStep page) override
    {
        switch (page) {
        case WizardStep::Welcome:
            return kPageNext;
        case WizardStep::License:
            fw::diag::Write("licence accepted by the administrator's /S");
            return kPageNext;
        case WizardStep::Locations:
            return Locations();
        case WizardStep::InstallType:
            return InstallType();
        case WizardStep::Components:
            return Components();
        }
        return kPageExit;
    }

    void DetectPreviousInstall() override { ::DetectPreviousInstall(state_); }

    void CheckExistingVersion(const std::string& fileName) override
    {
        const bool chosen = state_.componentSelected[component::kMemoryManager] != 0;
        ::CheckExistingVersion(state_, nullptr, fileName);
        if (chosen && state_.componentSelected[component::kMemoryManager] == 0)
            fw::diag::Write("the installed " + fileName + " is as new or newer: it is kept, components " +
                            std::to_string(component::kMemoryManager) + " and " +
                            std::to_string(component::kTechnicalNotes) + " are not installed");
    }

    int RunInstall() override
    {
        SilentFace face(state_.runMemory);
        if (ScriptEngine(state_, face).RunScript() == ScriptEngine::kRunDone) return ScriptEngine::kRunDone;
        exitCode = face.failure ? face.failure : install_exit::kStopped;
        // Never back to a page: the run ends and is undone.
        return ScriptEngine::kRunStopped;
    }

    void PostInstall() override
    {
        ::PostInstall(state_, nullptr, [] { fw::diag::Write("the setup tool and the completion page are left out"); });
    }

private:
    // A check that would keep its page open ends the run: its message in
    // the log, nothing made.
    int Refuse(UINT messageId, const std::string& argument)
    {
        fw::ShowMessageArg(nullptr, messageId, argument, fw::kWarning);
        exitCode = install_exit::kRefused;
        return kPageExit;
    }

    int Locations()
    {
        LocationsPage::TakeDefaultGroup(state_);
        if (options_.noGroup) {
            state_.addToGroup = 0;
        } else if (options_.groupGiven) {
            state_.SetGroupName(options_.group);
            state_.addToGroup = 1;
        }
        std::string directory =
            options_.directoryGiven ? options_.directory : LocationsPage::ProposedDirectory(state_);
        // As the page's field shows and takes it.
        fw::ToUpper(directory);
        if (UINT problem = DiskSpacePage::LocationProblem(state_, directory)) return Refuse(problem, "");
        const std::string typed = directory;
        StripTrailingBackslash(directory);
        if (UINT problem = DiskSpacePage::TrialCreationProblem(directory)) return Refuse(problem, "");
        LocationsPage::TakeLocation(state_, typed);
        return kPageNext;
    }

    int InstallType()
    {
        if (options_.type == InstallOptions::Type::Custom) return kPageCustom;
        // Nobody sees the free-space light: a drive without room for the
        // whole product is refused before anything is made.
        const std::string drive = state_.targetDir1.substr(0, 2);
        if (UINT problem = ComponentsPage::SlotProblem(state_.targetDir1, LocationsPage::FullInstallKB(),
                                                       (long long)FreeSpaceKB(drive)))
            return Refuse(problem, " " + drive);
        return kPageExpress;
    }

    int Components()
    {
        std::array<int32_t, ComponentsPage::kSlots> selected{};
        std::array<std::string, ComponentsPage::kSlots> directory;
        for (int i = 0; i < ComponentsPage::kSlots; ++i) directory[i] = state_.TargetDir(i + 1);
        bool any = false;
        for (int i = 0; i < 4; ++i) {
            const int number = ComponentsPage::kComponent[i];
            const auto& named = options_.components;
            selected[i] = named.empty() ? state_.componentSelected[number]
                                        : std::find(named.begin(), named.end(), number) != named.end();
            if (!ComponentsPage::SlotOffered(i)) selected[i] = 0;
            any = any || selected[i] == 1;
        }
        // As the page: every slot is compared with the free space of slot
        // 1's drive.
        const long long available = (long long)FreeSpaceKB(directory[0].substr(0, 2));
        for (int i = 0; i < ComponentsPage::kSlots; ++i) {
            if (selected[i] != 1) continue;
            UINT problem = ComponentsPage::SlotProblem(directory[i],
                                                       DiskSpacePage::SizeKB(IDS_COMPONENT_SIZE_FIRST + i), available);
            if (problem) return Refuse(problem, " " + directory[i].substr(0, 2));
        }
        if (!any) return Refuse(IDS_NO_COMPONENT, "");
        ComponentsPage::TakeChoice(state_, selected, directory);
        return kPageNext;
    }

    InstallState& state_;
    const InstallOptions& options_;
};

}  // namespace

int UnattendedAnswer(UINT textId, UINT type)
{
    if (textId == IDS_RENAME_QUESTION) return IDYES;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
    case MB_CANCELTRYCONTINUE:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

std::string SiblingDisketteFolder(const std::string& folder, int disk)
{
    std::string path = folder;
    StripTrailingBackslash(path);
    size_t nameStart = path.find_last_of("\\:") + 1;
    size_t digits = path.find_last_not_of("0123456789") + 1;
    if (digits >= path.size() || digits <= nameStart) return {};
    std::string sibling = path.substr(0, digits) + std::to_string(disk);
    return lstrcmpiA(sibling.c_str(), path.c_str()) == 0 ? std::string() : sibling;
}

int RunUnattended(InstallState& state, const InstallOptions& options)
{
    if (!SourceDirFits(state.sourceDir)) {
        fw::ShowMessageArg(nullptr, IDS_SOURCE_TOO_LONG, state.sourceDir, fw::kWarning);
        return install_exit::kMediaMissing;
    }
    const bool licensePresent = PrepareRun(state);
    UnattendedSteps steps(state, options);
    RunWizardSequence(state, steps, licensePresent);
    const int code = state.installCompleted ? install_exit::kInstalled : steps.exitCode;
    EndRun(state);
    return code;
}
