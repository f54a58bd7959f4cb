#include "progress/ProgressWindow.h"

#include "fw/ResString.h"
#include "resources/resource.h"

HWND ProgressWindow::MessageOwner() const
{
    return (ownHandle && IsWindow(ownHandle)) ? ownHandle : nullptr;
}

void ProgressWindow::DestroyOwnWindow()
{
    if (ownHandle && IsWindow(ownHandle)) DestroyWindow(ownHandle);
    ownHandle = nullptr;
}

void ProgressWindow::ReportError(UINT messageId, const std::string& argument)
{
    std::string text = fw::FormatResString(messageId, argument);
    std::string caption = fw::LoadResString(IDS_APP_TITLE);
    MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int ProgressWindow::AskOnError(UINT messageId, const std::string& argument, int silent)
{
    std::string text = fw::FormatResString(messageId, argument);
    if (askOnError != 1 || silent == 1) return kGoOn;
    std::string caption = fw::LoadResString(IDS_APP_TITLE);
    int answer = MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(),
                             MB_OKCANCEL | MB_ICONINFORMATION);
    if (answer == IDCANCEL) {
        cancelRequested = 1;
        return kStop;
    }
    return kGoOn;
}

int ProgressWindow::FailDirectory(const std::string& path)
{
    ReportError(IDS_CANNOT_MAKE_DIRECTORY, path);
    DestroyOwnWindow();
    return -1;
}
