// Private window messages of the installer.
#pragma once
#include <windows.h>

// To the progress window: wParam = overall percent.
constexpr UINT UM_PROGRESS = WM_USER + 10;      // 0x40A
// From a picture button to its parent: wParam = the button's control ID.
constexpr UINT UM_BUTTON_HOVER = WM_USER + 11;  // 0x40B
// From a page to the main window when the user confirmed Exit (wParam 2).
constexpr UINT UM_EXIT_CONFIRMED = WM_USER + 1; // 0x401
