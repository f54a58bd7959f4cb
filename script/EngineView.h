// What the script engine needs of the person at the screen while it runs:
// somewhere to show the files and the progress, to report and to ask, to
// prompt for a diskette, billboards to step through, and the window that
// receives the unpack library's progress messages. The wizard's face is the
// progress window; an install without a person gives another.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class EngineView {
public:
    virtual ~EngineView() = default;

    // 1 once the user or an error has asked to stop the run. A plain 32-bit
    // integer: its address is handed to the unpack library, which reads it
    // while it works, and the face sets it when the user confirms the exit
    // question.
    int32_t cancelRequested = 0;

    // The window the unpack library sends its progress messages
    // (UM_PROGRESS) to; null for none.
    virtual HWND ProgressTarget() const = 0;

    // Both names, for a copy or the start of an archive line.
    virtual void ShowFiles(const std::string& source, const std::string& destination) = 0;
    // Only the source (where a diskette's file is looked for) or only the
    // destination (each file an archive puts down).
    virtual void ShowSource(const std::string& source) = 0;
    virtual void ShowDestination(const std::string& destination) = 0;
    // Overall percent done; lets one pending message through and steps the
    // billboards on.
    virtual void Progress(int percent) = 0;

    // String `messageId` with "%1" replaced by `argument`, acknowledged.
    virtual void ReportError(UINT messageId, const std::string& argument) = 0;
    // After a failed file operation: true to go on, false to stop.
    virtual bool AskGoOn(UINT messageId, const std::string& argument) = 0;
    // After a failed staging copy: true to try again, false to give up.
    virtual bool AskRetry(UINT messageId, const std::string& argument) = 0;
    // An unpack error under its own caption; the way to cancel stays open
    // while it is up.
    virtual void ReportUnpackError(UINT messageId, UINT captionId) = 0;
    // Asks for diskette `disk` (its label is string IDS_DISK_LABEL_BASE +
    // disk) where `location` says. True to go on, with `location` as the
    // user corrected it; false when the user gave up.
    virtual bool PromptForDisk(int disk, std::string& location) = 0;
    // The face shows anew after a prompt was answered.
    virtual void Refresh() = 0;

    // The billboards: the first one and its timer; the wait until the next
    // tick (at once when no timer runs).
    virtual void StartBillboards() = 0;
    virtual void WaitForBillboardTick() = 0;
    // A cancel inside the library: the face leaves the screen at once; it
    // is closed at the run's end.
    virtual void LeaveAfterCancel() = 0;
    // The run's end: a completed run shows 100 % first; then the
    // billboards and the face's windows go.
    virtual void Close(bool completed) = 0;
};
