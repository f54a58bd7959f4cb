#include "app/InstallerApp.h"

#include "app/StartUp.h"
#include "fw/ResString.h"
#include "progress/ProgressBar.h"

bool InstallerApp::InitInstance()
{
    SetDialogColors(RGB(192, 192, 192), RGB(0, 0, 0));

    window_ = std::make_unique<MainWindow>();
    SetMainWindow(window_.get());
    if (!window_->CreateFullScreen()) return false;
    ShowWindow(window_->Handle(), ShowCommand());
    SetForegroundWindow(window_->Handle());
    UpdateWindow(window_->Handle());

    window_->SetInstallerDir(InstallerDirFromModulePath(ModulePath()));
    window_->SetSourceDir(SourceDirFromCommandLine(CommandLine(), window_->installerDir));

    SetHelpFile("INSTALL.HLP");

    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (info) {
        monochromeDisplay = GetDeviceCaps(info, NUMCOLORS) == 2;
        DeleteDC(info);
    }

    window_->RunWizard();
    return true;
}
