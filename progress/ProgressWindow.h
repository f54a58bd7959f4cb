// The engine's progress window: the modeless dialog that shows the files
// being copied and the overall progress while the install script runs, and
// owns the message boxes through which the engine reports errors and asks
// whether to go on. The script engine derives from it, so the engine's run
// and its window are one object.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

class ProgressWindow {
public:
    // The results that AskOnError gives to the file operations.
    static constexpr int kGoOn = 1;
    static constexpr int kStop = 7;

    ProgressWindow() = default;
    virtual ~ProgressWindow() = default;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

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

    // 1: AskOnError asks the user; 0: failures go on without a box.
    int32_t askOnError = 1;
    // 1 once the user or an error has asked to stop the run. A plain 32-bit
    // integer: its address is handed to the unpack library, which reads it
    // while it works.
    int32_t cancelRequested = 0;
    // The window that receives the progress messages of the unpack library;
    // null while there is no window.
    HWND ownHandle = nullptr;

protected:
    // The owner of the message boxes: the window when it exists.
    HWND MessageOwner() const;
    // Destroys the window when it exists.
    void DestroyOwnWindow();
};
