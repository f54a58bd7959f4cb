#include "app/InstallerApp.h"

#include "app/StartUp.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "progress/ProgressBar.h"
#include "resources/resource.h"
#include "state/ProductFiles.h"

bool InstallerApp::InitInstance()
{
    SetDialogColors(RGB(192, 192, 192), RGB(0, 0, 0));

    // One installer or uninstaller at a time: the other waits for none, it
    // says so and ends before anything is done.
    running_ = CreateMutexA(nullptr, TRUE, product_file::kSetupMutex);
    if (!running_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        fw::ShowMessageId(nullptr, IDS_SETUP_BUSY, fw::kWarning);
        return false;
    }

    window_ = std::make_unique<MainWindow>();
    SetMainWindow(window_.get());
    if (!window_->CreateFullScreen()) return false;
    ShowWindow(window_->Handle(), ShowCommand());
    SetForegroundWindow(window_->Handle());
    UpdateWindow(window_->Handle());

    InstallState& state = window_->state;
    state.SetInstallerDir(InstallerDirFromModulePath(ModulePath()));
    state.SetSourceDir(SourceDirFromCommandLine(CommandLine(), state.installerDir));

    SetHelpFile(product_file::kHelp);

    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (info) {
        monochromeDisplay = GetDeviceCaps(info, NUMCOLORS) == 2;
        DeleteDC(info);
    }

    window_->RunWizard();
    return true;
}

InstallerApp::~InstallerApp()
{
    if (running_) CloseHandle(running_);
}
