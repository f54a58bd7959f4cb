// The full-screen backdrop behind every page, progress window and message
// box. It owns the InstallState of the run and drives the wizard.
#pragma once
#include <memory>
#include <string>

#include "fw/FrameWindow.h"
#include "state/InstallState.h"

class InstallSteps;

class MainWindow : public fw::FrameWindow {
public:
    MainWindow();
    ~MainWindow() override;

    // Creates the window over the whole primary screen with the product's
    // title, and gives its class the dark blue brush and the product icon.
    bool CreateFullScreen();

    // The whole installation: pages, install step, end step. Returns after
    // the window has been destroyed.
    void RunWizard();
    void FinishInstall();

    void BringForegroundToTop();

    // The run's state, for the whole run.
    InstallState state;
    HBITMAP tileBitmap = nullptr;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(CREATESTRUCTA& cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnRButtonUp(UINT flags, POINT pt) override;
    void OnSysColorChange() override {}

private:
    // The steps of the wizard, for the time RunWizard runs.
    std::unique_ptr<InstallSteps> steps_;
};
