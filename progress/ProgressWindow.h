// The engine's progress window: the modeless dialog (template 10003) at the
// bottom of the screen that shows the files being copied and the overall
// progress while the install script runs, the billboards above it, the
// diskette prompt, and the message boxes through which the engine reports
// errors and asks whether to go on. It is the wizard's face of the script
// engine.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "fw/Dialog.h"
#include "progress/ProgressBar.h"
#include "script/EngineView.h"

class BillboardDialog;
struct InstallState;

class ProgressWindow : public fw::Dialog, public EngineView {
public:
    // `backdrop` (null: none) owns the window, the billboards and the
    // prompts; the billboards show only when `billboards` says so.
    ProgressWindow(InstallState& state, HWND backdrop, bool billboards);
    ~ProgressWindow() override;

    // Paints the backdrop, then creates the modeless window from template
    // 10003 in front of it. False when that failed.
    bool Create();

    // ---- the engine's face ----
    HWND ProgressTarget() const override { return Handle(); }
    // Both names in upper case: 10404 the source, 10405 the destination.
    void ShowFiles(const std::string& source, const std::string& destination) override;
    void ShowSource(const std::string& source) override;
    void ShowDestination(const std::string& destination) override;
    // The handling of UM_PROGRESS: moves the bar, lets one pending message
    // through, and steps the billboards on.
    void Progress(int percent) override;
    // An OK box with the application's title as caption.
    void ReportError(UINT messageId, const std::string& argument) override;
    // OK and Cancel: false for Cancel.
    void ReportUnpackError(UINT messageId, UINT captionId) override;
    bool AskGoOn(UINT messageId, const std::string& argument) override;
    bool AskRetry(UINT messageId, const std::string& argument) override;
    bool PromptForDisk(int disk, std::string& location) override;
    void Refresh() override;
    // Billboard 1021 and timer 1 (period: string 2060).
    void StartBillboards() override;
    void WaitForBillboardTick() override;
    // The platform's end-dialog call with the Cancel result: the window
    // leaves the screen at once; the run destroys it at its end.
    void LeaveAfterCancel() override;
    void Close(bool completed) override;

    // Timer off, billboard gone.
    void StopBillboards();
    void StopBillboardTimer();

    // Text of static 10405 and of static 10404.
    std::string destinationText;
    std::string sourceText;
    ProgressBar progressBar;
    // The window rectangle as the template made it, before it was moved.
    RECT templateRect{};
    // The percentage at which the billboard on screen was shown.
    int32_t lastBillboardThreshold = 0;
    std::unique_ptr<BillboardDialog> billboard;
    // Set by every tick of timer 1, cleared when a billboard changes.
    int32_t billboardTickDue = 0;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter does nothing: the window never closes through it.
    void OnOK() override {}
    // "Space to Cancel" and Escape: the exit question.
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The owner of the message boxes: the window when it exists.
    HWND MessageOwner() const;
    // Destroys the window when it exists.
    void DestroyOwnWindow();
    // Removes and dispatches one pending message of the thread, if any.
    // False when it was the quit message (which is put back).
    bool PumpOneMessage();
    // Replaces the billboard on screen by billboard `index` (0 = 1021).
    void ShowBillboard(int index);

    InstallState& state_;
    HWND backdrop_;
    bool billboards_;
    bool timerRunning_ = false;
};
