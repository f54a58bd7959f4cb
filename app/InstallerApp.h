// The application object: the whole installation runs inside InitInstance,
// with the wizard or, under /S, without any window.
#pragma once
#include <memory>

#include "app/MainWindow.h"
#include "fw/Application.h"

struct InstallOptions;

class InstallerApp : public fw::Application {
public:
    ~InstallerApp() override;
    bool InitInstance() override;

private:
    // The exit code of each kind of run.
    int RunWithoutWindows(const InstallOptions& options);
    int RunWithWizard(const InstallOptions& options);
    // The installer and source directories, and the start of the log.
    void TakeDirectories(const InstallOptions& options, InstallState& state);
    // True when the run ends before it starts: the list of options asked
    // for, a command line refused under /S, or another installation
    // running.
    bool Refused(const InstallOptions& options);

    std::unique_ptr<MainWindow> window_;
    HANDLE running_ = nullptr;  // held for the whole run
};
