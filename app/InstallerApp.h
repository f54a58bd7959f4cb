// The application object: the whole installation runs inside InitInstance.
#pragma once
#include <memory>

#include "app/MainWindow.h"
#include "fw/Application.h"

class InstallerApp : public fw::Application {
public:
    ~InstallerApp() override;
    bool InitInstance() override;

private:
    std::unique_ptr<MainWindow> window_;
    HANDLE running_ = nullptr;  // held for the whole run
};
