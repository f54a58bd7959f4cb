#include "app/InstallerApp.h"

#include "app/InstallOptions.h"
#include "app/StartUp.h"
#include "app/UnattendedInstall.h"
#include "fw/DiagnosticLog.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "progress/ProgressBar.h"
#include "records/RegistryRecords.h"
#include "resources/resource.h"
#include "script/KeptFiles.h"
#include "state/ProductFiles.h"

namespace {

void LogStart(const std::string& commandLine, const InstallOptions& options, const InstallState& state)
{
    if (!fw::diag::IsOpen()) return;
    fw::diag::Write("command line: " + commandLine);
    fw::diag::Write(options.silent ? "mode: unattended (/S)" : "mode: with the wizard");
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    fw::diag::Write("Windows version seen: " + OsVersionText() + " " + std::to_string(version.dwMajorVersion) + "." +
                    std::to_string(version.dwMinorVersion) + "." + std::to_string(version.dwBuildNumber));
    fw::diag::Write("installer directory: " + state.installerDir + ", source directory: " + state.sourceDir);
}

}  // namespace

bool InstallerApp::InitInstance()
{
    const InstallOptions options = ParseInstallOptions(CommandLine());
    if (!options.logPath.empty() && !fw::diag::Open(options.logPath)) {
        if (!options.silent) fw::ShowMessageArg(nullptr, IDS_LOG_NOT_WRITTEN, options.logPath, fw::kWarning);
        exitCode_ = install_exit::kBadCommandLine;
        return false;
    }
    // Nobody answers the boxes of an unattended run: each is answered in
    // the log.
    if (options.silent) fw::SetMessageAnswerer([](UINT id, const std::string&, UINT type) { return UnattendedAnswer(id, type); });
    exitCode_ = options.silent ? RunWithoutWindows(options) : RunWithWizard(options);
    fw::diag::Write("exit code " + std::to_string(exitCode_));
    fw::diag::Close();
    // The wizard's backdrop has gone; its last messages are still handled.
    return window_ != nullptr && exitCode_ == install_exit::kInstalled;
}

bool InstallerApp::Refused(const InstallOptions& options)
{
    if (options.usage) {
        fw::ShowMessageId(nullptr, IDS_USAGE, MB_OK | MB_ICONINFORMATION);
        return true;
    }
    for (const std::string& problem : options.problems)
        fw::diag::Write(std::string(options.silent ? "refused: " : "ignored: ") + problem);
    if (options.silent && !options.problems.empty()) return true;
    // One installer or uninstaller at a time: the other waits for none, it
    // says so and ends before anything is done.
    running_ = CreateMutexA(nullptr, TRUE, product_file::kSetupMutex);
    if (!running_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        fw::ShowMessageId(nullptr, IDS_SETUP_BUSY, fw::kWarning);
        return true;
    }
    // A run that was killed left what it wrote over in its keep folders:
    // that goes back before this run starts.
    int putBack = RecoverInterruptedRun();
    if (putBack >= 0) fw::ShowMessageArg(nullptr, IDS_RUN_PUT_BACK, std::to_string(putBack), MB_OK | MB_ICONINFORMATION);
    return false;
}

void InstallerApp::TakeDirectories(const InstallOptions& options, InstallState& state)
{
    state.SetInstallerDir(InstallerDirFromModulePath(ModulePath()));
    state.SetSourceDir(SourceDirOf(options, CommandLine(), state.installerDir));
    LogStart(CommandLine(), options, state);
}

int InstallerApp::RunWithoutWindows(const InstallOptions& options)
{
    InstallState state;
    state.InitComponentFlags();
    TakeDirectories(options, state);
    if (Refused(options)) return install_exit::kBadCommandLine;
    return RunUnattended(state, options);
}

int InstallerApp::RunWithWizard(const InstallOptions& options)
{
    SetDialogColors(RGB(192, 192, 192), RGB(0, 0, 0));
    window_ = std::make_unique<MainWindow>();
    InstallState& state = window_->state;
    TakeDirectories(options, state);
    if (Refused(options)) return install_exit::kBadCommandLine;

    SetMainWindow(window_.get());
    if (!window_->CreateFullScreen()) return install_exit::kStopped;
    ShowWindow(window_->Handle(), ShowCommand());
    SetForegroundWindow(window_->Handle());
    UpdateWindow(window_->Handle());

    SetHelpFile(product_file::kHelp);

    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (info) {
        monochromeDisplay = GetDeviceCaps(info, NUMCOLORS) == 2;
        DeleteDC(info);
    }

    window_->RunWizard();
    // A person saw how the run ended; its code says only that it ran.
    return install_exit::kInstalled;
}

InstallerApp::~InstallerApp()
{
    if (running_) CloseHandle(running_);
}
