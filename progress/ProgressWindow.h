// The engine's progress window: the modeless dialog (template 10003) at the
// bottom of the screen that shows the files being copied and the overall
// progress while the install script runs, the billboards above it, and the
// message boxes through which the engine reports errors and asks whether to
// go on. The script engine derives from it, so the engine's run and its
// window are one object.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "fw/Dialog.h"
#include "progress/ProgressBar.h"

class BillboardDialog;
class MainWindow;

class ProgressWindow : public fw::Dialog {
public:
    // The results that AskOnError gives to the file operations.
    static constexpr int kGoOn = 1;
    static constexpr int kStop = 7;

    // `main`, when given, owns the window and the billboards; without it
    // the run shows no billboards.
    explicit ProgressWindow(MainWindow* main = nullptr);
    ~ProgressWindow() override;

    // Creates the modeless window from template 10003, in front of the main
    // window. False when that failed.
    bool Create();

    // Shows both names in upper case: 10404 the source, 10405 the
    // destination.
    void ShowFiles(const std::string& source, const std::string& destination);

    // Shows string `messageId`, with `argument` in place of "%1", in an OK
    // box with the application's title as caption.
    void ReportError(UINT messageId, const std::string& argument);

    // Formats string `messageId` with `argument`. When askOnError is 1 and
    // `silent` is not 1, asks with OK and Cancel: Cancel sets
    // cancelRequested and gives kStop (7); any other answer gives kGoOn (1).
    // When nobody is asked the result is kGoOn.
    int AskOnError(UINT messageId, const std::string& argument, int silent);

    // Reports that directory `path` could not be made ("Unable to create
    // directory ..."), closes the window and gives -1.
    int FailDirectory(const std::string& path);

    // The handling of UM_PROGRESS with `percent`: moves the bar, lets one
    // pending message through, and steps the billboards on.
    void OnProgress(int percent);

    // Billboard 1021 and timer 1 (period: string 2060).
    void StartBillboards();
    // Timer off, billboard gone.
    void StopBillboards();
    void StopBillboardTimer();
    // Dispatches the thread's messages until the next billboard tick has
    // come (at once when no timer runs).
    void WaitForBillboardTick();

    // Text of static 10405 and of static 10404.
    std::string destinationText;
    std::string sourceText;
    ProgressBar progressBar;
    // The window that receives the progress messages of the unpack library;
    // null until the run hands it over.
    HWND ownHandle = nullptr;
    // The window rectangle as the template made it, before it was moved.
    RECT templateRect{};
    // 1 once the user or an error has asked to stop the run. A plain 32-bit
    // integer: its address is handed to the unpack library, which reads it
    // while it works.
    int32_t cancelRequested = 0;
    // The percentage at which the billboard on screen was shown.
    int32_t lastBillboardThreshold = 0;
    std::unique_ptr<BillboardDialog> billboard;
    // 1: AskOnError asks the user; 0: failures go on without a box.
    int32_t askOnError = 1;
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

    // The owner of the message boxes: the window when it exists.
    HWND MessageOwner() const;
    // The owner of the unpack error boxes: the backdrop, so that the
    // progress window's Cancel stays live while one is up and a cancel
    // there is seen when the box is answered.
    HWND UnpackErrorOwner() const;
    // Destroys the window when it exists.
    void DestroyOwnWindow();
    // The platform's end-dialog call with the Cancel result: the window
    // leaves the screen at once; the run destroys it at its end.
    void EndWithCancel();
    // Removes and dispatches one pending message of the thread, if any.
    // False when it was the quit message (which is put back).
    bool PumpOneMessage();
    // Replaces the billboard on screen by billboard `index` (0 = 1021).
    void ShowBillboard(int index);

    MainWindow* main_;
    bool timerRunning_ = false;
};
