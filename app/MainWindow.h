// The full-screen backdrop behind every page, progress window and message
// box. It owns the InstallState of the run and drives the wizard.
#pragma once
#include <memory>
#include <string>

#include "app/InstallState.h"
#include "fw/FrameWindow.h"

class InstallSteps;

class MainWindow : public fw::FrameWindow, public InstallState {
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
    // Starts the maker's cleanup program beside the installer, without
    // waiting; a failed start is ignored.
    static void StartCleanupProgram(const std::string& installerDir);

    // Message boxes with the product's caption and the exclamation icon.
    int ShowMessageId(UINT id);
    int ShowMessageArg(UINT id, const std::string& text);

    void BringForegroundToTop();

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

// The application's main window, or null before it exists.
MainWindow* TheMainWindow();
