#include "pages/locations/DirectoryBrowser.h"

#include <commdlg.h>

#include <cstring>

DirectoryBrowser::DirectoryBrowser(std::string title) : title_(std::move(title)) {}

UINT_PTR CALLBACK DirectoryBrowser::Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        for (int id : kHiddenControls) {
            if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, SW_HIDE);
        }
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
        // A file name the dialog can accept without a file being picked;
        // the standard OK processing runs after this.
        SetDlgItemTextA(dialog, kFileNameEdit, "NULL");
    }
    return FALSE;
}

bool DirectoryBrowser::Run(HWND owner, std::string& directory)
{
    char file[MAX_PATH] = "*.JJJ";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = nullptr;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = title_.c_str();
    // Without OFN_EXPLORER a hook gives the classic template, whose
    // controls the hook hides by their numbers.
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK;
    ofn.lpfnHook = &DirectoryBrowser::Hook;
    if (!GetOpenFileNameA(&ofn)) return false;
    directory = DirectoryOfResult(file);
    return true;
}

std::string DirectoryBrowser::DirectoryOfResult(const std::string& result)
{
    size_t slash = result.find_last_of('\\');
    if (slash == std::string::npos) return result;
    return result.substr(0, slash);
}
