// A directory chooser made from the standard Open-file dialog (the classic
// template): the file name, the file list, the file types and Help are
// hidden, so only the directory list and the drive box remain. Pressing OK
// puts the name "NULL" into the hidden file-name field, so the dialog hands
// back the chosen directory followed by "\NULL".
#pragma once
#include <windows.h>

#include <string>

class DirectoryBrowser {
public:
    explicit DirectoryBrowser(std::string title);

    // Runs the dialog, starting in the current directory, in front of
    // `owner`. True on OK, with `directory` the chosen directory (no
    // trailing "\"); false on Cancel, `directory` untouched.
    bool Run(HWND owner, std::string& directory);

    // The directory part of what the dialog returned: "C:\GAMES\NULL" gives
    // "C:\GAMES", "C:\NULL" gives "C:".
    static std::string DirectoryOfResult(const std::string& result);

    // The controls of the classic template that the browser hides.
    static constexpr int kHiddenControls[6] = {1152, 1090, 1120, 1136, 1089, 1038};
    static constexpr int kFileNameEdit = 1152;

private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    std::string title_;
};
